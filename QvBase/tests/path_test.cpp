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

// Collapse keeps the root and a drive, and ".." never cancels ".." nor ".".
TEST(Path, TextFunctionsKeepTheirExamples) {
    using F = String (*)(const String&);
    const F dir = Path::DirectoryOf, name = Path::FileNameOf, ext = Path::ExtensionOf, collapse = Path::Collapse;
    const struct {
        F function;
        const char *in, *out;
    } cases[] = {{dir, "c:/a/b/", "c:/a"}, {dir, "c:/a", "c:/"}, {dir, "c:", "c:/"}, {dir, "a", "."}, {dir, "/a", "/"},
        {dir, "/a\\b", "/a"}, {name, "c:/a/b//", "b"}, {name, "c:x", "x"}, {name, "x", "x"},
        {name, "a\\b.WAV", "b.WAV"}, {name, "///", ""}, {ext, "a.tar.gz", "gz"}, {ext, "noext", ""},
        {Path::ToForwardSlashes, "a\\b\\c", "a/b/c"}, {Path::ToBackslashes, "a/b/c", "a\\b\\c"},
        {collapse, "c:\\a\\b\\..\\..\\x", "c:/x"}, {collapse, "a//b///", "a/b"},
        {collapse, "//srv/share//x", "//srv/share/x"}, {collapse, "../a", "../a"}, {collapse, "a/./b", "a/./b"},
        {collapse, "/", "/"}, {collapse, "", ""}, {collapse, "/..", "/"}, {collapse, "/../../a", "/a"},
        {collapse, "/x/..", "/"}, {collapse, "c:/../x", "c:/x"}, {collapse, "../../a", "../../a"},
        {collapse, "a/b/../../../c", "../c"}, {collapse, "./../a", "./../a"},
        {collapse, "/Music/Old/../New/./a.WAV", "/Music/New/./a.WAV"}};
    for (const auto& c : cases) EXPECT_EQ(Text(c.function(c.in)), c.out) << c.in;
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

// "\" is a character of a name here: the forms handed to the system keep it, and a text
// without one gets the form it always had.
TEST(Path, NativeFormsKeepABackslashInAName) {
    const struct {
        const char *in, *native, *key;
    } cases[] = {{"/d/a\\b.wav", "/d/a\\b.wav", "/d/a\\b.wav/"}, {"/d/x\\", "/d/x\\", "/d/x\\/"},
        {"//d\\x//..//a\\\\b/./", "//a\\\\b/.", "//a\\\\b/./"}, {"/\\/", "/\\", "/\\/"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Text(Path(c.in).ToNative()), c.native) << c.in;
        EXPECT_EQ(Text(Path(c.in).NativeKey()), c.key) << c.in;
    }
    for (const char* in : {"/Music/Old/../New/./a.WAV", "//srv/x//", "/a//b///", "/x/..", "/", "/./a/../../b"}) {
        const std::string normal = Text(Path::Normalize(in));
        EXPECT_EQ(Text(Path(in).NativeKey()), normal) << in;
        EXPECT_EQ(Text(Path(in).ToNative()), normal.size() > 1 ? normal.substr(0, normal.size() - 1) : normal) << in;
    }
    // A file's name and folder split at "/" only.
    using F = String (*)(const String&);
    const F name = Path::NativeFileNameOf, dir = Path::NativeDirectoryOf;
    const struct {
        F function;
        const char *in, *out;
    } splits[] = {{name, "/d/a\\b.wav", "a\\b.wav"}, {name, "/d/b//", "b"}, {name, "c:x", "c:x"}, {name, "x\\", "x\\"},
        {dir, "/d/a\\b.wav", "/d"}, {dir, "/a\\b", "/"}, {dir, "/d/x//", "/d"}, {dir, "d\\a", "."}, {dir, "c:", "."}};
    for (const auto& c : splits) EXPECT_EQ(Text(c.function(c.in)), c.out) << c.in;
}

// Every spelling of one file has one key, "." parts dropped before ".." takes its part; a
// name with a "\" or another case is another file.
TEST(Path, SpellingsOfOneFileShareAKey) {
    const std::string key = Text(Path("/d/a.wav").SpellingKey());
    for (const char* same : {"/d/./a.wav", "//d//a.wav/", "/d/x/../a.wav", "/d/x/./../a.wav", "/./d/a.wav"})
        EXPECT_EQ(Text(Path(same).SpellingKey()), key) << same;
    for (const char* other : {"/d\\a.wav", "/d/A.wav", "/d/x/a.wav", "/d/x/.../a.wav"})
        EXPECT_NE(Text(Path(other).SpellingKey()), key) << other;
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
