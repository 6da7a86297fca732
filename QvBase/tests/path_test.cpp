#include <QvBase/Util/Directory.h>
#include <QvBase/Util/Path.h>

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string Text(const String& s) { return std::string(s.CStr(), s.Length()); }

// Sets HOME (or unsets it) for one test and restores it afterwards.
class ScopedHome {
public:
    explicit ScopedHome(const char* value) {
        if (const char* old = std::getenv("HOME")) old_ = old;
        if (value)
            ::setenv("HOME", value, 1);
        else
            ::unsetenv("HOME");
    }
    ~ScopedHome() {
        if (old_)
            ::setenv("HOME", old_->c_str(), 1);
        else
            ::unsetenv("HOME");
    }

private:
    std::optional<std::string> old_;
};

// A fresh folder with upper-case letters in its name, made the current directory.
class ScopedFolder {
public:
    ScopedFolder() {
        std::string pattern = (fs::temp_directory_path() / "Path-Test-XXXXXX").string();
        path_ = fs::canonical(::mkdtemp(pattern.data())).string();
        before_ = fs::current_path();
        fs::current_path(path_);
    }
    ~ScopedFolder() {
        fs::current_path(before_);
        fs::remove_all(path_);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    fs::path before_;
};

}  // namespace

TEST(Path, TextFunctionsKeepTheirExamples) {
    EXPECT_EQ(Text(Path::DirectoryOf("c:/a/b/")), "c:/a");
    EXPECT_EQ(Text(Path::DirectoryOf("c:/a")), "c:/");
    EXPECT_EQ(Text(Path::DirectoryOf("c:")), "c:/");
    EXPECT_EQ(Text(Path::DirectoryOf("a")), ".");
    EXPECT_EQ(Text(Path::DirectoryOf("/a")), "/");
    EXPECT_EQ(Text(Path::DirectoryOf("/a\\b")), "/a");
    EXPECT_EQ(Text(Path::FileNameOf("c:/a/b//")), "b");
    EXPECT_EQ(Text(Path::FileNameOf("c:x")), "x");
    EXPECT_EQ(Text(Path::FileNameOf("x")), "x");
    EXPECT_EQ(Text(Path::FileNameOf("a\\b.WAV")), "b.WAV");
    EXPECT_EQ(Text(Path::FileNameOf("///")), "");
    EXPECT_EQ(Text(Path::ExtensionOf("a.tar.gz")), "gz");
    EXPECT_EQ(Text(Path::ExtensionOf("noext")), "");
    EXPECT_EQ(Text(Path::ToForwardSlashes("a\\b\\c")), "a/b/c");
    EXPECT_EQ(Text(Path::ToBackslashes("a/b/c")), "a\\b\\c");

    EXPECT_EQ(Text(Path::Collapse("c:\\a\\b\\..\\..\\x")), "c:/x");
    EXPECT_EQ(Text(Path::Collapse("a//b///")), "a/b");
    EXPECT_EQ(Text(Path::Collapse("//srv/share//x")), "//srv/share/x");
    EXPECT_EQ(Text(Path::Collapse("../a")), "../a");
    EXPECT_EQ(Text(Path::Collapse("a/./b")), "a/./b");
    EXPECT_EQ(Text(Path::Collapse("/")), "/");
    EXPECT_EQ(Text(Path::Collapse("")), "");
}

TEST(Path, CollapseCancelsOnlyOrdinaryNames) {
    EXPECT_EQ(Text(Path::Collapse("/..")), "/");  // the root stays
    EXPECT_EQ(Text(Path::Collapse("/../../a")), "/a");
    EXPECT_EQ(Text(Path::Collapse("/x/..")), "/");
    EXPECT_EQ(Text(Path::Collapse("c:/../x")), "c:/x");  // so does a drive
    EXPECT_EQ(Text(Path::Collapse("../../a")), "../../a");  // ".." never cancels ".."
    EXPECT_EQ(Text(Path::Collapse("a/b/../../../c")), "../c");
    EXPECT_EQ(Text(Path::Collapse("./../a")), "./../a");  // nor "."
    EXPECT_EQ(Text(Path::Collapse("/Music/Old/../New/./a.WAV")), "/Music/New/./a.WAV");
}

TEST(Path, NormalizeKeepsCaseAndEndsInOneSeparator) {
    EXPECT_EQ(Text(Path::Normalize("C:\\Music\\")), "C:/Music/");
    EXPECT_EQ(Text(Path::Normalize("/a//B")), "/a/B/");
    EXPECT_EQ(Text(Path::Normalize("/")), "/");
    EXPECT_FALSE(Path::IsRelative(""));
    EXPECT_FALSE(Path::IsRelative("/a"));
    EXPECT_TRUE(Path::IsRelative("a"));
    EXPECT_TRUE(Path::IsRelative("c:/a"));  // no drives here
}

TEST(Path, ExpandsHomeAndTheCurrentDirectory) {
    ScopedFolder folder;
    {
        ScopedHome home("/home/Me");
        EXPECT_EQ(Text(Path("~").Text()), "/home/Me/");
        EXPECT_EQ(Text(Path("~/x").Text()), "/home/Me/x");
        EXPECT_EQ(Text(Path("~\\x").Text()), "/home/Me/x");
        EXPECT_EQ(Text(Path("~x").Text()), folder.path() + "/~x");
    }
    {
        ScopedHome home("/home/Me/");  // its trailing separator stays
        EXPECT_EQ(Text(Path("~/x").Text()), "/home/Me//x");
        EXPECT_EQ(Text(Path("~/x").ToNative()), "/home/Me/x");
    }
    {
        ScopedHome home(nullptr);
        EXPECT_EQ(Text(Path("~/x").Text()), "/x");
    }
    EXPECT_EQ(Text(Path("Music/a.WAV").Text()), folder.path() + "/Music/a.WAV");
    EXPECT_EQ(Text(Path("/a").Text()), "/a");
    EXPECT_TRUE(Path("  ").Text().IsEmpty());
    EXPECT_TRUE(Path(" \t\n").IsEmpty());
    EXPECT_EQ(Text(Path(" a").Text()), folder.path() + "/ a");  // surrounding blanks are kept
}

TEST(Path, NativeFormsOfRealFoldersKeepTheirCase) {
    ScopedFolder folder;
    fs::create_directories("Music/Old");
    std::ofstream("Music/Song.WAV") << "x";

    const Path song("Music/Old/../Song.WAV");
    EXPECT_EQ(Text(song.ToNative()), folder.path() + "/Music/Song.WAV");
    EXPECT_TRUE(fs::exists(Text(song.ToNative())));
    EXPECT_EQ(Text(song.FileName()), "Song.WAV");
    EXPECT_EQ(Text(song.Extension()), "WAV");
    EXPECT_EQ(Text(Path("Music//").NativeKey()), folder.path() + "/Music/");
    EXPECT_EQ(Text(Path("Music//").ToNative()), folder.path() + "/Music");
    EXPECT_EQ(Text(Path("/").ToNative()), "/");
    EXPECT_EQ(Text(Path("/").NativeKey()), "/");
    EXPECT_EQ(Text(Path("").ToNative()), "");

    EXPECT_EQ(Text(Path::LongPathName(String((folder.path() + "/Music/").c_str()))), folder.path() + "/Music");
    EXPECT_EQ(Text(Path::LongPathName("/no/such/Place/")), "/no/such/Place/");  // unchanged
    EXPECT_EQ(Text(Path::LongPathName("")), "");

    EXPECT_TRUE(Path("Music/Song.WAV") == Path(String((folder.path() + "//Music/Old/../Song.WAV/").c_str())));
    EXPECT_FALSE(Path("Music/Song.WAV") == Path("Music/song.wav"));  // case counts
}

TEST(Path, DirectoriesEndInASeparatorAndJoinNames) {
    EXPECT_EQ(Text(Directory("/x").Text()), "/x/");
    EXPECT_EQ(Text(Directory("/x/").Text()), "/x/");
    EXPECT_EQ(Text(Directory("/x\\").Text()), "/x\\");
    EXPECT_TRUE(Directory("   ").Text().IsEmpty());
    EXPECT_EQ(Text(Directory::ParentOf(Path("/Music/a.WAV")).Text()), "/Music/");
    EXPECT_EQ(Text(Directory::ParentOf(Path("/a.WAV")).Text()), "/");
    const Path joined = Directory("/Music") + "b.WAV";
    EXPECT_EQ(Text(joined.Text()), "/Music/b.WAV");
}
