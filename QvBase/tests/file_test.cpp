#include <QvBase/Util/ExceptionFileIO.h>
#include <QvBase/Util/File.h>
#include <QvBase/Util/FileMode.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string Text(const String& s) { return std::string(s.CStr(), s.Length()); }

const std::string kSource = "\\Quorvel\\QvBase\\src\\QvBase\\Util\\File";

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "File-Test-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string PathOf(const std::string& name) const { return dir_ + "/" + name; }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
        return PathOf(name);
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string dir_;
};

// Runs the call and returns the FileIO it throws; fails the test when nothing is thrown.
Util::Exception::FileIO Thrown(const std::function<void()>& call) {
    try {
        call();
    } catch (const Util::Exception::FileIO& e) {
        return e;
    }
    ADD_FAILURE() << "no FileIO thrown";
    return Util::Exception::FileIO("", "", -1);
}

// The descriptors open on the given file.
std::set<int> DescriptorsOn(const std::string& path) {
    std::set<int> fds;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(entry.path(), error) == fs::path(path)) fds.insert(std::stoi(entry.path().filename()));
    }
    return fds;
}

}  // namespace

TEST(FileMode, BitsChooseTheRuntimeMode) {
    for (const auto& [bits, mode] : std::initializer_list<std::pair<std::uint32_t, const char*>>{{3, "rb"}, {2, "rb"},
             {2 | 64, "rt"}, {4, "wb"}, {4 | 16, "ab"}, {16, "ab"}, {2 | 4 | 16, "a+b"}, {2 | 4, "r+b"},
             {2 | 4 | 32, "w+b"}, {8, "w+b"}, {0, "rb"}, {1, "rb"}, {4 | 64, "wt"}})
        EXPECT_EQ(Text(Util::FileRuntimeMode(bits)), mode) << bits;
}

TEST_F(FileTest, ModesWriteTruncateAndAppendOnDisk) {
    const std::string path = Write("Data.BIN", "0123456789");
    {
        Util::File file{Path(String(path.c_str()))};
        file.Open(4 | 16);  // append
        file.Close();
        EXPECT_EQ(Read(path), "0123456789");
        file.Open(4);  // write truncates
        file.Close();
        EXPECT_EQ(Read(path), "");
    }
    Util::File missing{Path(String(PathOf("New.bin").c_str()))};
    const auto e = Thrown([&] { missing.Open(2 | 4); });  // "r+" needs the file
    EXPECT_EQ(e.GetKind(), 1);
    missing.Open(2 | 4 | 16);  // "a+" makes it
    EXPECT_TRUE(missing.Exists());
}

TEST_F(FileTest, ReadsExactlyAndReportsShortReads) {
    const std::string path = Write("Ten.bin", "0123456789");
    const Path filePath(String(path.c_str()));
    Util::File file(filePath);
    file.Open(3);
    EXPECT_EQ(file.Tell(), 0u);
    file.Seek(6);
    EXPECT_EQ(file.Tell(), 6u);
    char buffer[16] = {};
    const auto e = Thrown([&] { file.Read(buffer, 10); });
    EXPECT_EQ(Text(e.Description()),
        "Base:\n\tAttempt to read 10 bytes, only read 4 bytes\n\t" + kSource +
            " (400): Thrown, GetLastError(): " + std::to_string(ENODATA) + "\n\nFileIO:\n" + path + ": Read error");
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_TRUE(file.IsOpen());  // a short read leaves the stream open
    EXPECT_EQ(file.Tell(), 10u);

    file.Seek(100);  // past the end is allowed
    const auto past = Thrown([&] { file.Read(buffer, 3); });
    EXPECT_EQ(Text(past.Message()), "Attempt to read 3 bytes, only read 0 bytes");
    EXPECT_EQ(past.Line(), 400);

    file.Seek(0);
    file.Read(buffer, 10);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    EXPECT_EQ(file.SizeOf(), 10u);
    file.Close();
    EXPECT_EQ(file.Tell(), std::nullopt);
    file.Close();  // closing twice does nothing
}

TEST_F(FileTest, TextModeReadsCountThePositionMoved) {
    const std::string path = Write("Lines.txt", "ab\r\ncd\n");
    Util::File file{Path(String(path.c_str()))};
    file.Open(2 | 64);
    char buffer[16] = {};
    file.Read(buffer, 5);
    EXPECT_EQ(std::string(buffer, 5), "ab\r\nc");
    const auto e = Thrown([&] { file.Read(buffer, 5); });
    EXPECT_EQ(Text(e.Message()), "Attempt to read 5 bytes, only read 2 bytes");
    EXPECT_EQ(e.Line(), 393);
    EXPECT_EQ(e.GetKind(), 2);
}

TEST_F(FileTest, EveryFailureCarriesItsMessageKindAndLine) {
    const std::string missingPath = PathOf("Missing.WAV");
    Util::File missing{Path(String(missingPath.c_str()))};
    const auto open = Thrown([&] { missing.Open(3); });
    EXPECT_EQ(Text(open.Description()),
        "Base:\n\tError opening file\n\t" + kSource + " (248): Thrown, GetLastError(): " + std::to_string(ENOENT) +
            "\n\nFileIO:\n" + missingPath + ": Open error");
    EXPECT_FALSE(missing.IsOpen());

    char buffer[4];
    missing.Read(buffer, 0);  // nothing asked: no check at all
    missing.Read(nullptr, 4);
    const auto read = Thrown([&] { missing.Read(buffer, 4); });
    EXPECT_EQ(Text(read.Message()), "Attempt to read 4 bytes when not open");
    EXPECT_EQ(read.GetKind(), 2);
    EXPECT_EQ(read.Line(), 378);
    EXPECT_EQ(Text(read.Path()), missingPath);
    const auto seek = Thrown([&] { missing.Seek(4294967295u); });
    EXPECT_EQ(Text(seek.Message()), "Attempt to seek to 4294967295 when not open");
    EXPECT_EQ(seek.GetKind(), 7);
    EXPECT_EQ(seek.Line(), 278);

    // A pipe cannot seek.
    const std::string fifo = PathOf("Pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Util::File pipe{Path(String(fifo.c_str()))};
    pipe.Open(2 | 4);
    const auto seekFailed = Thrown([&] { pipe.Seek(6); });
    EXPECT_EQ(Text(seekFailed.Message()), "Seek to 6 failed");
    EXPECT_EQ(seekFailed.GetKind(), 7);
    EXPECT_EQ(seekFailed.Line(), 285);
    EXPECT_EQ(seekFailed.LastError(), static_cast<std::uint32_t>(ESPIPE));

    // A folder is no file.
    Util::File folder{Path(String(dir_.c_str()))};
    EXPECT_EQ(Thrown([&] { folder.Open(3); }).GetKind(), 1);
}

TEST_F(FileTest, AFailedCloseThrowsButNeverFromTheDestructor) {
    const std::string path = Write("Closing.bin", "abc");
    Util::File file{Path(String(path.c_str()))};
    file.Open(3);
    const std::set<int> fds = DescriptorsOn(path);
    ASSERT_EQ(fds.size(), 1u);
    ::close(*fds.begin());  // pulled from under the stream: its close must fail
    const auto e = Thrown([&] { file.Close(); });
    EXPECT_EQ(Text(e.Message()), "Close failed");
    EXPECT_EQ(e.GetKind(), 4);
    EXPECT_EQ(e.Line(), 318);
    EXPECT_FALSE(file.IsOpen());  // the stream is gone all the same

    auto scoped = std::make_unique<Util::File>(Path(String(path.c_str())));
    scoped->Open(3);
    for (int fd : DescriptorsOn(path)) ::close(fd);
    EXPECT_NO_THROW(scoped.reset());
}

TEST_F(FileTest, OpeningAgainClosesTheOldStream) {
    const std::string path = Write("Again.bin", "abc");
    Util::File file{Path(String(path.c_str()))};
    for (int i = 0; i < 20; ++i) file.Open(3);
    EXPECT_EQ(DescriptorsOn(path).size(), 1u);
    file.Close();
    EXPECT_EQ(DescriptorsOn(path).size(), 0u);
}

TEST_F(FileTest, SizesAndExistence) {
    const std::string path = Write("Sized.BIN", std::string(1234, 'x'));
    Util::File file{Path(String(path.c_str()))};
    EXPECT_TRUE(file.Exists());
    EXPECT_EQ(file.SizeOf(), 1234u);
    Util::File missing{Path(String(PathOf("sized.bin").c_str()))};  // case counts
    EXPECT_FALSE(missing.Exists());
    EXPECT_EQ(missing.SizeOf(), std::nullopt);
    Util::File unnamed{Path("")};
    EXPECT_EQ(unnamed.SizeOf(), std::nullopt);
    EXPECT_FALSE(unnamed.Exists());

    file.Open(4 | 16);
    EXPECT_EQ(file.SizeOf(), 1234u);
}

TEST_F(FileTest, PositionsAndSizesBeyondThirtyTwoBitsAreRefusedNotTruncated) {
    const std::string path = Write("Huge.bin", "");
    std::error_code error;
    fs::resize_file(path, (1ull << 32) + 10, error);  // sparse
    if (error) GTEST_SKIP() << "no sparse files here: " << error.message();
    Util::File file{Path(String(path.c_str()))};
    EXPECT_EQ(file.SizeOf(), std::nullopt);
    file.Open(3);
    EXPECT_EQ(file.SizeOf(), std::nullopt);
    file.Seek(4294967295u);
    EXPECT_EQ(file.Tell(), 4294967295u);
    char byte = 1;
    file.Read(&byte, 1);
    EXPECT_EQ(byte, 0);
    EXPECT_EQ(file.Tell(), std::nullopt);  // 2^32 does not fit
}
