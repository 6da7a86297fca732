#include <Platform/Kernel/Environment.h>
#include <Platform/Kernel/FileStatus.h>
#include <Platform/Kernel/FileStream.h>
#include <Platform/Kernel/LastError.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace Platform::Kernel;
namespace fs = std::filesystem;

namespace {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "kernel-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path_); }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

}  // namespace

TEST(KernelFile, StreamsReadSeekAndTellWithSixtyFourBitPositions) {
    TempFolder dir;
    const std::string path = dir / "Data.BIN";
    WriteFile(path, "0123456789");

    std::FILE* stream = OpenFile(path.c_str(), "rt");  // text reads as binary here
    ASSERT_NE(stream, nullptr);
    char buffer[16] = {};
    EXPECT_EQ(ReadFile(stream, buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(TellFile(stream), 4u);
    ASSERT_TRUE(SeekFile(stream, 8));
    SetLastError(0);
    EXPECT_EQ(ReadFile(stream, buffer, 10), 2u);
    EXPECT_EQ(LastError(), static_cast<std::uint32_t>(ENODATA));
    ASSERT_TRUE(SeekFile(stream, 5'000'000'000ull));  // beyond 32 bits and past the end
    EXPECT_EQ(TellFile(stream), 5'000'000'000ull);
    EXPECT_FALSE(SeekFile(stream, ~0ull));
    EXPECT_EQ(LastError(), static_cast<std::uint32_t>(EOVERFLOW));
    EXPECT_EQ(FileSize(stream), 10u);
    EXPECT_TRUE(CloseFile(stream));
}

TEST(KernelFile, FailuresSetTheLastError) {
    TempFolder dir;
    SetLastError(0);
    EXPECT_EQ(OpenFile((dir / "missing").c_str(), "rb"), nullptr);
    EXPECT_EQ(LastError(), static_cast<std::uint32_t>(ENOENT));
    SetLastError(0);
    EXPECT_FALSE(FileSize((dir / "missing").c_str()).has_value());
    EXPECT_EQ(LastError(), static_cast<std::uint32_t>(ENOENT));
    EXPECT_FALSE(FileExists((dir / "missing").c_str()));
    EXPECT_FALSE(LongPathName((dir / "missing").c_str()).has_value());
    EXPECT_FALSE(SeekFile(nullptr, 0));
    EXPECT_EQ(LastError(), static_cast<std::uint32_t>(EBADF));
    EXPECT_FALSE(TellFile(nullptr).has_value());
    EXPECT_FALSE(CloseFile(nullptr));
    SetLastError(0);
    EXPECT_EQ(OpenFile(dir.path().c_str(), "rb"), nullptr);  // a folder is no file
    EXPECT_EQ(LastError(), static_cast<std::uint32_t>(EISDIR));
}

TEST(KernelFile, StatusKeepsCaseAndSeesBufferedWrites) {
    TempFolder dir;
    const std::string path = dir / "Upper.WAV";
    WriteFile(path, "abc");
    EXPECT_TRUE(FileExists(path.c_str()));
    EXPECT_FALSE(FileExists((dir / "upper.wav").c_str()));
    EXPECT_EQ(FileSize(path.c_str()), 3u);
    EXPECT_EQ(LongPathName(path.c_str()), path);

    std::FILE* stream = OpenFile(path.c_str(), "ab");
    ASSERT_NE(stream, nullptr);
    std::fputs("defg", stream);
    EXPECT_EQ(FileSize(stream), 7u);
    EXPECT_TRUE(CloseFile(stream));
}

TEST(KernelEnvironment, CurrentDirectoryAndVariables) {
    TempFolder dir;
    const auto before = CurrentDirectory();
    ASSERT_TRUE(before.has_value());
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    EXPECT_EQ(fs::path(*CurrentDirectory()), fs::canonical(dir.path()));
    ASSERT_EQ(::chdir(before->c_str()), 0);

    ::setenv("TONALITH_KERNEL_TEST", "/Some/Where/", 1);
    EXPECT_EQ(EnvironmentVariable("TONALITH_KERNEL_TEST"), "/Some/Where/");
    ::unsetenv("TONALITH_KERNEL_TEST");
    EXPECT_FALSE(EnvironmentVariable("TONALITH_KERNEL_TEST").has_value());
    EXPECT_FALSE(EnvironmentVariable(nullptr).has_value());
}

TEST(KernelFile, ANamedPipeWithoutWriterNeitherBlocksNorReadsData) {
    TempFolder dir;
    const std::string pipe = dir / "Pipe.wav";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::FILE* stream = OpenFile(pipe.c_str(), "rb");  // would wait forever for a writer
    ASSERT_NE(stream, nullptr);
    char byte = 0;
    EXPECT_EQ(std::fread(&byte, 1, 1, stream), 0u);
    EXPECT_TRUE(CloseFile(stream));

    // Writing, creating and updating modes still behave as the runtime's.
    const std::string path = dir / "Modes.bin";
    stream = OpenFile(path.c_str(), "wb");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(std::fwrite("abc", 1, 3, stream), 3u);
    EXPECT_TRUE(CloseFile(stream));
    stream = OpenFile(path.c_str(), "ab");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(std::fwrite("d", 1, 1, stream), 1u);
    EXPECT_TRUE(CloseFile(stream));
    stream = OpenFile(path.c_str(), "r+b");
    ASSERT_NE(stream, nullptr);
    char text[5] = {};
    EXPECT_EQ(std::fread(text, 1, 4, stream), 4u);
    EXPECT_STREQ(text, "abcd");
    EXPECT_TRUE(CloseFile(stream));
    EXPECT_EQ(OpenFile(path.c_str(), "q"), nullptr);
    EXPECT_EQ(LastError(), static_cast<std::uint32_t>(EINVAL));
}
