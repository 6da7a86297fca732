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

#include <fcntl.h>
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
    EXPECT_NE(text.find("\"Software\\\\MixedCase\" dword \"ValueName\" = 2"), std::string::npos) << text;
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
    Key empty;
    ASSERT_EQ(Key::Create(Root::CurrentUser, "Empty", empty), Result::Ok);
    ASSERT_EQ(SetDword("", "atRoot", 6), Result::Ok);
    // The checks are CRC-32s of the lines' statements, and the end's of its own plus those of where
    // each entry is (its folded path and name, quoted), worked out apart from the store's code.
    EXPECT_EQ(FileText(),
        "# Quorvel settings store (HKEY_CURRENT_USER); rewritten whole on every change.\n"
        "# The digits in brackets check their line, and on the last line which lines there are.\n"
        "# A line you change or add by hand ends in [] instead; once you add or remove a line, so does the last.\n"
        "qvstore 3\n"
        "\"\" dword \"atRoot\" = 6 [1ceb4377]\n"
        "key \"Empty\" [ff859ba1]\n"
        "key \"SOFTWARE\" [e03ec8b8]\n"
        "\"SOFTWARE\\\\Quorvel\" value 1 \"Two\" = 61 00 62 00 [fca8f77f]\n"
        "\"SOFTWARE\\\\Quorvel\\\\Tonalith\" value 7 \"\" = 61 62 [4f702614]\n"
        "\"SOFTWARE\\\\Quorvel\\\\Tonalith\" dword \"AmpRuler.Mode\" = 2 [8f4d0206]\n"
        "\"SOFTWARE\\\\Quorvel\\\\Tonalith\" string \"LastFolder\" = \"/home/me/Mu\\\"sic\\\\\\x0a\" [f7469589]\n"
        "\"SOFTWARE\\\\Quorvel\\\\Tonalith\" binary \"Opacity\" = 00 00 80 3f [4a185b47]\n"
        "end 8 [78dbce7e]\n");
    struct stat info {};
    ASSERT_EQ(::stat(file_.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);  // settings are private

    // A file an earlier release wrote, with a key commented out by hand, reads whole: the next
    // change writes it in the line layout, with nothing kept aside.
    WriteFileText(
        "qvreg 1\ndword \"A\" = 1\n# key \"Old\" {\n#   string \"X\" = \"x\"\n# }\ndword \"B\" = 2\n"
        "key \"K\" {\n  # note {\n  dword \"C\" = 3\n}\nend\n");
    ASSERT_EQ(SetDword("", "new", 4), Result::Ok);
    EXPECT_FALSE(std::filesystem::exists(file_.string() + ".damaged"));
    for (const auto& [key, name] : {std::pair("", "A"), {"", "B"}, {"K", "C"}, {"", "new"}})
        EXPECT_EQ(Get(key, name).first, 4u) << name;
    EXPECT_EQ(Get("Old", "X").first, 0u);
    EXPECT_NE(FileText().find("\"K\" dword \"C\" = 3 ["), std::string::npos) << FileText();
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

// Every line of a store, damaged in each way in turn: the other lines' entries still read, and
// still do after the next write has replaced the file, which is kept aside byte for byte.
TEST_F(Registry, OneDamagedLineCostsOnlyItsOwnEntry) {
    const std::string program = "SOFTWARE\\Quorvel\\Tonalith";
    const std::pair<std::string, std::string> entries[] = {{"", "top"}, {program, "AmpRuler.Mode"},
        {program, "LastFolder"}, {program, "RecentFile1"}, {"SOFTWARE\\Other Maker\\Tool", "Path"},
        {"SOFTWARE\\Other Maker", "Mode"}};
    for (const auto& [key, name] : entries) ASSERT_EQ(Set(key, name, reg::kTypeString, name + '\0'), Result::Ok);
    Key empty;
    ASSERT_EQ(Key::Create(Root::CurrentUser, "SOFTWARE\\Empty", empty), Result::Ok);
    const std::string text = FileText();

    for (const TestSupport::LineDamage& damage : TestSupport::LineDamages()) {
        const bool itsOwn = std::string(damage.name) != "junk line before it";
        for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
            const std::string line = text.substr(at, text.find('\n', at) - at), damaged = damage.apply(text, at);
            WriteFileText(damaged);
            for (int pass = 0; pass < 2; ++pass) {  // as read, then as rewritten
                for (const auto& [key, name] : entries) {
                    const bool owned = itsOwn && line.find('"' + name + "\" =") != std::string::npos;
                    EXPECT_EQ(Get(key, name).first, owned ? 0u : reg::kTypeString) << damage.name << " | " << line;
                }
                EXPECT_EQ(Key::Open(Root::CurrentUser, "SOFTWARE\\Empty", empty) == Result::Ok,
                    !itsOwn || line.find("Empty") == std::string::npos)
                    << damage.name << " | " << line;
                ASSERT_EQ(SetDword("New", "n", 1), Result::Ok);
            }
            std::ifstream kept(file_.string() + ".damaged", std::ios::binary);
            EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()), damaged);
            std::filesystem::remove(file_.string() + ".damaged");
        }
    }
}

// A store that keeps being damaged still takes its changes once every copy's name is taken:
// the newest damage replaces the copy kept longest ago, whatever times the files carry, and
// writes that fail after keeping a damage push out no further copy.
TEST_F(Registry, OnceEveryDamagedCopyIsTakenTheOldestIsReplaced) {
    ASSERT_EQ(SetDword("K", "v", 1), Result::Ok);
    const auto copyName = [&](int n) { return file_.string() + ".damaged" + (n == 1 ? "" : "." + std::to_string(n)); };
    const auto setModified = [](const std::string& file, time_t seconds) {
        const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    };
    std::vector<int> order = {37, 0};  // kept first; 64 claims the oldest modification time
    for (int n = 1; n <= 100; ++n)
        if (n != 37) order.push_back(n);
    for (const int n : order) {
        if (n == 0) {
            ::usleep(50000);  // the file system's clock moves on in steps
            continue;
        }
        std::ofstream(copyName(n), std::ios::binary) << "copy " << n;
        setModified(copyName(n), n == 64 ? 1 : 100 + n);
    }
    const auto expectCopies = [&](const std::map<int, std::string>& damaged) {
        for (int n = 1; n <= 100; ++n) {
            std::ifstream in(copyName(n), std::ios::binary);
            const std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const auto found = damaged.find(n);
            EXPECT_EQ(kept, found == damaged.end() ? "copy " + std::to_string(n) : found->second) << n;
        }
    };
    const auto damage = [&](const std::string& how) {
        const std::string damaged = FileText() + how + '\n';
        WriteFileText(damaged);
        setModified(file_.string(), 5);  // restored from an old backup
        return damaged;
    };

    const std::string first = damage("damage 1");
    static std::string s_temporary;
    s_temporary = file_.string() + ".tmp";
    reg::Testing::SetBeforeReplaceHook([] { ::unlink(s_temporary.c_str()); });
    for (int i = 0; i < 3; ++i) EXPECT_EQ(SetDword("K", "v", 2), Result::IoFailure);
    reg::Testing::SetBeforeReplaceHook(nullptr);
    ASSERT_EQ(SetDword("K", "v", 2), Result::Ok);
    EXPECT_EQ(Get("K", "v").second, std::string("\2\0\0\0", 4));
    expectCopies({{37, first}});

    const std::string second = damage("damage 2");
    ASSERT_EQ(SetDword("K", "v", 3), Result::Ok);
    EXPECT_EQ(Get("K", "v").second, std::string("\3\0\0\0", 4));
    expectCopies({{37, first}, {1, second}});
    EXPECT_FALSE(std::filesystem::exists(copyName(101)));
    EXPECT_FALSE(std::filesystem::exists(file_.string() + ".damaged.tmp"));
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
