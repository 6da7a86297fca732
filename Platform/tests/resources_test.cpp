#include <Platform/Resources/Resources.h>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using Platform::Resources::Module;
using Platform::Resources::Resource;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::uint32_t WordAt(const Bytes& archive, std::size_t pos) {
    return archive[pos] | (archive[pos + 1] << 8) | (archive[pos + 2] << 16) |
        (static_cast<std::uint32_t>(archive[pos + 3]) << 24);
}

const std::filesystem::path kFixture = std::filesystem::path(TONALITH_SOURCE_DIR) / "Platform/tests/data/embedded";

// The fixture folder's archive, laid out by hand: directory of 91 bytes (entries of
// path + 9 bytes, then the end marker), members from 96 on, each at a multiple of 32.
struct ExpectedMember {
    const char* path;
    std::uint32_t offset;
    std::uint32_t size;
};
constexpr ExpectedMember kExpected[] = {
    {"Readme.txt", 96, 23},
    {"UI/Layout/Bar.layout", 128, 32},
    {"UI/empty.bin", 160, 0},
    {"UI/png/x.bin", 160, 33},
};
constexpr std::size_t kExpectedSize = 224;

void ExpectFixtureArchive(const Bytes& archive) {
    ASSERT_EQ(archive.size(), kExpectedSize);
    std::size_t pos = 0;
    for (const auto& member : kExpected) {
        const std::string path(member.path);
        ASSERT_EQ(std::string(reinterpret_cast<const char*>(&archive[pos]), path.size()), path);
        EXPECT_EQ(archive[pos + path.size()], 0);
        EXPECT_EQ(WordAt(archive, pos + path.size() + 1), member.offset) << path;
        EXPECT_EQ(WordAt(archive, pos + path.size() + 5), member.size) << path;
        pos += path.size() + 9;
    }
    EXPECT_EQ(pos, 90u);
    Bytes expected(kExpectedSize, 0);
    std::copy(archive.begin(), archive.begin() + 90, expected.begin());  // the directory, checked above
    for (const auto& member : kExpected) {
        const Bytes file = ReadFile(kFixture / member.path);
        ASSERT_EQ(file.size(), member.size) << member.path;
        std::copy(file.begin(), file.end(), expected.begin() + member.offset);
    }
    EXPECT_EQ(archive, expected);  // also: every gap is zero bytes
}

Bytes Packed(const Resource& resource) {
    const auto* bytes = static_cast<const std::uint8_t*>(resource.data);
    return Bytes(bytes, bytes + resource.size);
}

std::string Respack() { return std::string(TONALITH_BINARY_DIR) + "/bin/respack"; }

int RunRespack(const std::string& arguments) {
    const int status = std::system((Respack() + " " + arguments + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "respack-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace

TEST(Resources, LinkedArchiveReadsBackByteForByte) {
    Resource resource;
    ASSERT_TRUE(Module::Program().Find("TonalithResEmbed", "QVRESEMBED", resource));
    ASSERT_NE(resource.data, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(resource.data) % 32, 0u);
    ExpectFixtureArchive(Packed(resource));

    Resource second;
    ASSERT_TRUE(Module::Program().Find("Second", "QVTEST", second));
    EXPECT_NE(second.data, resource.data);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(second.data) % 32, 0u);
    ExpectFixtureArchive(Packed(second));
}

TEST(Resources, LookupMatchesNameAndTypeExactly) {
    Resource resource{reinterpret_cast<const void*>(1), 7};
    EXPECT_FALSE(Module::Program().Find("TonalithResEmbed", "QVTEST", resource));
    EXPECT_EQ(resource.data, nullptr);
    EXPECT_EQ(resource.size, 0u);
    const std::pair<const char*, const char*> misses[] = {{"tonalithresembed", "QVRESEMBED"},
        {"TonalithResEmbed", "qvresembed"}, {"TonalithResEmbe", "QVRESEMBED"}, {"", ""}};
    for (const auto& [name, type] : misses) EXPECT_FALSE(Module::Program().Find(name, type, resource)) << name << type;
    EXPECT_TRUE(Module::Program() == Module::Program());
}

TEST(Resources, PackerIsDeterministicAndAlignsEveryMember) {
    TempFolder folder;
    // Created out of order, with upper case and UTF-8 names.
    WriteFile(folder.Path() / "in/z.txt", "last");
    WriteFile(folder.Path() / "in/B/deep/Caf\xC3\xA9.txt", std::string(31, 'x'));
    WriteFile(folder.Path() / "in/a.txt", std::string("\0\1\2", 3));
    const std::string in = (folder.Path() / "in").string();
    ASSERT_EQ(RunRespack(in + " " + (folder.Path() / "one.qvres").string()), 0);
    ASSERT_EQ(RunRespack(in + " " + (folder.Path() / "two.qvres").string()), 0);
    const Bytes one = ReadFile(folder.Path() / "one.qvres");
    EXPECT_EQ(one, ReadFile(folder.Path() / "two.qvres"));

    // "B/deep/Café.txt" (16 bytes) < "a.txt" < "z.txt": 25 + 14 + 14 + 1 = 54 -> 64.
    ASSERT_EQ(one.size(), 160u);
    const ExpectedMember members[] = {{"B/deep/Caf\xC3\xA9.txt", 64, 31}, {"a.txt", 96, 3}, {"z.txt", 128, 4}};
    std::size_t pos = 0;
    for (const auto& m : members) {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&one[pos])), m.path);
        pos += std::strlen(m.path) + 1;
        EXPECT_EQ(WordAt(one, pos), m.offset) << m.path;
        EXPECT_EQ(WordAt(one, pos + 4), m.size) << m.path;
        pos += 8;
    }
    EXPECT_EQ(one[53], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&one[128]), 4), "last");
    EXPECT_EQ(one[95], 0);  // padding behind the 31-byte member
}

TEST(Resources, PackerHandlesEmptyFoldersAndReportsFailures) {
    TempFolder folder;
    std::filesystem::create_directories(folder.Path() / "empty/sub");
    ASSERT_EQ(RunRespack((folder.Path() / "empty").string() + " " + (folder.Path() / "e.qvres").string()), 0);
    EXPECT_EQ(ReadFile(folder.Path() / "e.qvres"), Bytes(32, 0));  // only the end marker, padded

    const std::string out = (folder.Path() / "missing.qvres").string();
    EXPECT_EQ(RunRespack((folder.Path() / "nowhere").string() + " " + out), 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(RunRespack("only-one-argument"), 2);

    // A failed write leaves no partial archive behind.
    WriteFile(folder.Path() / "in/a.txt", "a");
    EXPECT_EQ(RunRespack((folder.Path() / "in").string() + " " + (folder.Path() / "no/such/dir/x.qvres").string()), 1);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "no"));
}
