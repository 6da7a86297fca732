#include <QvBase/Util/Settings.h>

#include <Platform/Registry/Registry.h>

#include <gtest/gtest.h>

#include <TestSupport/ConfigHome.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace reg = Platform::Registry;

const char* const kKeyPath = "SOFTWARE\\Quorvel\\Tonalith";

// Points the store at a fresh folder, so that no test touches the user's settings.
class SettingsTest : public ::testing::Test {
protected:
    std::filesystem::path StoreFile() const {
        return std::filesystem::path(m_home.Path()) / "Quorvel/HKEY_CURRENT_USER.reg";
    }

    TestSupport::TemporaryConfigHome m_home;
};

// Writes a value with the store's own interface, as another program could.
void PutRaw(const std::string& keyPath, const std::string& name, std::uint32_t type, const std::string& bytes) {
    reg::Key key;
    ASSERT_EQ(reg::Key::Create(reg::Root::CurrentUser, keyPath, key), reg::Result::Ok);
    ASSERT_EQ(key.SetValue(name, type, bytes.data(), static_cast<std::uint32_t>(bytes.size())), reg::Result::Ok);
}

// The type and bytes stored under a value, or type 0 when absent.
std::pair<std::uint32_t, std::string> GetRaw(const std::string& keyPath, const std::string& name) {
    reg::Key key;
    std::uint32_t type = 0, size = 0;
    if (reg::Key::Open(reg::Root::CurrentUser, keyPath, key) != reg::Result::Ok ||
        key.QueryValue(name, &type, nullptr, &size) != reg::Result::Ok) {
        return {0, ""};
    }
    std::string bytes(size, '\0');
    EXPECT_EQ(key.QueryValue(name, nullptr, bytes.data(), &size), reg::Result::Ok);
    return {type, bytes};
}

std::string Le32(std::uint32_t v) {
    return std::string{
        static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

}  // namespace

TEST(SettingsPaths, SubKeyAndValueNameOfAValuePath) {
    const struct {
        const char *path, *subKey, *name;
    } cases[] = {{"EditorView.Spectrogram.FFTSize", kKeyPath, "EditorView.Spectrogram.FFTSize"},
        {"Window/Geometry", "SOFTWARE\\Quorvel\\Tonalith\\Window", "Geometry"},
        {"a/b\\c", "SOFTWARE\\Quorvel\\Tonalith\\a\\b", "c"}, {"a\\b/c", "SOFTWARE\\Quorvel\\Tonalith\\a\\b", "c"},
        {"/x", "SOFTWARE\\Quorvel\\Tonalith\\", "x"}, {"Sub/", "SOFTWARE\\Quorvel\\Tonalith\\Sub", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(Settings::SplitValuePath(kKeyPath, c.path), c.subKey) << c.path;
        EXPECT_EQ(Settings::ValueNameOf(c.path), c.name) << c.path;
    }
    EXPECT_EQ(Settings::SplitValuePath("SOFTWARE\\Quorvel\\", "a/b"), "SOFTWARE\\Quorvel\\a");
    EXPECT_EQ(Settings::SplitValuePath("SOFTWARE/Quorvel", "a/b"), "SOFTWARE\\Quorvel\\a");
    EXPECT_EQ(Settings("SOFTWARE/Quorvel/Tonalith").KeyPath(), kKeyPath);
}

TEST_F(SettingsTest, TypedWritesStoreTheirEncodings) {
    Settings settings("SOFTWARE/Quorvel/Tonalith");
    using V = std::pair<std::uint32_t, std::string>;
    EXPECT_TRUE(settings.SetString("LastFolder", "/home/me/Music"));
    EXPECT_EQ(GetRaw(kKeyPath, "LastFolder"), V(1, std::string("/home/me/Music\0", 15)));
    EXPECT_TRUE(settings.SetString("Empty", ""));
    EXPECT_EQ(GetRaw(kKeyPath, "Empty"), V(1, std::string(1, '\0')));
    EXPECT_TRUE(settings.SetBool("On", true));
    EXPECT_EQ(GetRaw(kKeyPath, "On"), V(4, Le32(1)));
    EXPECT_TRUE(settings.SetBool("Off", false));
    EXPECT_EQ(GetRaw(kKeyPath, "Off"), V(4, Le32(0)));
    EXPECT_TRUE(settings.SetInt("Negative", -2));
    EXPECT_EQ(GetRaw(kKeyPath, "Negative"), V(4, Le32(0xFFFFFFFEu)));
    settings.SetFloat("Opacity", 1.5f);
    EXPECT_EQ(GetRaw(kKeyPath, "Opacity"), V(3, std::string("\0\0\xC0\x3F", 4)));
}

TEST_F(SettingsTest, TypedReadsAcceptOnlyTheirEncodings) {
    const Settings settings(kKeyPath);
    // Absent: the defaults.
    EXPECT_EQ(settings.GetString("Missing", "dflt"), "dflt");
    EXPECT_EQ(settings.GetInt("Missing", 17), 17);
    EXPECT_TRUE(settings.GetBool("Missing", true));
    EXPECT_EQ(settings.GetFloat("Missing", 2.5f), 2.5f);

    PutRaw(kKeyPath, "Seven", 4, Le32(7));
    EXPECT_TRUE(settings.GetBool("Seven", false));
    EXPECT_EQ(settings.GetInt("Seven", 0), 7);
    EXPECT_EQ(settings.GetFloat("Seven", -1.0f), -1.0f);  // a float stored as a dword
    EXPECT_EQ(settings.GetString("Seven", "d"), "d");
    PutRaw(kKeyPath, "Zero", 4, Le32(0));
    EXPECT_FALSE(settings.GetBool("Zero", true));
    PutRaw(kKeyPath, "IntAsBinary", 3, Le32(5));
    EXPECT_EQ(settings.GetInt("IntAsBinary", -3), -3);  // an integer stored as binary
    PutRaw(kKeyPath, "ShortDword", 4, "ab");
    EXPECT_EQ(settings.GetInt("ShortDword", -4), -4);
    PutRaw(kKeyPath, "LongDword", 4, "abcdefgh");
    EXPECT_FALSE(settings.GetBool("LongDword", false));
    PutRaw(kKeyPath, "Expand", 2, std::string("text\0", 5));  // another string type counts as absent
    EXPECT_EQ(settings.GetString("Expand", "d"), "d");
    PutRaw(kKeyPath, "Qword", 11, std::string(8, '\1'));
    EXPECT_EQ(settings.GetInt("Qword", 9), 9);

    PutRaw(kKeyPath, "EmptySz", 1, "");
    EXPECT_EQ(settings.GetString("EmptySz", "d"), "");  // present, and empty
    PutRaw(kKeyPath, "NoNul", 1, "abcde");
    EXPECT_EQ(settings.GetString("NoNul", "d"), "abcd");  // the last byte gives way to the NUL
    PutRaw(kKeyPath, "InnerNul", 1, std::string("ab\0cd\0", 6));
    EXPECT_EQ(settings.GetString("InnerNul", "d"), "ab");

    float expected = 0.0f;
    std::memcpy(&expected, "\x01\x02\x03\x3F", 4);
    PutRaw(kKeyPath, "Long", 3, std::string("\x01\x02\x03\x3F\xFF\xFF\xFF\xFF", 8));
    EXPECT_EQ(settings.GetFloat("Long", 0.0f), expected);  // its first 4 bytes
    PutRaw(kKeyPath, "Two", 3, std::string("\x00\x00", 2));
    EXPECT_EQ(settings.GetFloat("Two", 9.0f), 0.0f);  // 2 bytes, then zeros
    PutRaw(kKeyPath, "TwoHigh", 3, std::string("\x80\x3F", 2));
    std::memcpy(&expected, "\x80\x3F\x00\x00", 4);
    EXPECT_EQ(settings.GetFloat("TwoHigh", 9.0f), expected);
    PutRaw(kKeyPath, "None", 3, "");
    EXPECT_EQ(settings.GetFloat("None", 9.0f), 0.0f);

    std::vector<std::uint8_t> bytes{1, 2, 3};
    EXPECT_TRUE(Settings::ReadBinary(reg::Root::CurrentUser, kKeyPath, "None", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST_F(SettingsTest, TypedValuesRoundTrip) {
    Settings settings(kKeyPath);
    EXPECT_TRUE(settings.SetString("Text", "caf\xC3\xA9 \"quoted\" \\ 100%"));
    EXPECT_EQ(settings.GetString("Text", ""), "caf\xC3\xA9 \"quoted\" \\ 100%");
    EXPECT_TRUE(settings.SetInt("Min", INT32_MIN));
    EXPECT_EQ(settings.GetInt("Min", 0), INT32_MIN);
    for (const float value : {0.0f, -0.0f, 1e-45f, 3.4028235e38f, -123.456f, INFINITY}) {
        settings.SetFloat("F", value);
        const float read = settings.GetFloat("F", 42.0f);
        EXPECT_EQ(std::memcmp(&read, &value, 4), 0) << value;
    }
    settings.SetFloat("NaN", NAN);
    EXPECT_TRUE(std::isnan(settings.GetFloat("NaN", 0.0f)));
    EXPECT_TRUE(settings.SetBool("B", true));
    EXPECT_TRUE(settings.GetBool("B", false));
}

TEST_F(SettingsTest, SubKeysAreCreatedAndAddressedByValuePaths) {
    Settings settings(kKeyPath);
    EXPECT_TRUE(settings.SetString("Window/Geometry", "[(1,2)-(3,4) 2x2]"));
    EXPECT_EQ(GetRaw("SOFTWARE\\Quorvel\\Tonalith\\Window", "Geometry").first, 1u);
    EXPECT_EQ(GetRaw(kKeyPath, "Window/Geometry").first, 0u);  // not a value of the key itself
    EXPECT_TRUE(settings.SetInt("a/b\\c", 5));
    EXPECT_EQ(settings.GetInt("a\\b/c", 0), 5);
    EXPECT_EQ(settings.GetInt("A/B/C", 0), 5);  // names compare without case
    EXPECT_TRUE(settings.SetString("Sub/", "default"));
    EXPECT_EQ(GetRaw("SOFTWARE\\Quorvel\\Tonalith\\Sub", ""), std::make_pair(1u, std::string("default\0", 8)));
    EXPECT_TRUE(settings.SetInt("/x", 3));
    EXPECT_EQ(GetRaw(kKeyPath, "x").first, 4u);
    EXPECT_TRUE(settings.SetInt("EditorView.Spectrogram.FFTSize", 10));
    EXPECT_EQ(GetRaw(kKeyPath, "EditorView.Spectrogram.FFTSize").first, 4u);
    EXPECT_EQ(GetRaw("SOFTWARE\\Quorvel\\Tonalith\\EditorView", "Spectrogram.FFTSize").first, 0u);
}

TEST_F(SettingsTest, AValueWrittenByOneProcessIsReadByAnother) {
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        Settings settings(kKeyPath);
        const bool ok = settings.SetInt("FromChild", 1234) && settings.SetString("Text", "child");
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    Settings settings(kKeyPath);
    EXPECT_EQ(settings.GetInt("FromChild", 0), 1234);
    EXPECT_EQ(settings.GetString("Text", ""), "child");

    settings.SetFloat("FromParent", 0.75f);
    const pid_t reader = ::fork();
    ASSERT_GE(reader, 0);
    if (reader == 0) {
        ::_exit(Settings(kKeyPath).GetFloat("FromParent", 0.0f) == 0.75f ? 0 : 1);
    }
    ASSERT_EQ(::waitpid(reader, &status, 0), reader);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Damage a user's store can suffer. Every setting whose line the damage left whole
// reads back, and still does after the next write of another setting; the damaged file
// is kept beside the new one. (Settings under a damaged key line are lost with it; the
// key lines here come first, so the damage below never reaches them.)
TEST_F(SettingsTest, ADamagedStoreKeepsEveryIntactSettingThroughTheNextWrite) {
    Settings settings(kKeyPath);
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(settings.SetString(String("Entry%1").Arg(i), String("%1").Arg(i * 7)));
    ASSERT_TRUE(settings.SetInt("Mode", 3));
    std::ifstream in(StoreFile(), std::ios::binary);
    const std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const std::size_t firstValue = good.find("string \"Entry");
    ASSERT_NE(firstValue, std::string::npos);

    std::string junk;
    for (int i = 0; i < 300; ++i) junk += static_cast<char>((i * 131 + 17) & 0xFF);
    struct Damage {
        std::size_t from, to;  // the bytes changed (to: end of the file for truncation)
        std::string text;
    };
    std::vector<Damage> damages;
    for (const double share : {0.5, 0.9, 0.99}) {
        const auto cut = static_cast<std::size_t>(good.size() * share);
        damages.push_back({cut, good.size(), good.substr(0, cut)});
    }
    for (const std::size_t at : {firstValue + 3, good.size() / 2, good.size() - 30}) {
        std::string text = good;
        for (std::size_t i = 0; i < 20; ++i) text[at + i] = junk[i * 7];
        damages.push_back({at, at + 20, text});
    }
    damages.push_back({good.size(), good.size(), good + junk});

    for (const Damage& damage : damages) {
        std::filesystem::remove(std::filesystem::path(StoreFile()).concat(".damaged"));
        std::ofstream(StoreFile(), std::ios::binary | std::ios::trunc) << damage.text;
        ASSERT_TRUE(settings.SetBool("Fresh", true));
        EXPECT_TRUE(settings.GetBool("Fresh", false));
        for (int i = 0; i < 40; ++i) {
            const std::string name = "Entry" + std::to_string(i);
            const std::size_t line = good.find("\"" + name + "\"");
            const std::size_t lineStart = good.rfind('\n', line) + 1, lineEnd = good.find('\n', line) + 1;
            if (lineEnd <= damage.from || lineStart >= damage.to) {
                EXPECT_EQ(settings.GetString(String(name), "lost"), String("%1").Arg(i * 7))
                    << name << " at " << damage.from;
            }
        }
        std::ifstream kept(std::filesystem::path(StoreFile()).concat(".damaged"), std::ios::binary);
        EXPECT_EQ(std::string((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>()), damage.text);
    }

    // A second damaged copy does not replace the first.
    std::ofstream(StoreFile(), std::ios::binary | std::ios::trunc) << good.substr(0, good.size() / 2);
    ASSERT_TRUE(settings.SetInt("Mode", 4));
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(StoreFile()).concat(".damaged.2")));
}

// A store the user made read-only is not replaced: the write fails and the file stays.
TEST_F(SettingsTest, AReadOnlyStoreIsNotReplaced) {
    Settings settings(kKeyPath);
    ASSERT_TRUE(settings.SetInt("Mode", 2));
    std::filesystem::permissions(StoreFile(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_FALSE(settings.SetInt("Mode", 3));
    EXPECT_EQ(settings.GetInt("Mode", -1), 2);
    std::filesystem::permissions(StoreFile(), std::filesystem::perms::owner_all);
    EXPECT_TRUE(settings.SetInt("Mode", 3));
}

TEST_F(SettingsTest, AnInterruptedWriteLeavesTheOldValues) {
    Settings settings(kKeyPath);
    ASSERT_TRUE(settings.SetInt("Mode", 1));
    ASSERT_TRUE(settings.SetString("Name", "old"));
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        reg::Testing::SetBeforeReplaceHook([] { ::_exit(42); });  // dies with the new file written, not renamed
        Settings(kKeyPath).SetInt("Mode", 2);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 42);
    EXPECT_EQ(settings.GetInt("Mode", -1), 1);
    EXPECT_EQ(settings.GetString("Name", ""), "old");
    EXPECT_TRUE(settings.SetInt("Mode", 3));  // and the store still takes writes
    EXPECT_EQ(settings.GetInt("Mode", -1), 3);
    EXPECT_EQ(settings.GetString("Name", ""), "old");
}
