#include <Platform/Registry/Registry.h>

#include <Platform/Kernel/LastError.h>
#include <Platform/Registry/StoreText.h>

#include <gtest/gtest.h>

#include <TestSupport/ConfigHome.h>
#include <TestSupport/StoreDamage.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace reg = Platform::Registry;
using reg::Key;
using reg::Result;
using reg::Root;

namespace {

// Points the store at a fresh folder, so that no test touches the user's settings.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = home_.Path();
        file_ = folder_ / "Quorvel/HKEY_CURRENT_USER.reg";
    }

    std::string FileText() const {
        std::ifstream in(file_, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void WriteFileText(const std::string& text) const {
        std::filesystem::create_directories(file_.parent_path());
        std::ofstream(file_, std::ios::binary | std::ios::trunc) << text;
    }

    TestSupport::TemporaryConfigHome home_;
    std::filesystem::path folder_;
    std::filesystem::path file_;
};

Result Set(const std::string& keyPath, const std::string& name, std::uint32_t type, const std::string& bytes) {
    Key key;
    const Result created = Key::Create(Root::CurrentUser, keyPath, key);
    if (created != Result::Ok) return created;
    return key.SetValue(name, type, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

Result SetDword(const std::string& keyPath, const std::string& name, std::uint32_t word) {
    const std::string bytes(reinterpret_cast<const char*>(&word), 4);
    return Set(keyPath, name, reg::kTypeDword, bytes);
}

// The value's type and bytes through a fresh open, or nullopt-like {0, "<absent>"}.
std::pair<std::uint32_t, std::string> Get(const std::string& keyPath, const std::string& name) {
    Key key;
    if (Key::Open(Root::CurrentUser, keyPath, key) != Result::Ok) return {0, "<no key>"};
    std::uint32_t type = 99, size = 0;
    if (key.QueryValue(name, &type, nullptr, &size) != Result::Ok) return {0, "<absent>"};
    std::string bytes(size, '\0');
    std::uint32_t got = size;
    EXPECT_EQ(key.QueryValue(name, nullptr, bytes.data(), &got), Result::Ok);
    EXPECT_EQ(got, size);
    return {type, bytes};
}

// Makes the store's folder read-only without its lock file, or writable again; for root
// too, whose thread meanwhile gives up overriding file permissions. The error reading or
// changing the thread's capabilities, else 0.
int MakeReadOnly(const std::filesystem::path& folder, bool readOnly) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2] = {};
    if (::syscall(SYS_capget, &header, caps) != 0) return errno;
    constexpr std::uint32_t kOverride = 1u << CAP_DAC_OVERRIDE;
    const std::uint32_t effective =
        readOnly ? caps[0].effective & ~kOverride : caps[0].effective | (caps[0].permitted & kOverride);
    if (effective != caps[0].effective) {
        caps[0].effective = effective;
        if (::syscall(SYS_capset, &header, caps) != 0) return errno;
    }
    using std::filesystem::perms;
    std::filesystem::remove(folder / "HKEY_CURRENT_USER.reg.lock");
    std::filesystem::permissions(folder, readOnly ? perms::owner_read | perms::owner_exec : perms::owner_all);
    return 0;
}

std::string AllBytes() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    return bytes;
}

}  // namespace

TEST_F(Registry, StoreFileFollowsXdgConfigHomeElseHomeConfig) {
    EXPECT_EQ(reg::StoreFilePath(Root::CurrentUser), file_.string());
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("HOME", "/home/somebody", 1);
    ::setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored
    EXPECT_EQ(reg::StoreFilePath(Root::CurrentUser), "/home/somebody/.config/Quorvel/HKEY_CURRENT_USER.reg");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(reg::StoreFilePath(Root::CurrentUser), "/home/somebody/.config/Quorvel/HKEY_CURRENT_USER.reg");
    ::setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(Registry, KeysAreCreatedOnDemandAndValuesKeepTypeAndBytes) {
    Key key;
    EXPECT_EQ(Key::Open(Root::CurrentUser, "SOFTWARE\\Quorvel\\Tonalith", key), Result::NotFound);
    EXPECT_FALSE(key.IsOpen());
    ASSERT_EQ(Key::Create(Root::CurrentUser, "SOFTWARE\\Quorvel\\Tonalith", key), Result::Ok);
    EXPECT_TRUE(key.IsOpen());
    EXPECT_EQ(Key::Open(Root::CurrentUser, "SOFTWARE\\Quorvel", key), Result::Ok);  // parents exist too

    // Each written value reads back with its type and bytes as given, in any length or type.
    const struct {
        const char* name;
        std::uint32_t type;
        std::string bytes;
    } values[] = {{"Name", reg::kTypeString, std::string("abc\0", 4)}, {"Mode", reg::kTypeDword, "\xEF\xBE\xAD\xDE"},
        {"Blob", reg::kTypeBinary, AllBytes()}, {"Odd", 0x12345678, "xy"}, {"Empty", reg::kTypeBinary, ""},
        {"Raw", reg::kTypeString, "abcde"}, {"Short", reg::kTypeDword, "ab"},
        {"", reg::kTypeString, std::string("default\0", 8)}};
    for (const auto& v : values)
        EXPECT_EQ(Set("SOFTWARE\\Quorvel\\Tonalith", v.name, v.type, v.bytes), Result::Ok) << v.name;
    using V = std::pair<std::uint32_t, std::string>;
    for (const auto& v : values) EXPECT_EQ(Get("SOFTWARE\\Quorvel\\Tonalith", v.name), V(v.type, v.bytes)) << v.name;
    EXPECT_EQ(Get("SOFTWARE\\Quorvel\\Tonalith", "Missing"), V(0, "<absent>"));
    EXPECT_EQ(Get("SOFTWARE\\Quorvel\\Other", "Name"), V(0, "<no key>"));
}

// A deleted value is gone from the file and from the key that deleted it, whatever the case
// of its name; deleting what is not there, or with a bad name or key, writes nothing.
TEST_F(Registry, DeletedValuesAreGoneAndFailedDeletesLeaveTheFileAlone) {
    ASSERT_EQ(Set("A\\B", "Keep", reg::kTypeString, "k"), Result::Ok);
    ASSERT_EQ(Set("A\\B", "Gone", reg::kTypeString, "g"), Result::Ok);
    Key key;
    ASSERT_EQ(Key::Open(Root::CurrentUser, "A\\B", key), Result::Ok);
    EXPECT_EQ(key.DeleteValue("GONE"), Result::Ok);
    EXPECT_EQ(key.QueryValue("Gone", nullptr, nullptr, nullptr), Result::NotFound);
    using V = std::pair<std::uint32_t, std::string>;
    EXPECT_EQ(Get("A\\B", "Gone"), V(0, "<absent>"));
    EXPECT_EQ(Get("A\\B", "Keep"), V(reg::kTypeString, "k"));
    EXPECT_EQ(key.ValueNames(), std::vector<std::string>{"Keep"});
    EXPECT_TRUE(Key().ValueNames().empty());

    const auto written = std::filesystem::last_write_time(file_);
    const std::string before = FileText();
    ::usleep(20000);
    EXPECT_EQ(key.DeleteValue("Gone"), Result::NotFound);
    EXPECT_EQ(key.DeleteValue(std::string(20000, 'x')), Result::InvalidArgument);
    EXPECT_EQ(Key().DeleteValue("Keep"), Result::InvalidArgument);
    if (const int error = MakeReadOnly(file_.parent_path(), true))  // and without its lock file
        GTEST_SKIP() << "the store's folder cannot be made read-only to this thread: " << std::strerror(error);
    EXPECT_EQ(key.DeleteValue("Gone"), Result::NotFound);
    EXPECT_EQ(key.DeleteValue("Keep"), Result::IoFailure);
    if (const int error = MakeReadOnly(file_.parent_path(), false))
        FAIL() << "this thread cannot take back overriding file permissions: " << std::strerror(error);
    EXPECT_EQ(std::filesystem::last_write_time(file_), written);
    EXPECT_EQ(FileText(), before);
}

TEST_F(Registry, QueryReportsSizeWithoutBufferAndRefusesShortBuffers) {
    ASSERT_EQ(Set("K", "v", reg::kTypeBinary, "12345678"), Result::Ok);
    Key key;
    ASSERT_EQ(Key::Open(Root::CurrentUser, "K", key), Result::Ok);
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(key.QueryValue("v", &type, nullptr, &size), Result::Ok);
    EXPECT_EQ(type, 3u);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(key.QueryValue("v", nullptr, nullptr, nullptr), Result::Ok);  // exists
    char buffer[8] = {};
    size = 4;
    EXPECT_EQ(key.QueryValue("v", &type, buffer, &size), Result::BufferTooSmall);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(buffer[0], 0);  // nothing copied
    EXPECT_EQ(key.QueryValue("v", &type, buffer, nullptr), Result::InvalidArgument);
    size = 8;
    EXPECT_EQ(key.QueryValue("v", &type, buffer, &size), Result::Ok);
    EXPECT_EQ(std::string(buffer, 8), "12345678");
    key.Close();
    EXPECT_EQ(key.QueryValue("v", &type, nullptr, &size), Result::InvalidArgument);
    EXPECT_EQ(key.SetValue("v", 3, "x", 1), Result::InvalidArgument);
}

TEST_F(Registry, NamesMatchAsciiCaseInsensitivelyAndKeepTheirFirstCase) {
    ASSERT_EQ(SetDword("Software\\MixedCase", "ValueName", 1), Result::Ok);
    ASSERT_EQ(SetDword("SOFTWARE\\MIXEDCASE", "VALUENAME", 2), Result::Ok);
    EXPECT_EQ(Get("software\\mixedcase", "valuename").second, std::string("\2\0\0\0", 4));
    // Only ASCII letters fold: "É" and "é" are different names.
    ASSERT_EQ(SetDword("Software\\MixedCase", "\xC3\x89", 3), Result::Ok);
    EXPECT_EQ(Get("Software\\MixedCase", "\xC3\xA9").second, "<absent>");
    const std::string text = FileText();
    EXPECT_NE(text.find("key \"Software\" {"), std::string::npos) << text;
    EXPECT_NE(text.find("key \"MixedCase\" {"), std::string::npos) << text;
    EXPECT_NE(text.find("dword \"ValueName\" = 2"), std::string::npos) << text;
    EXPECT_EQ(text.find("SOFTWARE"), std::string::npos) << text;
}

TEST_F(Registry, EmptyPathPartsAreSkipped) {
    ASSERT_EQ(SetDword("A\\B\\", "x", 5), Result::Ok);
    EXPECT_EQ(Get("A\\\\B", "x").first, 4u);
    EXPECT_EQ(Get("\\A\\B", "x").first, 4u);
    ASSERT_EQ(SetDword("", "atRoot", 6), Result::Ok);
    EXPECT_EQ(Get("", "atRoot").first, 4u);
}

TEST_F(Registry, FileIsHumanReadableText) {
    ASSERT_EQ(
        Set("SOFTWARE\\Quorvel\\Tonalith", "LastFolder", 1, std::string("/home/me/Mu\"sic\\\n\0", 18)), Result::Ok);
    ASSERT_EQ(SetDword("SOFTWARE\\Quorvel\\Tonalith", "AmpRuler.Mode", 2), Result::Ok);
    ASSERT_EQ(Set("SOFTWARE\\Quorvel\\Tonalith", "Opacity", 3, std::string("\0\0\x80\x3f", 4)), Result::Ok);
    ASSERT_EQ(Set("SOFTWARE\\Quorvel\\Tonalith", "", 7, "ab"), Result::Ok);
    ASSERT_EQ(Set("SOFTWARE\\Quorvel", "Two", 1, std::string("a\0b\0", 4)), Result::Ok);
    EXPECT_EQ(FileText(),
        "# Quorvel settings store (HKEY_CURRENT_USER); rewritten whole on every change.\n"
        "qvreg 1\n"
        "key \"SOFTWARE\" {\n"
        "  key \"Quorvel\" {\n"
        "    value 1 \"Two\" = 61 00 62 00\n"
        "    key \"Tonalith\" {\n"
        "      value 7 \"\" = 61 62\n"
        "      dword \"AmpRuler.Mode\" = 2\n"
        "      string \"LastFolder\" = \"/home/me/Mu\\\"sic\\\\\\x0a\"\n"
        "      binary \"Opacity\" = 00 00 80 3f\n"
        "    }\n"
        "  }\n"
        "}\n"
        "end\n");
    struct stat info {};
    ASSERT_EQ(::stat(file_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);  // settings are private

    // A key the user comments out by hand is a comment: the file still reads whole.
    WriteFileText(
        "qvreg 1\ndword \"A\" = 1\n# key \"Old\" {\n#   string \"X\" = \"x\"\n# }\ndword \"B\" = 2\n"
        "key \"K\" {\n  dword \"C\" = 3\n}\nend\n");
    ASSERT_EQ(SetDword("", "new", 4), Result::Ok);
    EXPECT_FALSE(std::filesystem::exists(file_.string() + ".damaged"));
    for (const auto& [key, name] : {std::pair("", "A"), {"", "B"}, {"K", "C"}, {"", "new"}})
        EXPECT_EQ(Get(key, name).first, 4u) << name;
    EXPECT_EQ(Get("Old", "X").first, 0u);
}

TEST_F(Registry, EveryByteOfNamesAndValuesRoundTrips) {
    const std::string all = AllBytes();
    ASSERT_EQ(Set("K", all, reg::kTypeString, all.substr(1) + '\0'), Result::Ok);
    std::string keyName = all;
    keyName.erase(keyName.find('\\'), 1);  // the one byte a key name cannot hold
    const std::string keyPath = "K\\" + keyName;
    ASSERT_EQ(Set(keyPath, "n", 1, ""), Result::Ok);
    EXPECT_EQ(Get("K", all).second, all.substr(1) + '\0');
    EXPECT_EQ(Get(keyPath, "n"), std::make_pair(1u, std::string()));
}

TEST_F(Registry, EveryOpenReadsTheFileAfresh) {
    ASSERT_EQ(SetDword("K", "v", 1), Result::Ok);
    Key before;
    ASSERT_EQ(Key::Open(Root::CurrentUser, "K", before), Result::Ok);
    ASSERT_EQ(SetDword("K", "v", 2), Result::Ok);
    std::uint32_t word = 0, size = 4;
    EXPECT_EQ(before.QueryValue("v", nullptr, &word, &size), Result::Ok);
    EXPECT_EQ(word, 1u);  // an open key shows the store as it was opened
    Key after;
    ASSERT_EQ(Key::Open(Root::CurrentUser, "K", after), Result::Ok);
    EXPECT_EQ(after.QueryValue("v", nullptr, &word, &size), Result::Ok);
    EXPECT_EQ(word, 2u);
    // A key's own write is visible through it at once.
    ASSERT_EQ(before.SetValue("v", reg::kTypeDword, "\3\0\0\0", 4), Result::Ok);
    EXPECT_EQ(before.QueryValue("v", nullptr, &word, &size), Result::Ok);
    EXPECT_EQ(word, 3u);
}

TEST_F(Registry, LimitsAreRefusedWithoutTouchingTheFile) {
    ASSERT_EQ(SetDword("K", "v", 1), Result::Ok);
    const std::string text = FileText();
    Key key;
    ASSERT_EQ(Key::Open(Root::CurrentUser, "K", key), Result::Ok);
    const std::string big((1u << 20) + 1, 'x');
    EXPECT_EQ(key.SetValue("big", 3, big.data(), static_cast<std::uint32_t>(big.size())), Result::InvalidArgument);
    EXPECT_EQ(key.SetValue(std::string(16384, 'n'), 3, "x", 1), Result::InvalidArgument);
    EXPECT_EQ(key.SetValue("null", 3, nullptr, 1), Result::InvalidArgument);
    EXPECT_EQ(Key::Create(Root::CurrentUser, std::string(256, 'k'), key), Result::InvalidArgument);
    EXPECT_EQ(FileText(), text);
    EXPECT_EQ(key.SetValue(std::string(16383, 'n'), 3, big.data(), 1u << 20), Result::Ok);  // at the limits
    EXPECT_EQ(Get("K", std::string(16383, 'N')).second.size(), 1u << 20);
}

TEST_F(Registry, DamagedFilesKeepTheEntriesThatStillReadAndABadLineNoMore) {
    ASSERT_EQ(SetDword("SOFTWARE\\Q", "v", 7), Result::Ok);
    ASSERT_EQ(Set("SOFTWARE\\Q", "s", 1, std::string("text\0", 5)), Result::Ok);
    const std::string good = FileText();

    // A prefix keeps the values whose whole line it holds, newline included.
    for (std::size_t length = 0; length < good.size(); ++length) {
        WriteFileText(good.substr(0, length));
        for (const char* name : {"v", "s"}) {
            const std::size_t lineEnd = good.find('\n', good.find(std::string("\"") + name + "\"")) + 1;
            EXPECT_EQ(Get("SOFTWARE\\Q", name).first != 0, length >= lineEnd) << name << " " << length;
        }
    }
    // Without an indent the braces hold up to the first damage, also in a file the writer made.
    std::string flat = TestSupport::Reindented(good, [](std::size_t) { return std::string(); });
    WriteFileText(flat.replace(flat.rfind("end"), 3, "en"));
    EXPECT_EQ(std::make_pair(Get("SOFTWARE\\Q", "v").first, Get("SOFTWARE\\Q", "s").first), std::make_pair(4u, 1u));

    const std::string header = "qvreg 1\n";
    const std::string hostile[] = {
        "", "\x89PNG\r\n\x1a\n\0\0\0", "qvreg 2\nend\n",
        header + "}\nend\n",  // unopened brace
        header + "dword \"v\" = 4294967296\nend\n",  // beyond 32 bits
        header + "dword \"v\" = 99999999999999999999999999\nend\n", header + "value -1 \"v\" = 00\nend\n",
        header + "binary \"v\" = 0\nend\n",  // odd hex digit
        header + "binary \"v\" = 0g\nend\n",
        header + "binary \"v\" = 0011\nend\n",  // bytes must be separated
        header + "string \"v\" = \"unterminated\nend\n", header + "string \"v\" = \"bad \\q escape\"\nend\n",
        header + "string \"v\" = \"short \\x4\"\nend\n",
        header + "string \"v\" = \"tab\there\"\nend\n",  // raw control byte
        header + "key \"\" {\n  dword \"v\" = 1\n}\nend\n",  // empty key name: its values go with it
        header + "key \"a\\\\b\" {\n  dword \"v\" = 1\n}\nend\n",  // separator inside a name
        header + "key \"" + std::string(256, 'k') + "\" {\n}\nend\n",
        header + "string \"" + std::string(16384, 'n') + "\" = \"\"\nend\n", header + "mystery \"v\" = 1\nend\n",
        header + "end\ndword \"v\" = 1\n",  // text after the end
        header + "dword \"v\" = 1",  // last line unterminated
        header + "x\n  dword \"v\" = 1\nend\n",  // indented under no key
    };
    for (const std::string& text : hostile) {
        WriteFileText(text);
        Key key;
        EXPECT_EQ(Key::Open(Root::CurrentUser, "", key), Result::Ok);  // the root always exists
        EXPECT_EQ(key.QueryValue("v", nullptr, nullptr, nullptr), Result::NotFound) << text.substr(0, 80);
        EXPECT_EQ(Key::Open(Root::CurrentUser, "SOFTWARE", key), Result::NotFound) << text.substr(0, 80);
    }

    // Nesting comes from the indent: a lost brace moves nothing, a bad line drops only itself.
    // A line whose indent and braces disagree goes where a line that reads after it agrees,
    // else nowhere (f: G's brace lost, or f's own indent shifted, cannot be told).
    WriteFileText(header + "key \"A\" {\n  dword \"a\" = 1\n  key \"B\" {\n    dword \"b\" = 2\n  ?\n" +
        "  dword \"c\" = 3\n  dword \"e\" = 5\n  key \"G\" {\n    dword \"g\" = 7\n  ?\n  dword \"f\" = 6\n" +
        "  binary \"x\" = 0\n}\ndword \"d\" = 4\n");
    for (const auto& [key, name] :
        {std::pair("A", "a"), {"A\\B", "b"}, {"A", "c"}, {"A", "e"}, {"A\\G", "g"}, {"", "d"}})
        EXPECT_EQ(Get(key, name).first, 4u) << key << ":" << name;
    EXPECT_EQ(Get("A\\B", "c").first + Get("A", "f").first + Get("A\\G", "f").first, 0u);
    EXPECT_EQ(Get("A", "x").first, 0u);
    EXPECT_EQ(Get("", "d").first, 4u);

    // Deep nesting beyond the store's depth limit keeps the levels within it.
    std::string deep = header;
    for (int i = 0; i < 600; ++i) deep += std::string(2 * i, ' ') + "key \"k\" {\n";
    WriteFileText(deep + "end\n");
    std::string path = "k";
    for (int i = 1; i < 600; ++i) path += "\\k";
    Key key;
    EXPECT_EQ(Key::Open(Root::CurrentUser, "k", key), Result::Ok);
    EXPECT_EQ(Key::Open(Root::CurrentUser, path, key), Result::NotFound);

    // A write keeps what was read of a corrupt file, and the damaged file beside it.
    const std::string damaged = header + "dword \"old\" = 5\ngarbage\n";
    WriteFileText(damaged);
    ASSERT_EQ(SetDword("SOFTWARE\\Q", "new", 9), Result::Ok);
    EXPECT_EQ(Get("SOFTWARE\\Q", "new").first, 4u);
    EXPECT_EQ(Get("", "old").first, 4u);
    std::ifstream kept(file_.string() + ".damaged", std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()), damaged);
}

// Every line of a store, damaged in each way in turn: the entries the line does not own
// still read, and still do after the next write has replaced the file.
TEST_F(Registry, OneDamagedLineCostsOnlyWhatItOwns) {
    // Each line with what it owns: a value line its entry ("key path:name"), a key line
    // every entry below its key path.
    const std::vector<std::pair<std::string, std::string>> lines = {{"# settings", ""}, {"qvreg 1", ""},
        {"dword \"top\" = 1", ":top"}, {"key \"SOFTWARE\" {", "SOFTWARE"}, {"  key \"Q\" {", "SOFTWARE\\Q"},
        {"    key \"T\" {", "SOFTWARE\\Q\\T"}, {"      string \"FFT\" = \"4096\"", "SOFTWARE\\Q\\T:FFT"},
        {"      dword \"Window\" = 2", "SOFTWARE\\Q\\T:Window"},
        {"      binary \"Range\" = 00 00 70 42", "SOFTWARE\\Q\\T:Range"},
        {"      key \"Nested\" {", "SOFTWARE\\Q\\T\\Nested"}, {"        dword \"n\" = 3", "SOFTWARE\\Q\\T\\Nested:n"},
        {"      }", ""}, {"    }", ""}, {"    key \"Other\" {", "SOFTWARE\\Q\\Other"},
        {"      dword \"o\" = 4", "SOFTWARE\\Q\\Other:o"}, {"    }", ""}, {"  }", ""},
        {"  dword \"last\" = 5", "SOFTWARE:last"}, {"}", ""}, {"end", ""}};
    std::string text;
    std::vector<std::string> entries;
    for (const auto& [line, owns] : lines) {
        text += line + "\n";
        if (owns.find(':') != std::string::npos) entries.push_back(owns);
    }
    const auto ownedBy = [](const std::string& entry, const std::string& owns) {
        return !owns.empty() && (entry == owns || entry.rfind(owns + ":", 0) == 0 || entry.rfind(owns + "\\", 0) == 0);
    };

    for (const TestSupport::LineDamage& damage : TestSupport::LineDamages()) {
        const bool itsOwn = std::string(damage.name) != "junk line before it";
        std::size_t lineStart = 0;
        for (const auto& [line, owns] : lines) {
            const std::string damaged = damage.apply(text, lineStart);
            WriteFileText(damaged);
            for (int pass = 0; pass < 2; ++pass) {  // as read, then as rewritten
                for (const std::string& entry : entries) {
                    const std::size_t colon = entry.find(':');
                    EXPECT_EQ(Get(entry.substr(0, colon), entry.substr(colon + 1)).first != 0,
                        !(itsOwn && ownedBy(entry, owns)))
                        << damage.name << " | " << line << " | " << entry;
                }
                ASSERT_EQ(SetDword("New", "n", 1), Result::Ok);
            }
            std::ifstream kept(file_.string() + ".damaged", std::ios::binary);
            EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()), damaged);
            std::filesystem::remove(file_.string() + ".damaged");
            lineStart = text.find('\n', lineStart) + 1;
        }
    }
}

// A store file saved by an editor with "\r\n" line ends keeps every value, binary
// ones included; reading it as corrupt would let the next write drop them all.
TEST_F(Registry, LinesEndingInCarriageReturnsReadAlike) {
    WriteFileText(
        "qvreg 1\r\n"
        "key \"SOFTWARE\" {\r\n"
        "  string \"s\" = \"text\"\r\n"
        "  dword \"d\" = 7\r\n"
        "  binary \"b\" = 00 00 80 3f\r\n"
        "  value 9 \"v\" = 61 62\r\n"
        "  binary \"e\" =\r\n"
        "}\r\n"
        "end\r\n");
    EXPECT_EQ(Get("SOFTWARE", "s"), std::make_pair(1u, std::string("text\0", 5)));
    EXPECT_EQ(Get("SOFTWARE", "d").first, 4u);
    EXPECT_EQ(Get("SOFTWARE", "b"), std::make_pair(3u, std::string("\0\0\x80\x3f", 4)));
    EXPECT_EQ(Get("SOFTWARE", "v"), std::make_pair(9u, std::string("ab")));
    EXPECT_EQ(Get("SOFTWARE", "e"), std::make_pair(3u, std::string()));

    ASSERT_EQ(SetDword("SOFTWARE", "new", 1), Result::Ok);
    EXPECT_EQ(Get("SOFTWARE", "b").first, 3u);  // still there after a write

    WriteFileText("qvreg 1\nbinary \"b\" = 0\r0\nend\n");  // a carriage return is no digit
    EXPECT_EQ(Get("", "b").second, "<absent>");
}

TEST_F(Registry, OversizedOrSpecialStoreFilesNeitherHangNorCrash) {
    std::filesystem::create_directories(file_.parent_path());
    ASSERT_EQ(::mkfifo(file_.c_str(), 0600), 0);
    Key key;
    EXPECT_EQ(Key::Open(Root::CurrentUser, "K", key), Result::NotFound);
    std::filesystem::remove(file_);

    { std::ofstream create(file_); }
    std::filesystem::resize_file(file_, (32u << 20) + 1);  // sparse, past the size limit
    EXPECT_EQ(Key::Open(Root::CurrentUser, "K", key), Result::NotFound);
    EXPECT_EQ(SetDword("K", "v", 1), Result::Ok);
    EXPECT_EQ(Get("K", "v").first, 4u);
    EXPECT_LT(std::filesystem::file_size(file_), 1000u);

    // A folder under the store's name: the write fails and leaves nothing beside it.
    std::filesystem::remove(file_);
    std::filesystem::remove(file_.string() + ".damaged");
    std::filesystem::create_directory(file_);
    Platform::Kernel::SetLastError(0);
    EXPECT_EQ(SetDword("K", "v", 1), Result::IoFailure);
    EXPECT_EQ(Platform::Kernel::LastError(), static_cast<std::uint32_t>(EISDIR));
    EXPECT_FALSE(std::filesystem::exists(file_.string() + ".damaged"));
}

TEST_F(Registry, FailuresSetTheThreadsLastError) {
    Key key;
    Platform::Kernel::SetLastError(0);
    EXPECT_EQ(Key::Open(Root::CurrentUser, "Nowhere", key), Result::NotFound);
    EXPECT_EQ(Platform::Kernel::LastError(), static_cast<std::uint32_t>(ENOENT));
    // A file where the store's folder should be: the write fails and says why.
    std::filesystem::create_directories(folder_);
    std::ofstream(folder_ / "Quorvel") << "not a folder";
    Platform::Kernel::SetLastError(0);
    EXPECT_EQ(Key::Create(Root::CurrentUser, "K", key), Result::IoFailure);
    EXPECT_EQ(Platform::Kernel::LastError(), static_cast<std::uint32_t>(ENOTDIR));
}

TEST_F(Registry, AStoreFileThatIsALinkStaysALink) {
    const std::filesystem::path real = folder_ / "dotfiles/settings.reg";
    std::filesystem::create_directories(real.parent_path());
    std::filesystem::create_directories(file_.parent_path());
    ASSERT_EQ(SetDword("K", "v", 1), Result::Ok);
    std::filesystem::rename(file_, real);
    std::filesystem::create_symlink(real, file_);
    ASSERT_EQ(SetDword("K", "w", 2), Result::Ok);
    EXPECT_TRUE(std::filesystem::is_symlink(file_));
    EXPECT_EQ(Get("K", "v").first, 4u);
    EXPECT_EQ(Get("K", "w").first, 4u);
    std::ifstream in(real);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("dword \"w\" = 2"), std::string::npos) << text;
}

TEST_F(Registry, WritesFromSeveralProcessesAreAllKept) {
    constexpr int kProcesses = 4, kValues = 15;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool ok = true;
            for (int v = 0; v < kValues; ++v) {
                ok = ok &&
                    SetDword("Shared", "p" + std::to_string(p) + "v" + std::to_string(v), p * 100 + v) == Result::Ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int p = 0; p < kProcesses; ++p) {
        for (int v = 0; v < kValues; ++v) {
            const std::uint32_t word = p * 100 + v;
            EXPECT_EQ(Get("Shared", "p" + std::to_string(p) + "v" + std::to_string(v)).second,
                std::string(reinterpret_cast<const char*>(&word), 4));
        }
    }
}

TEST_F(Registry, AWriterDyingBeforeTheRenameLeavesTheOldFileWhole) {
    ASSERT_EQ(SetDword("K", "old", 1), Result::Ok);
    const std::string before = FileText();
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        reg::Testing::SetBeforeReplaceHook([] { ::_exit(42); });
        SetDword("K", "new", 2);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 42);  // died in the middle of the write, holding the lock

    EXPECT_EQ(FileText(), before);
    EXPECT_EQ(Get("K", "new").second, "<absent>");
    EXPECT_EQ(Get("K", "old").first, 4u);
    // The dead writer's lock is gone and its leftover does not disturb the next write.
    ASSERT_EQ(SetDword("K", "after", 3), Result::Ok);
    EXPECT_EQ(Get("K", "old").first, 4u);
    EXPECT_EQ(Get("K", "after").first, 4u);
}

// A store as the program leaves it (and a key of another program's), re-indented by hand.
class ReindentedStore : public Registry, public ::testing::WithParamInterface<TestSupport::Reindentation> {
protected:
    static void WriteProgramsStore() {
        const std::string program = "SOFTWARE\\Quorvel\\Tonalith", path = "/home/me/\xC3\x89t\xC3\xA9 1.wav";
        ASSERT_EQ(Set("SOFTWARE\\Other Maker\\Tool", "Path", reg::kTypeString, path + '\0'), Result::Ok);
        for (const char* name : {"RecentFile1", "RecentFile2", "RecentFile3", "RecentFile4", "RecentFile5",
                 "LastFolder", "Tonalith Host Window.Geometry"})
            ASSERT_EQ(Set(program, name, reg::kTypeString, path + '\0'), Result::Ok);
        for (const char* name : {"EditorView.Spectrogram.FFTSize", "AmpRuler.Mode", "Tonalith Host Window.Maximized"})
            ASSERT_EQ(SetDword(program, name, 2), Result::Ok);
        for (const char* name : {"EditorView.WaveformOpacity", "EditorView.Spectrogram.AmpRange"})
            ASSERT_EQ(Set(program, name, reg::kTypeBinary, std::string("\0\0\x80\x3f", 4)), Result::Ok);
    }
};

// The writer's text without what the line at `at` owns: a value line its value, a key
// line everything up to its closing brace.
std::string WithoutWhatALineOwns(std::string text, std::size_t at) {
    const std::size_t indent = text.find_first_not_of(' ', at) - at, end = text.find('\n', at) + 1;
    if (text.compare(at + indent, 4, "key ") == 0)
        return text.erase(at, text.find('\n' + std::string(indent, ' ') + "}\n", at) + indent + 3 - at);
    return text.substr(at, end - at).find(" = ") == std::string::npos ? text : text.erase(at, end - at);
}

// The re-indented store still reads whole; with one line of it damaged, the next change
// keeps every entry the line does not own, each under its own key, as the same change
// does to an undamaged store without them.
TEST_P(ReindentedStore, OneDamagedLineCostsOnlyWhatItOwns) {
    WriteProgramsStore();
    const std::string written = FileText(), damagedCopy = file_.string() + ".damaged";
    const auto afterTheChange = [&](const std::string& before) {
        WriteFileText(before);
        EXPECT_EQ(SetDword("New", "n", 1), Result::Ok);
        return FileText();
    };
    const std::size_t moved = written.rfind('\n', written.find("\"RecentFile3\"")) + 1;
    const std::string text = GetParam().apply(written, moved), whole = afterTheChange(text);
    EXPECT_FALSE(std::filesystem::exists(damagedCopy));
    EXPECT_EQ(whole, afterTheChange(written));

    const std::size_t besideBefore = written.rfind('\n', moved - 2) + 1, besideAfter = written.find('\n', moved) + 1;
    for (std::size_t at = 0, writtenAt = 0; at < text.size();
         at = text.find('\n', at) + 1, writtenAt = written.find('\n', writtenAt) + 1) {
        if (GetParam().movesOneLine && writtenAt >= besideBefore && writtenAt <= besideAfter) continue;
        const std::string withoutOwned = WithoutWhatALineOwns(written, writtenAt);
        const std::string owned = withoutOwned == written ? whole : afterTheChange(withoutOwned);
        for (const TestSupport::LineDamage& damage : TestSupport::LineDamages()) {
            const std::string damaged = damage.apply(text, at);
            const bool itsOwn = std::string(damage.name) != "junk line before it";
            EXPECT_EQ(afterTheChange(damaged), itsOwn ? owned : whole)
                << damage.name << " | " << written.substr(writtenAt, 40);
            std::ifstream kept(damagedCopy, std::ios::binary);
            EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()), damaged);
            std::filesystem::remove(damagedCopy);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ReindentedStore, ::testing::ValuesIn(TestSupport::Reindentations()),
    [](const auto& tested) { return std::string(tested.param.name); });

namespace {

namespace detail = Platform::Registry::Detail;

// Keys beside and inside each other; values under one name differ in type or in more
// bytes than one damage changes, so that an entry read elsewhere is known by its value.
detail::StoredKey ManyKeys() {
    const auto text = [](std::string s) { return s + '\0'; };
    const auto word = [](std::uint32_t w) { return std::string(reinterpret_cast<const char*>(&w), 4); };
    const struct {
        const char* path;
        const char* name;  // "": the key alone
        std::uint32_t type;
        std::string bytes;
    } entries[] = {{"Environment", "Path", 1, text("/usr/local/bin:/usr/bin")}, {"Environment\\Empty", "", 0, ""},
        {"Printers", "Default", 1, text("Office laser")}, {"Printers", "Mode", 1, text("duplex long edge")},
        {"SOFTWARE\\Other", "Count", 4, word(31337)}, {"SOFTWARE\\Other", "Mode", 1, text("eleven")},
        {"SOFTWARE\\Other", "Path", 1, text("/srv/share {x} \"q\"")}, {"SOFTWARE\\Quorvel", "Mode", 4, word(10)},
        {"SOFTWARE\\Quorvel\\Shared", "Opacity", 3, std::string("\0\0\x40\x3f", 4)},
        {"SOFTWARE\\Quorvel\\Tonalith", "RecentFile1", 1, text("/home/me/Music/take 1.wav")},
        {"SOFTWARE\\Quorvel\\Tonalith", "RecentFile2", 1, text("/home/me/Music/take 2.wav")},
        {"SOFTWARE\\Quorvel\\Tonalith", "LastFolder", 1, text("/home/me/Music")},
        {"SOFTWARE\\Quorvel\\Tonalith", "Mode", 3, "\1\2\3\4\5"},
        {"SOFTWARE\\Quorvel\\Tonalith\\Display", "Scale", 1, text("mel")},
        {"SOFTWARE\\Quorvel\\Tonalith\\Display\\Spectrogram", "Overlap", 4, word(75)},
        {"SOFTWARE\\Quorvel\\Tonalith\\Display\\Waveform", "Colour", 3, "\x10\x20\x30"},
        {"SOFTWARE\\Quorvel\\Tonalith\\Window", "Geometry", 1, text("10 20 800 600")},
        {"SOFTWARE\\Quorvel\\Tonalith\\Window", "Maximized", 4, word(0)},
        {"SOFTWARE\\Quorvel\\Viewer", "Mode", 7, "mode"},
        {"SOFTWARE\\Quorvel\\Viewer\\Window", "Geometry", 1, text("640x480+0+0")},
        {"SOFTWARE\\Quorvel\\Viewer\\Window", "Maximized", 1, text("yes")},
        {"SOFTWARE\\Zeta Soft\\Tool", "Path", 1, text("/home/me/\xC3\x89t\xC3\xA9 1.wav")}};
    detail::StoredKey root;
    for (const auto& entry : entries) {
        detail::StoredKey* key = &root;
        for (const std::string_view part : detail::SplitKeyPath(entry.path)) key = &key->SubKey(part);
        if (*entry.name) key->SetValue(entry.name, entry.type, {entry.bytes.begin(), entry.bytes.end()});
    }
    return root;
}

// A store's entries by folded key path and name, and its key paths.
using Entries = std::map<std::pair<std::string, std::string>, std::pair<std::uint32_t, std::vector<std::uint8_t>>>;
void Collect(const detail::StoredKey& key, const std::string& path, Entries& entries, std::set<std::string>& keys) {
    for (const auto& [name, value] : key.values) entries[{path, name}] = {value.type, value.data};
    for (const auto& [name, sub] : key.subKeys) Collect(sub, *keys.insert(path + '\\' + name).first, entries, keys);
}

// The text damaged at `at`: a few bytes overwritten, inserted or deleted, cut short, the
// line written twice or lost, a run of zeros written over it (a crash's), the bytes random or
// those the format is made of; or junk put after a line up to three lines away, and another
// of those.
std::string DamagedAt(std::string text, std::size_t at, std::mt19937& random, std::size_t kinds = 8) {
    const auto byte = [&random] { return random() % 2 ? static_cast<char>(random()) : "{}\"\\\n \t#"[random() % 8]; };
    const std::size_t count = 1 + random() % 4;
    const std::size_t line = at == 0 ? 0 : text.rfind('\n', at - 1) + 1, lineEnd = text.find('\n', at) + 1;
    switch (random() % kinds) {
    case 0:
        for (std::size_t i = at; i < std::min(at + count, text.size()); ++i) text[i] = byte();
        return text;
    case 1:
        for (std::size_t i = 0; i < count; ++i) text.insert(text.begin() + at, byte());
        return text;
    case 2: return text.erase(at, count);
    case 3: return text.substr(0, at);
    case 4: return text.insert(line, text.substr(line, lineEnd - line));
    case 5: return text.erase(line, lineEnd - line);
    case 6: {
        const std::size_t zeros = std::min<std::size_t>(8 + random() % 121, text.size() - at);
        return text.replace(at, zeros, zeros, '\0');
    }
    default: {
        std::size_t junkAt = lineEnd - 1;
        for (int lines = static_cast<int>(random() % 7) - 3; lines != 0; lines += lines > 0 ? -1 : 1) {
            const std::size_t next = lines > 0 ? text.find('\n', junkAt + 1) : text.rfind('\n', junkAt - 1);
            if (next == std::string::npos) break;
            junkAt = next;
        }
        const std::string junk =
            random() % 2 ? "  junk" : std::string(1 + random() % 4, static_cast<char>('!' + random() % 90));
        text.insert(junkAt, junk);
        return DamagedAt(std::move(text), junkAt < at ? at + junk.size() : at, random, kinds - 1);
    }
    }
}

// What a damaged text reads as.
std::string Salvaged(const std::string& text) {
    detail::StoredKey root;
    EXPECT_FALSE(detail::ParseStore(text, root));
    return detail::FormatStore(root);
}

}  // namespace

// A key line that does not read costs its key and nothing else: made unreadable with the
// line after it one column off the grid, merged with the closing brace before it (the
// newline between overwritten; also with the brace overwritten by a comment sign), gone
// with a damaged line before that brace, or, after a top-level key, zeroed from that brace
// to the next entry. None lends the key's entries to its neighbour or parent.
TEST(RegistrySalvage, ALostKeyLineCostsItsKeyAndMovesNothing) {
    const detail::StoredKey store = ManyKeys();
    for (const TestSupport::Indent& indent : TestSupport::Indents()) {
        const std::string text = TestSupport::Reindented(detail::FormatStore(store), indent.of);
        std::vector<std::string> path;  // of the key a line opens, and the keys around it
        for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
            end = text.find('\n', at);
            const std::size_t first = text.find_first_not_of(" \t", at);
            if (text[first] == '}') path.pop_back();
            if (text.compare(first, 5, "key \"") != 0) continue;
            path.push_back(text.substr(first + 5, text.find('"', first + 5) - first - 5));
            detail::StoredKey expected = store;
            detail::StoredKey* parent = &expected;
            for (std::size_t level = 0; level + 1 < path.size(); ++level) parent = &parent->SubKey(path[level]);
            parent->subKeys.erase(detail::FoldCase(path.back()));
            const auto expect = [&](const std::string& damaged, const char* how) {
                EXPECT_EQ(Salvaged(damaged), detail::FormatStore(expected))
                    << indent.name << " " << how << " | " << path.back();
            };

            std::string lost = text;
            lost.replace(at, end - at, end - at, '?');
            expect(lost.insert(text.find_first_not_of(" \t", end + 1), 1, ' '), "lost");
            const std::size_t braceLine = text.rfind('\n', at - 2) + 1,
                              brace = text.find_first_not_of(" \t", braceLine);
            if (text[brace] != '}') continue;
            std::string merged = text;
            merged[at - 1] = 'x';
            expect(merged, "merged");
            merged[brace] = '#';
            expect(merged, "commented");
            expect(std::string(text).erase(at, end + 1 - at).insert(braceLine, "@@@\n"), "gone");
            if (path.size() > 1) continue;
            const std::size_t entry = text.find_first_not_of(" \t", end + 1);
            expect(std::string(text).replace(brace, entry - brace, entry - brace, '\0'), "zeroed");
        }
    }
}

// Thousands of random damages in every layout, and damages too rare for the draw that once
// did: no entry is read under a key it was not in, so none replaces a value there either,
// and most are kept. An entry found elsewhere is moved unless a damaged key line renamed
// its key: one part of its path differs and names no key the store had.
TEST(RegistrySalvage, RandomDamageMovesNoEntryAndKeepsMost) {
    Entries entries;
    std::set<std::string> keys;
    Collect(ManyKeys(), "", entries, keys);
    // The entries of the store the damaged text reads as that are where they were.
    const auto readBack = [&](const std::string& damaged, const std::string& damage) {
        detail::StoredKey root;
        detail::ParseStore(damaged, root);
        Entries read;
        std::set<std::string> readKeys;
        Collect(root, "", read, readKeys);
        std::size_t kept = 0;
        for (const auto& [where, value] : read) {
            const auto home = entries.find(where);
            kept += home != entries.end() && home->second == value;
            for (const auto& [from, was] : entries) {
                if (from == where || from.second != where.second || was != value) continue;
                const auto a = detail::SplitKeyPath(where.first), b = detail::SplitKeyPath(from.first);
                const auto differs = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
                if (a.size() == b.size() && std::equal(differs.first + 1, a.end(), differs.second + 1) &&
                    !keys.count(
                        where.first.substr(0, differs.first->data() + differs.first->size() - where.first.data())))
                    continue;
                ADD_FAILURE() << damage << ": " << from.first << ":" << from.second << " read under " << where.first
                              << (home != entries.end() ? ", over a value" : "");
            }
        }
        return kept;
    };
    const auto lineOf = [](const std::string& text, const char* part) { return text.rfind('\n', text.find(part)) + 1; };
    const std::pair<const char*, std::function<std::string(std::string)>> rare[] = {
        {"a line broken in two by a closing brace",
            [&](std::string text) {
                const std::size_t line = lineOf(text, "dword \"Mode\" = 10");
                return text.replace(line, text.find_first_not_of(" \t", line) - line, "}\n");
            }},
        {"a key line's brace and the next line's indent overwritten, the line after damaged",
            [](std::string text) {
                const std::size_t brace = text.find("\"Printers\" {") + 11;
                text.insert(text.find('\n', text.find("\"duplex long edge\"")), "  junk");
                return text.replace(brace, text.find_first_not_of(" \t", text.find('\n', brace) + 1) - brace, "?\n");
            }},
        {"a closing brace's line lost into the key line's indent, the line after damaged",
            [&](std::string text) {
                const std::size_t key = lineOf(text, "key \"Viewer\""), entry = text.find('\n', key) + 1;
                const std::string deeper = text.substr(entry, text.find_first_not_of(" \t", entry) - entry);
                text.insert(text.find('\n', entry), "  junk");
                const std::size_t brace = text.rfind('\n', key - 2) + 1;
                return text.replace(brace, text.find_first_not_of(" \t", key) - brace, deeper);
            }},
        {"a damaged key line in a text cut short",
            [](std::string text) {
                text.insert(text.find("\"Environment\" {") + 15, "AAA");
                return text.substr(0, text.find('\n', text.find('}', text.find("\"Empty\""))) + 1);
            }},
    };
    std::vector<TestSupport::Indent> layouts = TestSupport::Indents();
    layouts.push_back({"None", [](std::size_t) { return std::string(); }});
    for (const TestSupport::Indent& indent : layouts) {
        const std::string text = TestSupport::Reindented(detail::FormatStore(ManyKeys()), indent.of);
        for (const auto& [name, damage] : rare) readBack(damage(text), std::string(indent.name) + " " + name);
        std::mt19937 random(1);
        std::size_t kept = 0;
        constexpr std::size_t kDamages = 6000;
        for (std::size_t damage = 0; damage < kDamages; ++damage) {
            kept += readBack(DamagedAt(text, random() % text.size(), random),
                std::string(indent.name) + " damage " + std::to_string(damage));
        }
        // Without an indent, the braces hold only up to the first damage.
        EXPECT_GE(kept, kDamages * entries.size() * (indent.of(1).empty() ? 48 : 80) / 100) << indent.name;
    }
}
