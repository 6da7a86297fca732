#include <QvBase/Util/ResourceArchive.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::filesystem::path kFolder = std::filesystem::path(TONALITH_SOURCE_DIR) / "QvBase/tests/data/archive";

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Bytes Member(const ResourceArchive& archive, const char* path) {
    const void* data = reinterpret_cast<const void*>(1);
    std::uint32_t size = 7;
    archive.Find(path, data, size);
    if (!data) {
        EXPECT_EQ(size, 0u);
        return Bytes{0xEE};  // a marker no member equals
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return Bytes(bytes, bytes + size);
}

void AppendEntry(Bytes& out, const std::string& path, std::uint32_t offset, std::uint32_t size) {
    out.insert(out.end(), path.begin(), path.end());
    out.push_back(0);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(offset >> shift));
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(size >> shift));
}

// Two members by hand: "a" (3 bytes at 32) and "dir/b" (2 bytes at 64).
Bytes SmallArchive() {
    Bytes archive;
    AppendEntry(archive, "a", 32, 3);
    AppendEntry(archive, "dir/b", 64, 2);
    archive.push_back(0);
    archive.resize(96, 0);
    archive[32] = 'x';
    archive[33] = 'y';
    archive[34] = 'z';
    archive[64] = 1;
    archive[65] = 2;
    return archive;
}

}  // namespace

TEST(ResourceArchive, LinkedArchiveReadsBackEveryMemberByteForByte) {
    ResourceArchive& archive = ResourceArchive::Instance();
    EXPECT_EQ(&archive, &ResourceArchive::Instance());
    ASSERT_TRUE(archive.Load(Platform::Resources::Module::Program(), "TonalithResEmbed"));
    EXPECT_EQ(archive.MemberCount(), 3u);
    for (const char* path : {"UI/Layout/EditorToolBar.layout", "UI/png/Tiny.bin", "Empty.txt"}) {
        EXPECT_EQ(Member(archive, path), ReadFile(kFolder / path)) << path;
    }
    const void* data = nullptr;
    std::uint32_t size = 1;
    archive.Find("Empty.txt", data, size);
    EXPECT_NE(data, nullptr);  // an empty member is found
    EXPECT_EQ(size, 0u);

    archive.Find("UI/png/Tiny.bin", data, size);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data) % 32, 0u);
    Platform::Resources::Resource linked;
    ASSERT_TRUE(Platform::Resources::Module::Program().Find("TonalithResEmbed", "QVRESEMBED", linked));
    const auto* base = static_cast<const std::uint8_t*>(linked.data);
    EXPECT_TRUE(data >= base && static_cast<const std::uint8_t*>(data) + size <= base + linked.size);  // in place

    // Exact, case-sensitive paths; no separator conversion, no trimming.
    for (const char* path : {"ui/png/Tiny.bin", "UI\\png\\Tiny.bin", " UI/png/Tiny.bin", "UI/png", ""}) {
        archive.Find(path, data, size);
        EXPECT_EQ(data, nullptr) << path;
        EXPECT_EQ(size, 0u);
    }

    // Only the first archive is indexed, whatever a later load names.
    EXPECT_TRUE(archive.Load(Platform::Resources::Module::Program(), "NoSuchResource"));
    EXPECT_EQ(archive.MemberCount(), 3u);
}

TEST(ResourceArchive, MissingResourceLeavesTheArchiveEmpty) {
    ResourceArchive archive;
    EXPECT_FALSE(archive.Load(Platform::Resources::Module::Program(), "NoSuchResource"));
    EXPECT_EQ(Member(archive, "Empty.txt"), Bytes{0xEE});
    EXPECT_TRUE(archive.Load(Platform::Resources::Module::Program(), "TonalithResEmbed"));  // may still load
    EXPECT_EQ(archive.MemberCount(), 3u);
    archive.Clear();
    EXPECT_EQ(Member(archive, "Empty.txt"), Bytes{0xEE});
}

TEST(ResourceArchive, HandBuiltDirectoriesIndexAsWritten) {
    const Bytes small = SmallArchive();
    ResourceArchive archive;
    ASSERT_TRUE(archive.LoadFromMemory(small.data(), small.size()));
    EXPECT_EQ(Member(archive, "a"), (Bytes{'x', 'y', 'z'}));
    EXPECT_EQ(Member(archive, "dir/b"), (Bytes{1, 2}));

    const Bytes empty(32, 0);  // first byte NUL: no members, but loaded
    ResourceArchive none;
    EXPECT_TRUE(none.LoadFromMemory(empty.data(), empty.size()));
    EXPECT_EQ(none.MemberCount(), 0u);

    Bytes twice;  // a repeated path keeps the later entry
    AppendEntry(twice, "p", 32, 1);
    AppendEntry(twice, "p", 33, 2);
    twice.push_back(0);
    twice.resize(64, 0);
    twice[32] = 'A';
    twice[33] = 'B';
    twice[34] = 'C';
    ResourceArchive repeated;
    ASSERT_TRUE(repeated.LoadFromMemory(twice.data(), twice.size()));
    EXPECT_EQ(Member(repeated, "p"), (Bytes{'B', 'C'}));

    Bytes atEnd;  // an empty member right at the end is inside the archive
    AppendEntry(atEnd, "end", 32, 0);
    atEnd.push_back(0);
    atEnd.resize(32, 0);
    ResourceArchive edge;
    ASSERT_TRUE(edge.LoadFromMemory(atEnd.data(), atEnd.size()));
    EXPECT_EQ(Member(edge, "end"), Bytes{});
}

TEST(ResourceArchive, BadEntriesEndTheDirectoryAndNothingIsReadOutsideTheArchive) {
    // Every truncation of a good archive: exact-size copies, so that any read past the
    // end is a sanitizer error; found members always lie wholly inside.
    const Bytes small = SmallArchive();
    for (std::size_t length = 1; length <= small.size(); ++length) {
        Bytes prefix(small.begin(), small.begin() + length);
        ResourceArchive archive;
        ASSERT_TRUE(archive.LoadFromMemory(prefix.data(), prefix.size()));
        const bool aInside = length >= 35;  // its entry ends at 10, its bytes at 35
        const bool bInside = length >= 66;  // read only after "a"
        EXPECT_EQ(archive.MemberCount(), static_cast<std::size_t>(aInside) + static_cast<std::size_t>(bInside))
            << length;
        if (aInside) {
            EXPECT_EQ(Member(archive, "a"), (Bytes{'x', 'y', 'z'}));
        }
    }

    struct Case {
        const char* what;
        std::uint32_t offset, size;
    };
    for (const Case& bad : {Case{"offset past the end", 97, 0}, Case{"size past the end", 64, 33},
             Case{"wrapping sum", 0xFFFFFFF0u, 0x20}, Case{"huge size", 32, 0xFFFFFFFFu}}) {
        Bytes archive;
        AppendEntry(archive, "good", 32, 3);
        AppendEntry(archive, "bad", bad.offset, bad.size);
        AppendEntry(archive, "after", 32, 1);
        archive.push_back(0);
        archive.resize(96, 0);
        ResourceArchive parsed;
        ASSERT_TRUE(parsed.LoadFromMemory(archive.data(), archive.size()));
        EXPECT_EQ(parsed.MemberCount(), 1u) << bad.what;
        EXPECT_EQ(Member(parsed, "bad"), Bytes{0xEE}) << bad.what;
        EXPECT_EQ(Member(parsed, "after"), Bytes{0xEE}) << bad.what;
    }

    const Bytes noNul(40, 'n');  // a path that never ends
    ResourceArchive endless;
    ASSERT_TRUE(endless.LoadFromMemory(noNul.data(), noNul.size()));
    EXPECT_EQ(endless.MemberCount(), 0u);

    ResourceArchive nothing;
    EXPECT_FALSE(nothing.LoadFromMemory(nullptr, 0));
    EXPECT_TRUE(nothing.LoadFromMemory(small.data(), 0));  // loaded, but empty
    EXPECT_EQ(nothing.MemberCount(), 0u);
}
