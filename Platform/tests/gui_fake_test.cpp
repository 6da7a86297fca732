// The headless window system the toolkit's own tests are built on.
#include <Platform/Gui/Fake/FakeWindowSystem.h>
#include <Platform/Gui/Keys.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace Platform::Gui;

namespace {

struct Recorder : WindowEvents {
    FakeWindowSystem* system = nullptr;
    std::vector<std::string> log;
    bool allowClose = true;
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    std::function<void(unsigned)> onTimer;

    bool OnCloseRequest() override {
        log.push_back("close?");
        return allowClose;
    }
    void OnDestroyed() override { log.push_back("destroyed"); }
    void OnPlacementChanged() override { log.push_back("placement"); }
    void OnActivated(bool active) override { log.push_back(active ? "active" : "inactive"); }
    void OnExpose(const PixelRect& r, ExposeTarget& target) override {
        log.push_back("expose " + std::to_string(r.x) + "," + std::to_string(r.y) + " " + std::to_string(r.width) +
            "x" + std::to_string(r.height));
        target.Copy({pixels.data(), width, height, width}, r);
    }
    bool OnKey(const KeyEvent& e) override {
        log.push_back("key " + std::to_string(int(e.kind)) + " " + std::to_string(e.key) + " " +
            std::to_string(e.character) + " m" + std::to_string(e.modifiers) + (e.wasDown ? " again" : ""));
        return e.key != Key::Escape;
    }
    bool OnMouse(const MouseEvent& e) override {
        log.push_back("mouse " + std::to_string(int(e.kind)));
        return true;
    }
    bool OnCommand(unsigned command) override {
        log.push_back("command " + std::to_string(command));
        return true;
    }
    void OnTimer(unsigned id) override {
        log.push_back("timer " + std::to_string(id) + " at " + std::to_string(system->TickCount()));
        if (onTimer) onTimer(id);
    }
    void OnMessage(unsigned m, std::uint64_t a, std::uint64_t b) override {
        log.push_back("message " + std::to_string(m) + " " + std::to_string(a) + " " + std::to_string(b));
        if (m == 1) throw std::runtime_error("message 1 fails");
        if (m == 2) system->Quit(int(a));
    }
};

WindowSpec Spec(Recorder& r, PixelRect outer = {300, 400, 700, 400}) {
    return {"Test", outer, false, true, "TestClass", NoWindow, &r};
}

// A fake window system with one recorder for a test's window.
class GuiFake : public ::testing::Test {
protected:
    GuiFake() { r.system = &fake; }
    FakeWindowSystem fake;
    Recorder r;
};

}  // namespace

TEST_F(GuiFake, RecordsCallsAndKeepsWhatADesktopKeeps) {
    const WindowId id = fake.CreateWindow(Spec(r));
    fake.ShowWindow(id, ShowMode::Normal);
    fake.SetMinimumClientSize(id, 662, 162);
    fake.StartTimer(id, 123722, 33);
    fake.SetCursor(id, CursorShape::Span);
    fake.SetCursor(id, CursorShape::Span);  // unchanged: not recorded again
    EXPECT_EQ(fake.Calls(),
        (std::vector<std::string>{
            "CreateWindow 1 \"Test\" (300,400 700x400) popUp=0 resizable=1 class=\"TestClass\" owner=0",
            "ShowWindow 1 Normal", "SetMinimumClientSize 1 662 162", "StartTimer 1 123722 33", "SetCursor 1 Span"}));
    fake.SetFrameInsets(4, 30, 4, 4);
    EXPECT_EQ(fake.ClientSize(id), (PixelSize{692, 366}));
    EXPECT_EQ(fake.ClientOriginOnScreen(id), (PixelPoint{304, 430}));
}

TEST_F(GuiFake, SizingKeepsTheExactMinimumAndTheOppositeEdge) {
    fake.SetFrameInsets(4, 30, 4, 4);
    const WindowId id = fake.CreateWindow(Spec(r, {100, 100, 800, 300}));
    fake.SetMinimumClientSize(id, 662, 162);
    // Dragging the left edge far right: the right edge stays, the client is exactly 662 wide.
    fake.UserResize(id, {600, 100, 300, 300}, FakeWindowSystem::Edge::Left);
    EXPECT_EQ(fake.ClientSize(id).width, 662);
    EXPECT_EQ(fake.Find(id)->outer.Right(), 900);
    // Dragging the bottom-right corner up and left: the top-left stays.
    fake.UserResize(id, {100, 100, 200, 50}, FakeWindowSystem::Edge::BottomRight);
    EXPECT_EQ(fake.ClientSize(id), (PixelSize{662, 162}));
    EXPECT_EQ(fake.Find(id)->outer.Origin(), (PixelPoint{100, 100}));
    // The top edge dragged down: the bottom stays.
    fake.UserResize(id, {100, 250, 700, 100}, FakeWindowSystem::Edge::Top);
    EXPECT_EQ(fake.ClientSize(id).height, 162);
    EXPECT_EQ(fake.Find(id)->outer.Bottom(), 350);
    // Larger than the minimum is left alone.
    fake.UserResize(id, {0, 0, 1000, 600});
    EXPECT_EQ(fake.ClientSize(id), (PixelSize{992, 566}));

    // Maximised, the normal rectangle is kept for the placement.
    fake.UserMaximise(id, true);
    EXPECT_TRUE(fake.GetPlacement(id)->maximised);
    EXPECT_EQ(fake.GetPlacement(id)->normal, (PixelRect{0, 0, 1000, 600}));
    EXPECT_EQ(fake.Find(id)->outer, (PixelRect{0, 0, 1280, 1024}));
    fake.UserMaximise(id, false);
    EXPECT_EQ(fake.Find(id)->outer, (PixelRect{0, 0, 1000, 600}));
}

TEST_F(GuiFake, CloseRequestCanBeRefusedAndDestructionIsTheLastEvent) {
    const WindowId id = fake.CreateWindow(Spec(r));
    r.allowClose = false;
    fake.UserClose(id);
    EXPECT_TRUE(fake.WindowExists(id));
    r.allowClose = true;
    fake.StartTimer(id, 5, 10);
    fake.SetCapture(id);
    fake.SetFocus(id);
    fake.UserClose(id);
    EXPECT_FALSE(fake.WindowExists(id));
    EXPECT_EQ(r.log, (std::vector<std::string>{"close?", "close?", "destroyed"}));
    EXPECT_EQ(fake.CaptureWindow(), NoWindow);
    EXPECT_EQ(fake.FocusWindow(), NoWindow);
    fake.AdvanceClock(100);  // its timer went with it
    EXPECT_EQ(r.log.size(), 3u);
    EXPECT_FALSE(fake.Post(id, 7));
    EXPECT_FALSE(fake.StartTimer(id, 5, 10));

    // A window destroyed by its owner after the handler was taken away tells no one.
    Recorder quiet;
    const WindowId other = fake.CreateWindow(Spec(quiet));
    fake.SetEventHandler(other, nullptr);
    fake.DestroyWindow(other);
    EXPECT_TRUE(quiet.log.empty());
}

TEST_F(GuiFake, PresentShowsTheOwnersPixelsThroughExpose) {
    r.width = 4;
    r.height = 3;
    r.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const WindowId id = fake.CreateWindow(Spec(r, {0, 0, 6, 3}));
    fake.Present(id, {{1, 1, 2, 2}, {3, 0, 5, 1}});
    EXPECT_EQ(fake.Find(id)->presented, (std::vector<PixelRect>{{1, 1, 2, 2}, {3, 0, 5, 1}}));
    // Present copies only its rectangles, and only what the surface has.
    std::vector<std::uint32_t> shown;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) shown.push_back(fake.ScreenPixel(id, x, y));
    EXPECT_EQ(shown, (std::vector<std::uint32_t>{0, 0, 0, 4, 0, 0, 0, 6, 7, 0, 0, 0, 0, 10, 11, 0, 0, 0}));
    EXPECT_EQ(fake.ScreenPixel(id, -1, 0), 0u);
    EXPECT_EQ(fake.ScreenPixel(id, 6, 0), 0u);
}

TEST_F(GuiFake, KeysPassTheAcceleratorFilterWhileTheLoopRuns) {
    const WindowId id = fake.CreateWindow(Spec(r));
    EXPECT_TRUE(fake.TypeKey(id, 'A', 'a'));
    EXPECT_FALSE(fake.InjectKey(id, {KeyKind::Down, Key::Escape, 0, 0, false}));  // not taken
    EXPECT_TRUE(fake.IsKeyDown(Key::Escape));
    fake.InjectKey(id, {KeyKind::Up, Key::Escape, 0, 0, true});
    EXPECT_FALSE(fake.IsKeyDown(Key::Escape));

    fake.SetIdleScript([&] {
        static int step = 0;
        switch (step++) {
        case 0:
            fake.TypeKey(id, 'O', 15, Modifier::Ctrl);  // the accelerator: no character follows
            fake.TypeKey(id, 'P', 16, Modifier::Ctrl);
            return true;
        default: fake.Quit(0); return true;
        }
    });
    std::vector<std::string> filtered;
    const int code = fake.RunMessageLoop([&](WindowId w, const KeyEvent& e) {
        filtered.push_back(std::to_string(w) + " " + std::to_string(e.key));
        if (e.key == 'O' && e.modifiers == Modifier::Ctrl) return fake.SendCommand(id, 1);
        return false;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(filtered, (std::vector<std::string>{"1 79", "1 80"}));
    EXPECT_EQ(r.log,
        (std::vector<std::string>{"key 0 65 0 m0", "key 2 65 97 m0", "key 1 65 0 m0 again", "key 0 27 0 m0",
            "key 1 27 0 m0 again", "command 1", "key 1 79 0 m8 again", "key 0 80 0 m8", "key 2 80 16 m8",
            "key 1 80 0 m8 again"}));
    // Outside the loop no filter applies.
    r.log.clear();
    fake.TypeKey(id, 'O', 15, Modifier::Ctrl);
    EXPECT_EQ(r.log.front(), "key 0 79 0 m8");
}

TEST_F(GuiFake, TimersFireOnTheirScheduleInTimeOrderAndSurviveChanges) {
    const WindowId id = fake.CreateWindow(Spec(r));
    fake.StartTimer(id, 1, 30);
    fake.StartTimer(id, 2, 50);
    fake.AdvanceClock(100);
    EXPECT_EQ(r.log,
        (std::vector<std::string>{
            "timer 1 at 30", "timer 2 at 50", "timer 1 at 60", "timer 1 at 90", "timer 2 at 100"}));
    EXPECT_EQ(fake.TickCount(), 100u);
    r.log.clear();
    // Restarting an identifier replaces it; a handler may stop its own timer and start others.
    fake.StartTimer(id, 2, 10);
    r.onTimer = [&](unsigned t) {
        if (t == 2) {
            fake.StopTimer(id, 2);
            fake.StartTimer(id, 3, 5);
        }
        if (t == 3) fake.StopTimer(id, 3);
    };
    fake.AdvanceClock(25);
    EXPECT_EQ(r.log, (std::vector<std::string>{"timer 2 at 110", "timer 3 at 115", "timer 1 at 120"}));
    EXPECT_FALSE(fake.StopTimer(id, 2));
}

TEST_F(GuiFake, TheClockWrapsWithoutStoppingTimers) {
    const WindowId id = fake.CreateWindow(Spec(r));
    fake.AdvanceClock(0xFFFFFFFFu - 20);  // 49.7 days, nothing running
    fake.StartTimer(id, 1, 33);
    fake.AdvanceClock(70);
    EXPECT_EQ(r.log, (std::vector<std::string>{"timer 1 at 12", "timer 1 at 45"}));
}

TEST_F(GuiFake, TheLoopJumpsTheClockToTheNextTimer) {
    const WindowId id = fake.CreateWindow(Spec(r));
    fake.StartTimer(id, 123722, 33);
    int ticks = 0;
    r.onTimer = [&](unsigned) {
        if (++ticks == 3) fake.Post(id, 2, 0);
    };
    EXPECT_EQ(fake.RunMessageLoop(), 0);
    EXPECT_EQ(fake.TickCount(), 99u);

    // A failed handler leaves the fake's loop stopped; one with nothing to wait for says so.
    fake.Post(id, 1);
    EXPECT_THROW(fake.RunMessageLoop(), std::runtime_error);
    EXPECT_FALSE(fake.LoopRunning());
    fake.StopTimer(id, 123722);
    EXPECT_THROW(fake.RunMessageLoop(), std::logic_error);
}

TEST_F(GuiFake, DialogsTakeTheirAnswersFromTheTest) {
    fake.ShowMessageBox(3, "Empty File", "This file is empty.", false);
    ASSERT_EQ(fake.MessageBoxes().size(), 1u);
    EXPECT_EQ(fake.MessageBoxes()[0].caption, "Empty File");
    EXPECT_EQ(fake.MessageBoxes()[0].text, "This file is empty.");

    fake.AnswerOpenFile("/tmp/a.wav");
    fake.AnswerOpenFile(std::nullopt);
    OpenFileRequest request;
    request.title = "Select an audio file";
    request.filters = {{"WAV Files", "*.wav"}};
    EXPECT_EQ(fake.ChooseFileToOpen(request), std::optional<std::string>("/tmp/a.wav"));
    EXPECT_EQ(fake.ChooseFileToOpen(request), std::nullopt);
    EXPECT_EQ(fake.ChooseFileToOpen(request), std::nullopt);  // no answers left: cancelled
    ASSERT_EQ(fake.OpenFileRequests().size(), 3u);
    EXPECT_EQ(fake.OpenFileRequests()[0].filters[0].patterns, "*.wav");
}

TEST_F(GuiFake, MenuBarTakesItsRowFromTheClientAreaAndSendsCommands) {
    const WindowId id = fake.CreateWindow(Spec(r, {0, 0, 700, 400}));
    fake.SetMinimumClientSize(id, 662, 162);
    fake.SetMenuBar(
        id, {{"&File", {{false, "&Open...\tCtrl+O", false, 1}, {true, "", false, 0}, {false, "E&xit", true, 2}}}});
    EXPECT_EQ(fake.Calls().back(), "SetMenuBar 1 \"&File\"[\"&Open...\tCtrl+O\"=1, -, \"E&xit\"+=2]");
    EXPECT_EQ(fake.ClientSize(id), (PixelSize{700, 380}));
    EXPECT_EQ(fake.ClientOriginOnScreen(id), (PixelPoint{0, 20}));
    EXPECT_EQ(r.log, (std::vector<std::string>{"placement"}));
    EXPECT_TRUE(fake.ChooseMenuEntry(id, 2));
    EXPECT_FALSE(fake.ChooseMenuEntry(id, 0));  // separators carry no command
    EXPECT_FALSE(fake.ChooseMenuEntry(id, 9));
    EXPECT_EQ(r.log.back(), "command 2");
    // The minimum is of the client area, below the bar.
    fake.UserResize(id, {0, 0, 100, 100});
    EXPECT_EQ(fake.ClientSize(id), (PixelSize{662, 162}));
    fake.SetMenuBar(id, {});
    EXPECT_EQ(fake.ClientSize(id), (PixelSize{662, 182}));
}
