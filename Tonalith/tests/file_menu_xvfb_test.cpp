// The File menu on a real window: a menu the user holds open through the end of a load stays
// open, lists the new file and runs what is chosen from it; the recent files never list one
// file twice, and the store holds exactly the list the menu shows.
#include "app_fixture.h"

#include <QvBase/Util/Path.h>

#include <Platform/Gui/Gtk/GtkWindowSystem.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TestSupport::RunCommand;
using TestSupport::WaitFor;

class FileMenuXvfbTest : public app_test::AppTest {
protected:
    // The recent entries the File menu shows on the desktop (after Open, Close and a
    // separator, up to the separator before Quit). Only on the UI thread.
    std::vector<std::string> ShownRecent() const {
        const std::vector<std::string> shown = Platform::Gui::Testing::ShownMenuEntries(host->Handle(), 0);
        std::vector<std::string> recent;
        for (std::size_t i = 3; i + 2 < shown.size(); ++i) recent.push_back(shown[i]);
        return recent;
    }
    bool MenuOpen() const { return Platform::Gui::Testing::MenuOpen(host->Handle(), 0); }
    // Presses keys on the window as a user does; there is no window manager to give it the
    // keyboard, so the window is given the focus first.
    static void PressKeys(const std::string& keys) {
        RunCommand("xdotool mousemove 650 700 windowfocus " + std::to_string(TestSupport::FindWindow(kTitle)) +
            " sleep 0.3 key --delay 200 " + keys);
    }
    // For a tick's step after a load has begun: whether the read has ended and the load's last
    // steps, run on the tick that ended it, are done.
    bool LoadSettled(int& ticksAfterRead) const { return !window->IsReading() && ++ticksAfterRead > 2; }
    // Opens the File menu with Alt+F, asking again should the keys miss the window.
    static bool OpenFileMenu(const std::atomic<bool>& open) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            PressKeys("alt+f");
            if (WaitFor([&] { return open.load(); }, 3000ms)) return true;
            RunCommand("xdotool key Escape");
        }
        return false;
    }
};

// A menu held open through a load, with an entry highlighted, as the list of recent files
// grows or shrinks under it: it then fits its entries, unscrolled, as if opened afresh; the
// highlight stays on what it was on (the same file under its new number, not another of its
// name), or on nothing when that is gone, never on another command; and keys act at once.
// A file is named by a letter: "a" is a.wav in the case's folder, "A" the a.wav of its
// folder "other".
struct KeptMenuCase {
    const char* name;
    const char* stored;  // recent files, most recent first
    const char* deleted;  // gone once the menu lists them, so the load's rebuild drops them
    char loaded;
    const char* highlighted;  // reached with Down from the first entry
    // Null: nothing reads the menu from the load on until the keys have acted, so only the
    // window system's own step can have put the new entries in place.
    const char* highlightedAfter;
    const char* keys;
    char effect;  // '-': the file is closed; 'q': the program quits; a letter: that file is read
};

void PrintTo(const KeptMenuCase& c, std::ostream* out) { *out << c.name; }

class KeptFileMenuXvfbTest : public FileMenuXvfbTest, public testing::WithParamInterface<KeptMenuCase> {};

TEST_P(KeptFileMenuXvfbTest, FitsItsEntriesKeepsTheHighlightAndTakesKeysAtOnce) {
    using Platform::Gui::Testing::MenuLayout;
    const KeptMenuCase& c = GetParam();
    // Each file has a length of its own, so the frames tell which one was read.
    std::filesystem::create_directory(m_folder / "other");
    const auto nameOf = [](char letter) {
        return (std::isupper(letter) ? "other/" : "") + std::string(1, char(std::tolower(letter))) + ".wav";
    };
    const auto fileOf = [&](char letter) { return (m_folder / nameOf(letter)).string(); };
    const auto framesOf = [](char letter) {
        return std::uint32_t(800 * (std::tolower(letter) - 'a' + 1) + (std::isupper(letter) ? 400 : 0));
    };
    for (const char letter : std::string(c.stored) + c.loaded)
        if (letter != ' ' && !std::filesystem::exists(fileOf(letter)))
            Sox(nameOf(letter), "-r 8000 -c 1 -b 16", std::to_string(framesOf(letter) / 8000.0) + " sine 300");
    Settings settings(editor_test::kKeyPath);
    unsigned n = 0;
    for (const char* letter = c.stored; *letter; ++letter)
        if (*letter != ' ') settings.SetString(String("RecentFile%1").Arg(++n), fileOf(*letter).c_str());
    window->buildFileMenu();
    for (const char* letter = c.deleted; *letter; ++letter)
        if (*letter != ' ') std::filesystem::remove(fileOf(*letter));

    enum Phase { Idle, Reading, Checked, Acted };
    std::atomic<int> phase{Idle}, highlighted{-1};
    std::atomic<bool> open{false};
    std::optional<MenuLayout> fresh, kept;
    std::string highlightedAfter;
    int ticksAfterRead = 0;
    const auto highlightedText = [&](const MenuLayout& layout) {
        const std::vector<std::string> shown = Platform::Gui::Testing::ShownMenuEntries(host->Handle(), 0);
        return layout.highlighted >= 0 ? shown.at(std::size_t(layout.highlighted)) : std::string("(none)");
    };
    const auto step = [&](const std::optional<MenuLayout>& layout) {
        switch (phase) {
        case Idle:
            if (!layout || highlightedText(*layout) != c.highlighted) return;
            fresh = layout;
            EXPECT_FALSE(window->loadAudioFile(Path(String(fileOf(c.loaded)))).has_value());
            phase = Reading;
            break;
        case Reading:
            if (!LoadSettled(ticksAfterRead)) return;
            kept = layout;
            if (layout) highlightedAfter = highlightedText(*layout);
            phase = Checked;
            break;
        case Checked:
            if (!window->IsReading() && window->Audio().frames == (c.effect == '-' ? 0 : framesOf(c.effect)))
                phase = Acted;
            break;
        default: break;
        }
    };
    quitter->onTick = [&] {
        if (!c.highlightedAfter && phase >= Reading && phase < Acted) return step(std::nullopt);
        const std::optional<MenuLayout> layout = Platform::Gui::Testing::ShownMenuLayout(host->Handle(), 0);
        open = layout.has_value();
        step(layout);
        // Published once the tick has acted on it, so the script never presses Down once too often.
        highlighted = layout ? layout->highlighted : -1;
    };
    std::thread script([&] {
        TestSupport::WaitForWindow(kTitle);
        if (OpenFileMenu(open)) {
            for (int down = 0; down < 8 && phase.load() == Idle; ++down) {
                const int before = highlighted;
                RunCommand("xdotool key Down");
                WaitFor([&] { return highlighted.load() != before || phase.load() > Idle; }, 3000ms);
            }
            if (WaitFor([&] { return phase.load() >= Checked; }, 10000ms)) {
                RunCommand(std::string("xdotool key ") + c.keys);
                WaitFor([&] { return phase.load() == Acted; }, 5000ms);
            }
            if (open && phase.load() != Acted) RunCommand("xdotool key Escape");
        }
        quitter->quit = true;
    });
    EXPECT_EQ(app->Run(), 0);
    // Only the program's own Quit ends the loop before the script asks it to.
    if (c.effect == 'q' && !quitter->quit) phase = Acted;
    script.join();

    ASSERT_TRUE(fresh.has_value());
    if (c.highlightedAfter) {
        ASSERT_TRUE(kept.has_value()) << "the menu closed";
        EXPECT_NE(kept->neededHeight, fresh->neededHeight);
        EXPECT_EQ(kept->height, kept->neededHeight);
        EXPECT_EQ(kept->firstEntryTop, fresh->firstEntryTop);
        EXPECT_EQ(kept->scrolledBy, 0);
        EXPECT_EQ(highlightedAfter, c.highlightedAfter);
    }
    EXPECT_EQ(phase.load(), Acted) << c.keys << " did not do what it should";
}

// "h" is the long file the load reads ("c" a short one); "Return c": Return on no entry does
// nothing, so the menu is still open for the mnemonic of Close.
INSTANTIATE_TEST_SUITE_P(GrowingAndShrinking, KeptFileMenuXvfbTest,
    testing::Values(KeptMenuCase{"GrowsReturn", "a b", "", 'c', "Close", "Close", "Return", '-'},
        KeptMenuCase{"GrowsQuit", "a b", "", 'c', "Quit", "Quit", "Return", 'q'},
        KeptMenuCase{"GrowsFileReturn", "a b", "", 'h', "2 b.wav", "3 b.wav", "Return", 'b'},
        KeptMenuCase{"GrowsDigitUnread", "a b", "", 'c', "2 b.wav", nullptr, "3", 'b'},
        KeptMenuCase{"ShrinksFileReturn", "a x y z h", "x y", 'h', "4 z.wav", "3 z.wav", "Return", 'z'},
        KeptMenuCase{"ShrinksGoneReturnMnemonic", "a b c", "b c", 'a', "3 c.wav", "(none)", "Return c", '-'},
        KeptMenuCase{"GrowsTwoOfOneNameFileReturn", "A a", "", 'c', "2 a.wav", "3 a.wav", "Return", 'a'}),
    [](const testing::TestParamInfo<KeptMenuCase>& param) { return std::string(param.param.name); });

TEST_F(FileMenuXvfbTest, AMenuHeldOpenWhileAFileIsReadStaysOpenListsItAndRunsItsEntries) {
    const std::string file = Sox("ten.wav", "-r 44100 -c 2 -b 16", "10 sine 440 vol 0.5");
    enum Phase { Idle, Reading, Checked, Closed, Reopened, Chosen };
    std::atomic<int> phase{Idle};
    std::atomic<bool> open{false};
    bool readingWhileOpen = false, openAfterRead = false;
    std::vector<std::string> recentAfterRead, recentReopened;
    int ticksAfterRead = 0;
    quitter->onTick = [&] {
        open = MenuOpen();
        switch (phase) {
        case Idle:
            if (!open) return;
            EXPECT_FALSE(window->loadAudioFile(Path(String(file))).has_value());
            readingWhileOpen = window->IsReading();
            phase = Reading;
            break;
        case Reading:
            if (!LoadSettled(ticksAfterRead)) return;
            openAfterRead = open;
            recentAfterRead = ShownRecent();
            phase = Checked;
            break;
        case Checked:
            if (!open) phase = Closed;
            break;
        case Closed:
            if (open) {
                recentReopened = ShownRecent();
                phase = Reopened;
            }
            break;
        default: break;
        }
    };
    std::thread script([&] {
        TestSupport::WaitForWindow(kTitle);
        if (OpenFileMenu(open) && WaitFor([&] { return phase.load() >= Checked; }, 60000ms)) {
            RunCommand("xdotool key Escape");
            if (WaitFor([&] { return phase.load() >= Closed; }, 3000ms) && OpenFileMenu(open) &&
                WaitFor([&] { return phase.load() == Reopened; }, 3000ms)) {
                // "&Close", chosen from the menu kept through the load.
                RunCommand("xdotool key c");
                if (WaitFor([&] { return window->Audio().frames == 0; }, 5000ms)) phase = Chosen;
            }
        }
        quitter->quit = true;
    });
    EXPECT_EQ(app->Run(), 0);
    script.join();

    EXPECT_TRUE(readingWhileOpen);
    EXPECT_TRUE(openAfterRead);
    EXPECT_EQ(recentAfterRead, std::vector<std::string>{"1 ten.wav"});
    EXPECT_EQ(recentReopened, std::vector<std::string>{"1 ten.wav"});
    EXPECT_EQ(phase.load(), Chosen);
}

// Each case: files listed in the store before, key by key from RecentFile1 (a stale store
// may list one twice; "_" leaves a key out and "''" stores an empty value, as a hand edit or
// a damaged line does), then steps: a name opens that file through the program, "-x"
// deletes file x; then the list after the last step, most recent first. A name is the
// file's path in the case's folder without ".wav": "./a" and "/a" spell a.wav otherwise,
// "x\a" is a file of its own beside the folder x holding a.wav.
TEST_F(FileMenuXvfbTest, RecentFilesNeverListAFileTwiceAndTheStoreHoldsWhatTheMenuShows) {
    const struct {
        const char* stored;
        const char* steps;
        const char* expected;
    } cases[] = {
        {"", "a b c -b c", "c a"},
        {"", "a b c -b c a", "a c"},
        {"", "a b -a -b c", "c"},
        {"", "a b c d e f g h i -c -e i", "i h g f d b"},
        {"", "a b c d e f g h i j -j -h -f -d b", "b i g e c"},
        {"c a a", "", "c a"},
        {"c a a", "a", "a c"},
        {"a b a b", "-a c", "c b"},
        // Nothing behind a gap is lost, and the next open writes the list without one.
        {"a _ c", "", "a c"},
        {"a _ c", "b", "b a c"},
        {"a '' c _ e", "-c f", "f a e"},
        {"_ _ _ _ _ _ _ h", "", "h"},
        {"a _ b c d e f g", "h i", "i h a b c d e f"},
        // Two spellings of one file are one entry.
        {"./a a", "", "a"},
        {"a /a b", "b", "b a"},
        {".//./a _ b", "a", "a b"},
        {"b", "./b /b", "b"},
        // A "\" is part of a name: such a file opens, and is not the file it would name
        // were it a separator.
        {"", "x\\a a", "a x\\a"},
        {"x\\a b", "c", "c x\\a b"},
        // Keys past the eighth, as a hand edit leaves them, are never read and go at the next open.
        {"a b c d e f g h i j c d", "", "a b c d e f g h"},
        {"a b c d e f g h i j c d", "a", "a b c d e f g h"},
        {"a b _ _ _ _ _ _ _ _ _ c", "b", "b a"},
    };
    const std::string tone = Sox("tone.wav", "-r 8000 -c 1 -b 16", "0.2 sine 300");
    constexpr unsigned kKeys = 12;  // stored at the most
    int number = 0;
    for (const auto& c : cases) {
        const std::filesystem::path folder = m_folder / ("case" + std::to_string(number++));
        std::filesystem::create_directories(folder / "x");
        const auto fileOf = [&](const std::string& name) { return folder.string() + "/" + name + ".wav"; };
        for (char letter = 'a'; letter <= 'j'; ++letter) std::filesystem::copy_file(tone, fileOf({letter}));
        std::filesystem::copy_file(tone, fileOf("x\\a"));
        std::filesystem::copy_file(tone, fileOf("x/a"));
        Settings settings(editor_test::kKeyPath);
        for (unsigned n = 1; n <= kKeys; ++n) settings.Remove(String("RecentFile%1").Arg(n));
        std::istringstream stored(c.stored);
        unsigned n = 0;
        for (std::string name; stored >> name;) {
            const String key = String("RecentFile%1").Arg(++n);
            if (name != "_") settings.SetString(key, name == "''" ? "" : fileOf(name).c_str());
        }
        window->buildFileMenu();

        // Every key's file by name, "_" where a key holds none (a trailing run left out);
        // what the menu lists, by name.
        const auto storedNames = [&] {
            std::vector<std::string> names;
            for (unsigned key = 1; key <= kKeys; ++key) {
                const String value = settings.GetString(String("RecentFile%1").Arg(key), String());
                names.push_back(value.IsEmpty() ? "_" : std::filesystem::path(value.CStr()).stem().string());
            }
            while (!names.empty() && names.back() == "_") names.pop_back();
            return names;
        };
        const auto shownNames = [&] {
            std::vector<std::string> names;
            for (const std::string& entry : ShownRecent()) {
                const std::size_t start = entry.find(' ') + 1;
                names.push_back(entry.substr(start, entry.rfind(".wav") - start));
            }
            return names;
        };
        std::istringstream steps(c.steps);
        for (std::string step; steps >> step;) {
            if (step[0] == '-') {
                std::filesystem::remove(fileOf(step.substr(1)));
                continue;
            }
            ASSERT_FALSE(Load(fileOf(step)).has_value()) << c.steps << ": " << step;
            const std::vector<std::string> now = storedNames();
            EXPECT_EQ(std::set<std::string>(now.begin(), now.end()).size(), now.size()) << c.steps << ": " << step;
            EXPECT_EQ(now, shownNames()) << c.steps << ": " << step;
            const String lastFolder = settings.GetString("LastFolder", String());
            std::error_code error;
            EXPECT_TRUE(std::filesystem::equivalent(lastFolder.CStr(), folder, error)) << c.steps << ": " << step;
        }
        std::vector<std::string> expected;
        std::istringstream list(c.expected);
        for (std::string name; list >> name;) expected.push_back(name);
        EXPECT_EQ(shownNames(), expected) << c.stored << " / " << c.steps;
        // A stale store stays as it is until the next open writes the list.
        if (*c.steps) {
            EXPECT_EQ(storedNames(), expected) << c.steps;
        }
    }
}

}  // namespace
