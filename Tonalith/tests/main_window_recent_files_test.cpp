#include "editor_fixture.h"

#include <Tonalith/App/RecentFiles.h>

#include <string>
#include <vector>

namespace {

using namespace UI;
using editor_test::kKeyPath;

class RecentFilesTest : public editor_test::TempStoreTest {
protected:
    std::vector<std::string> Load() const {
        std::vector<std::string> out;
        for (const String& s : LoadRecentFiles(Settings(kKeyPath))) out.emplace_back(s.CStr());
        return out;
    }
};

TEST_F(RecentFilesTest, MostRecentFirstAtMostEightAndNoDuplicates) {
    std::vector<std::string> files;
    for (int i = 0; i < 10; ++i) files.push_back(WriteFile("f" + std::to_string(i) + ".wav", "x"));
    Settings settings(kKeyPath);
    for (int i = 0; i < 8; ++i) AddRecentFile(settings, Path(String(files[i])));
    std::vector<std::string> expected(files.rbegin() + 2, files.rend());
    EXPECT_EQ(Load(), expected);

    // A ninth file drops the oldest.
    AddRecentFile(settings, Path(String(files[8])));
    EXPECT_EQ(Load().size(), 8u);
    EXPECT_EQ(Load().front(), files[8]);
    EXPECT_EQ(Load().back(), files[1]);

    // A file already listed moves to the front, even when named with doubled separators.
    const std::string doubled = m_folder.string() + "//f4.wav";
    AddRecentFile(settings, Path(String(doubled)));
    const auto list = Load();
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list.front(), files[4]);
    EXPECT_EQ(std::count(list.begin(), list.end(), files[4]), 1);
}

TEST_F(RecentFilesTest, EmptyValuesAndMissingFilesAreSkipped) {
    const std::string a = WriteFile("a.wav", "x"), c = WriteFile("c.wav", "x");
    {
        Settings settings(kKeyPath);
        settings.SetString("RecentFile1", String(a));
        settings.SetString("RecentFile2", String((m_folder / "gone.wav").string()));
        settings.SetString("RecentFile3", String(c));
    }
    EXPECT_EQ(Load(), (std::vector<std::string>{a, c}));

    Settings(kKeyPath).SetString("RecentFile2", "");
    EXPECT_EQ(Load(), (std::vector<std::string>{a, c}));
}

TEST_F(RecentFilesTest, LastFolderIsTheFoldersNativeTextWithItsSeparator) {
    const std::string a = WriteFile("a.wav", "x");
    EXPECT_EQ(std::string(LastFolderOf(Path(String(a))).CStr()), m_folder.string() + "/");
}

}  // namespace
