// The main window's File road on a real window: the time ruler reads the file's own rate,
// closing leaves empty rulers, the recent-files menu shows names as they are and opens the
// entry chosen even after a listed file has gone, and check box labels show whole.
#include "app_fixture.h"

#include <Tonalith/App/EditorToolBar.h>
#include <Tonalith/App/EditorView.h>
#include <Tonalith/App/RecentFiles.h>
#include <Tonalith/Display/AmpRuler.h>
#include <Tonalith/Display/AudioCanvas.h>
#include <Tonalith/Display/FreqRuler.h>
#include <Tonalith/Display/Spectrogram.h>
#include <Tonalith/Display/TimeRuler.h>

#include <QvBase/UI/Drawing/DibSurface.h>
#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/Native/Menu.h>
#include <QvBase/UI/Native/MenuBar.h>
#include <QvBase/UI/Widgets/CheckBox.h>

#include <Platform/Gui/Gtk/GtkWindowSystem.h>

#include <TestSupport/ProcessCounters.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TestSupport::RunCommand;
using TestSupport::WaitFor;
using TestSupport::WaitForWindow;

class MainWindowXvfbTest : public app_test::AppTest {
protected:
    UI::RulerBase* Ruler(const char* name) const {
        UI::Window* displayFrame = window->GetView()->FindChild("EditorView Audio Display Frame");
        return displayFrame ? dynamic_cast<UI::RulerBase*>(displayFrame->FindChild(name)) : nullptr;
    }
    std::vector<UI::RulerBase*> Rulers() const {
        return {
            Ruler("EditorView Time Ruler"), Ruler("EditorView Amplitude Ruler"), Ruler("EditorView Frequency Ruler")};
    }
    std::vector<std::string> MenuLabels() const {
        std::vector<std::string> labels;
        for (const UI::MenuItem& item : host->GetMenuBar()->GetSubMenu(0)->Items()) labels.push_back(item.label.CStr());
        return labels;
    }
    // Whether a tone's row is bright on the screen in a column of the display area, which
    // lies between the tool bar's bottom (the menu bar's height comes from the desktop's
    // theme) and the time ruler, whose border is bright too.
    bool ToneOnScreen() {
        if (m_clientTop < 0) {
            const std::vector<std::uint32_t> column = TestSupport::Screenshot(650, 380, 1, 200);
            const auto toolBar = std::find(column.begin(), column.end(), 0x3D4558u);
            if (toolBar == column.end()) return false;
            m_clientTop = 380 + int(toolBar - column.begin());
        }
        const int top = m_clientTop + 105 + 5, bottom = 799 - 30;
        const std::vector<std::uint32_t> column = TestSupport::Screenshot(650, top, 1, bottom - top);
        return std::any_of(column.begin(), column.end(),
            [](std::uint32_t p) { return ((p >> 16 & 255) + (p >> 8 & 255) + (p & 255)) / 3 > 150; });
    }

private:
    int m_clientTop = -1;
};

// A child of the main window over all of it that counts the window's repaints and runs
// `tick` on the UI thread at every tick of the update timer.
class Watcher : public UI::Window {
public:
    Watcher(UI::MainWindow* main, std::function<void()> tick)
        : Window(main->GetFrame(), main, "Test Watcher"), m_tick(std::move(tick)) {
        SetGeometry(0, 0, main->Width(), main->Height());
        SetEnabled(false);
        GetFrame()->AddTimer(this, 0, false);
    }
    void Paint(UI::DrawContext&) override { ++paints; }
    void OnTimer(uint) override { m_tick(); }
    int paints = 0;

private:
    std::function<void()> m_tick;
};

// Pixels of exactly `colour` in a rectangle of what the window shows.
int CountPixels(const UI::DibSurface& surface, const UI::Rect& rect, std::uint32_t colour) {
    int n = 0;
    for (int y = std::max(0, rect.top); y <= std::min(surface.Height() - 1, rect.bottom); ++y)
        for (int x = std::max(0, rect.left); x <= std::min(surface.Width() - 1, rect.right); ++x)
            n += (surface.Pixels()[std::size_t(y) * surface.Stride() + x] & 0xFFFFFF) == colour;
    return n;
}

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(MainWindowXvfbTest, TheTimeRulerReadsTheFilesRateAndAClearedViewLeavesEmptyRulers) {
    UI::TimeRuler* time = dynamic_cast<UI::TimeRuler*>(Ruler("EditorView Time Ruler"));
    ASSERT_NE(time, nullptr);
    for (const int rate : {22050, 48000}) {
        const std::string file = Sox("ten.wav", "-r " + std::to_string(rate) + " -c 2 -b 16", "10 sine 440 vol 0.5");
        ASSERT_FALSE(Load(file).has_value());
        EXPECT_EQ(time->GetCanvas()->GetSamplingRate(), std::uint32_t(rate));
        ASSERT_FALSE(time->Labels().empty()) << rate;
        EXPECT_STREQ(time->Labels().front().text.CStr(), "0") << rate;
        EXPECT_STREQ(time->Labels().back().text.CStr(), "10") << rate;
        // 10 s falls on the ruler's right edge.
        EXPECT_EQ(time->Labels().back().position, time->Width()) << rate;
        // The amplitude ruler has no height while the waveform is off, as it starts.
        EXPECT_FALSE(Ruler("EditorView Frequency Ruler")->MajorTicks().empty());

        // A failed load closes the file first, as File > Close does.
        window->slotClose();
        EXPECT_EQ(time->GetCanvas()->GetSamplingRate(), 44100u) << rate;
        for (UI::RulerBase* ruler : Rulers()) {
            EXPECT_TRUE(ruler->Labels().empty()) << ruler->Name().CStr();
            EXPECT_TRUE(ruler->MajorTicks().empty()) << ruler->Name().CStr();
            EXPECT_TRUE(ruler->MinorTicks().empty()) << ruler->Name().CStr();
        }
    }
}

// Chosen through the File menu's keyboard mnemonics, as a user would. A file name shows
// as it is, "&" and "_" included; an entry that fails clears the picture as File > Open does.
TEST_F(MainWindowXvfbTest, ARecentEntryOpensItsOwnFileAndAGoneOneSaysSo) {
    std::vector<std::string> files;
    for (const char* name : {"c.wav", "my_file & co.wav", "a.wav"}) {
        files.push_back(Sox(name, "-r 8000 -c 1 -b 16", std::to_string(files.size() + 1) + " sine 300"));
        ASSERT_FALSE(Load(files.back()).has_value());
    }
    EXPECT_EQ(MenuLabels()[3], "&1 a.wav");
    EXPECT_EQ(MenuLabels()[4], "&2 my_file && co.wav");
    const std::vector<std::string> shown = Platform::Gui::Testing::ShownMenuEntries(host->Handle(), 0);
    ASSERT_EQ(shown.size(), MenuLabels().size());
    EXPECT_EQ(shown[0], "Open...");
    EXPECT_EQ(shown[4], "2 my_file & co.wav");
    std::filesystem::remove(files[2]);  // a.wav, still listed first

    bool goneSaid = false, toneShown = false, pictureCleared = false;
    std::uint32_t framesOpened = 0;
    const auto toneOnScreen = [&] { return ToneOnScreen(); };
    std::thread script([&] {
        WaitForWindow(kTitle);
        // There is no window manager to give the window the keyboard; a menu that missed
        // the keys is closed and asked again.
        const auto choose = [](const char* entry, auto done) {
            for (int attempt = 0; attempt < 3; ++attempt) {
                RunCommand("xdotool mousemove 650 700 windowfocus " + std::to_string(TestSupport::FindWindow(kTitle)) +
                    " sleep 0.3 key --delay 200 alt+f " + entry);
                if (WaitFor(done, 3000ms)) return true;
                RunCommand("xdotool key Escape");
            }
            return false;
        };
        choose("2", [&] { return window->Audio().frames != 0; });
        framesOpened = window->Audio().frames;
        toneShown = WaitFor(toneOnScreen, 10000ms);
        // Now listed second, c.wav goes too; choosing it tells so.
        std::filesystem::remove(files[0]);
        goneSaid = choose("2", [] { return TestSupport::FindWindow("Can't open file") != 0; });
        std::this_thread::sleep_for(200ms);
        RunCommand("xdotool windowfocus " + std::to_string(TestSupport::FindWindow("Can't open file")) + " key Return");
        WaitFor([] { return TestSupport::FindWindow("Can't open file") == 0; }, 5000ms);
        pictureCleared = WaitFor([&] { return !toneOnScreen(); }, 5000ms);
        quitter->quit = true;
    });
    window->slotClose();
    EXPECT_EQ(app->Run(), 0);
    script.join();

    EXPECT_EQ(framesOpened, 16000u);  // my_file & co.wav: 2 s at 8000 Hz
    EXPECT_TRUE(toneShown);
    EXPECT_TRUE(goneSaid);
    EXPECT_TRUE(pictureCleared);
    EXPECT_EQ(window->Audio().frames, 0u);
    EXPECT_EQ(MenuLabels()[3], "&1 my_file && co.wav");
    EXPECT_EQ(MenuLabels()[4], "");  // the separator before Quit: nothing else is listed
}

// A check box label taller than its 10-pixel box is drawn whole: the descenders of
// "interpolation" show on screen below the box, and the box stays where the layout put it.
TEST_F(MainWindowXvfbTest, CheckBoxLabelsKeepTheirDescenders) {
    UI::Window* box = window->GetView()->GetToolBar()->FindChild("Bi-linear CheckBox");
    ASSERT_NE(box, nullptr);
    const UI::Rect boxRect = box->FrameRect();
    const UI::Rect labelRect = dynamic_cast<UI::CheckBox*>(box)->GetLabel()->FrameRect();
    EXPECT_EQ(boxRect.left, 12);
    EXPECT_EQ(boxRect.top, 82);
    EXPECT_EQ(boxRect.bottom, 91);
    ASSERT_GT(labelRect.bottom, boxRect.bottom);
    std::vector<std::uint32_t> below;
    int clientTop = -1;
    std::thread script([&] {
        WaitFor([&] {
            const std::vector<std::uint32_t> column = TestSupport::Screenshot(650, 380, 1, 200);
            for (std::size_t i = 0; i < column.size() && clientTop < 0; ++i)
                if (column[i] == 0x3D4558) clientTop = 380 + int(i);
            return clientTop >= 0;
        });
        std::this_thread::sleep_for(500ms);
        below = TestSupport::Screenshot(
            300 + labelRect.left, clientTop + boxRect.bottom + 1, labelRect.Width(), labelRect.bottom - boxRect.bottom);
        quitter->quit = true;
    });
    EXPECT_EQ(app->Run(), 0);
    script.join();
    ASSERT_GE(clientTop, 0) << "the tool bar never showed";
    ASSERT_FALSE(below.empty());
    EXPECT_NE(std::count_if(below.begin(), below.end(), [](std::uint32_t p) { return p != 0x3D4558; }), 0);
}

}  // namespace

namespace {

// Twenty minutes of stereo: a read that takes a good many ticks of the update timer.
constexpr const char* kLongFormat = "-r 44100 -c 2 -b 16";
constexpr const char* kLongSynth = "1200 sine 4000 vol 0.5";

// While the file is read, every repaint shows the tool bar and the display's reading text,
// under the wait cursor; the picture follows, under the arrow.
TEST_F(MainWindowXvfbTest, WhileALongFileIsReadTheWindowPaintsAndSaysSoThenShowsThePicture) {
    const std::string file = Sox("long.wav", kLongFormat, kLongSynth);
    const UI::Window* display = window->GetView()->GetSpectrogram();
    const UI::Window* toolBar = window->GetView()->GetToolBar();
    // The display's bottom-left corner, where its progress texts go.
    const auto textArea = [&] {
        const UI::Rect r = display->FrameRect();
        return UI::Rect{r.left, r.left + 150, r.bottom - 20, r.bottom};
    };
    const auto white = [&] { return CountPixels(*host->DrawContext()->Surface(), textArea(), 0xFFFFFF); };

    int ticks = 0, paintsAtStart = 0, paintsWhileReading = 0, readingTicks = 0;
    int textShown = 0, toolBarShown = 0, waitCursor = 0, whiteBefore = -1;
    bool arrowAfter = false;
    std::optional<UI::LoadFailure> failure;
    std::atomic<bool> started{false}, readEnded{false};
    Watcher* watcher = nullptr;
    watcher = new Watcher(window, [&] {
        if (!started) {
            if (watcher->paints == 0 || ++ticks < 3) return;
            whiteBefore = white();
            paintsAtStart = watcher->paints;
            failure = window->loadAudioFile(Path(String(file)));
            started = true;
        } else if (window->IsReading()) {
            ++readingTicks;
            paintsWhileReading = watcher->paints - paintsAtStart;
            const UI::Rect bar = toolBar->FrameRect();
            textShown += white() > 10;
            toolBarShown +=
                CountPixels(*host->DrawContext()->Surface(), bar, 0x3D4558) > bar.Width() * bar.Height() / 2;
            waitCursor += window->HasCursor() && window->GetCursor() == UI::Cursor(UI::Window::CursorShape::Wait);
        } else if (!readEnded) {
            arrowAfter = !window->HasCursor();
            readEnded = true;
        }
    });
    bool pictureShown = false;
    std::thread script([&] {
        if (WaitFor([&] { return readEnded.load(); }, 60000ms)) pictureShown = WaitFor([&] { return ToneOnScreen(); });
        quitter->quit = true;
    });
    EXPECT_EQ(app->Run(), 0);
    script.join();

    ASSERT_FALSE(failure.has_value());
    EXPECT_EQ(whiteBefore, 0);
    // The read lasted ticks, and the window went on repainting through them.
    EXPECT_GE(readingTicks, 2);
    EXPECT_GE(paintsWhileReading, 2);
    EXPECT_GE(textShown, 1);
    EXPECT_EQ(toolBarShown, readingTicks);
    EXPECT_EQ(waitCursor, readingTicks);
    EXPECT_TRUE(arrowAfter);
    EXPECT_TRUE(pictureShown);
    EXPECT_EQ(window->Audio().frames, 1200u * 44100u);
    const std::vector<String> recent = UI::LoadRecentFiles(Settings(editor_test::kKeyPath));
    ASSERT_EQ(recent.size(), 1u);
    EXPECT_EQ(recent[0], Path(String(file)).ToNative());
}

// A WAV file whose data follows a million empty chunks: opening it walks them all, which
// takes many ticks of the update timer, and there is next to nothing to read.
std::string SlowToOpenWav(const std::filesystem::path& file) {
    const auto le32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    constexpr std::uint32_t kChunks = 1000000;
    std::string bytes = "RIFF" + le32(4 + 24 + kChunks * 8 + 8 + 4) + "WAVEfmt " + le32(16) +
        std::string("\x01\x00\x01\x00", 4) + le32(8000) + le32(16000) + std::string("\x02\x00\x10\x00", 4);
    bytes.reserve(bytes.size() + kChunks * 8 + 12);
    for (std::uint32_t i = 0; i < kChunks; ++i) bytes += "junk" + le32(0);
    bytes += "data" + le32(4) + le32(0);
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
}

class LoadCutTest : public MainWindowXvfbTest, public ::testing::WithParamInterface<bool> {};

// File > Close, another file and closing the window each stop a load under way, one after
// the other in one run of the program, while it reads a long file (at once) or while it
// opens one that is slow to open (after the opening has ended, as it cannot be cut short):
// no message box, the wait cursor gone, the long file closed, and nothing of it kept or listed.
TEST_P(LoadCutTest, ALoadCutShortByCloseAnotherFileOrTheWindowEndsAtOnceAndSaysNothing) {
    using TestSupport::BytesReadSoFar;
    using TestSupport::PositionsOpenOn;
    const bool duringTheOpen = GetParam();
    const std::string longFile =
        duringTheOpen ? SlowToOpenWav(m_folder / "chunks.wav") : Sox("long.wav", kLongFormat, kLongSynth);
    const std::string shortFile = Sox("short.wav", "-r 8000 -c 1 -b 16", "1 sine 300");
    // Opening the slow file reads it through to its data chunk, at its end; reads go ahead
    // of the opening by no more than a buffer.
    const std::uint64_t longBytes = std::filesystem::file_size(longFile), kBufferAhead = 65536;
    enum Cut { Close, OtherFile, WindowClosed, Cuts };
    // Whether the load was under way at the cut, under the wait cursor; whether it held its
    // file then (in an opening, not yet read through); whether it had closed it after the
    // cut (having read it through: the opening was waited for to its end).
    bool wasReading[Cuts] = {}, held[Cuts] = {}, closed[Cuts] = {}, closedCleared = false, otherShown = false;
    double cutMs[Cuts] = {-1.0, -1.0, -1.0};
    std::vector<std::optional<UI::LoadFailure>> failures;
    std::uint64_t readAtLongLoad = 0;
    const auto load = [&](const std::string& file) {
        if (file == longFile) readAtLongLoad = BytesReadSoFar().value_or(0);
        failures.push_back(window->loadAudioFile(Path(String(file))));
    };
    const auto holds = [&] {
        std::vector<std::uint64_t> at;
        return WaitFor([&] { return (at = PositionsOpenOn(longFile)).size() == 1; }, 5000ms) &&
            (!duringTheOpen || at[0] + kBufferAhead < longBytes);
    };
    const auto hasClosed = [&] {
        return PositionsOpenOn(longFile).empty() &&
            (!duringTheOpen || BytesReadSoFar().value_or(0) - readAtLongLoad + kBufferAhead >= longBytes);
    };
    // Each cut comes on the tick after its long read began, one tick into the read.
    int phase = 0, ticks = 0;
    auto closeAsked = std::chrono::steady_clock::now();
    Watcher* watcher = nullptr;
    watcher = new Watcher(window, [&] {
        const auto cut = [&](Cut which, const std::function<void()>& action) {
            held[which] = holds();
            wasReading[which] = window->IsReading() && window->HasCursor() &&
                window->GetCursor() == UI::Cursor(UI::Window::CursorShape::Wait);
            const auto start = std::chrono::steady_clock::now();
            action();
            cutMs[which] = MsSince(start);
            closed[which] = hasClosed();
        };
        switch (phase) {
        case 0:
            if (watcher->paints == 0 || ++ticks < 3) return;
            load(longFile);
            break;
        case 1:
            cut(Close, [&] { window->slotClose(); });
            closedCleared = !window->IsReading() && !window->HasCursor() && window->Audio().frames == 0;
            load(longFile);
            break;
        case 2: cut(OtherFile, [&] { load(shortFile); }); break;
        case 3:
            if (window->IsReading()) return;
            otherShown = !window->HasCursor() && window->Audio().frames == 8000;
            load(longFile);
            break;
        case 4:
            // The window goes as a user's close takes it; the reader goes with the main window.
            held[WindowClosed] = holds();
            wasReading[WindowClosed] = window->IsReading() && window->HasCursor();
            closeAsked = std::chrono::steady_clock::now();
            TestSupport::RequestClose(kTitle);
            break;
        default: return;
        }
        ++phase;
    });
    // A message box would hold the loop: it is noted and answered.
    std::atomic<bool> ended{false};
    bool boxShown = false;
    std::thread script([&] {
        while (!ended) {
            for (const char* caption : {"Can't read entire file", "Can't read file"})
                if (const unsigned long box = TestSupport::FindWindow(caption)) {
                    boxShown = true;
                    RunCommand("xdotool windowfocus " + std::to_string(box) + " key Return");
                }
            std::this_thread::sleep_for(20ms);
        }
    });
    EXPECT_EQ(app->Run(), 0);
    StopProgram();
    cutMs[WindowClosed] = MsSince(closeAsked);
    closed[WindowClosed] = hasClosed();
    ended = true;
    script.join();

    EXPECT_EQ(phase, 5);
    for (const auto& failure : failures) EXPECT_FALSE(failure.has_value());
    for (int c = 0; c < Cuts; ++c) {
        EXPECT_TRUE(wasReading[c]) << c;
        EXPECT_TRUE(held[c]) << c;
        EXPECT_TRUE(closed[c]) << c;
        EXPECT_GE(cutMs[c], 0.0) << c;
        // A read stops after the chunk in hand.
        if (!duringTheOpen) {
            EXPECT_LT(cutMs[c], 2000.0) << c;
        }
    }
    EXPECT_TRUE(closedCleared);
    EXPECT_TRUE(otherShown);
    EXPECT_FALSE(boxShown);
    const std::vector<String> recent = UI::LoadRecentFiles(Settings(editor_test::kKeyPath));
    ASSERT_EQ(recent.size(), 1u);
    EXPECT_EQ(recent[0], Path(String(shortFile)).ToNative());
}

INSTANTIATE_TEST_SUITE_P(WhileReadingOrOpening, LoadCutTest, ::testing::Bool(),
    [](const ::testing::TestParamInfo<bool>& row) { return row.param ? "Opening" : "Reading"; });

}  // namespace
