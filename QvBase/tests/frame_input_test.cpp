// Mouse and key routing: hit testing, bubbling, capture, focus, Tab, the second main frame.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/Widgets/FocusIndicator.h>

#include <Platform/Gui/Keys.h>

using namespace toolkit_test;
using UI::Point;

namespace {

class FrameInputTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        frame = MakeFrame(200, 100, nullptr);
        window = frame->NativeWindow();
        // back (0,0 200x100) > panel (50,10 100x80) > button (10,10 20x20); a top-level "over" at (150,0).
        back = new Probe(frame.get(), nullptr, "back", &log);
        back->SetGeometry(0, 0, 200, 100);
        panel = new Probe(frame.get(), back, "panel", &log);
        panel->SetGeometry(50, 10, 100, 80);
        button = new Probe(frame.get(), panel, "button", &log);
        button->SetGeometry(10, 10, 20, 20);
        over = new Probe(frame.get(), nullptr, "over", &log);
        over->SetGeometry(150, 0, 50, 50);
    }
    void TearDown() override {
        frame.reset();
        ToolkitTest::TearDown();
    }
    std::vector<std::string> Take() { return std::exchange(log, {}); }

    std::unique_ptr<UI::Frame> frame;
    Platform::Gui::WindowId window = 0;
    Probe *back = nullptr, *panel = nullptr, *button = nullptr, *over = nullptr;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(FrameInputTest, ClicksReachTheTopmostWindowAndBubbleUp) {
    EXPECT_TRUE(frame->OnMouse(0, {65, 25}, 1, 0));
    EXPECT_EQ(Take(), std::vector<std::string>{"button LeftDown 5,5 m1"});
    EXPECT_EQ(system->FocusWindow(), window);  // a press gives the native window the keyboard

    // Not taken by the button: its parent gets it in its own coordinates.
    button->takesMouse = false;
    EXPECT_TRUE(frame->OnMouse(3, {65, 25}, 4, 0));
    EXPECT_EQ(Take(), (std::vector<std::string>{"button RightDown 5,5 m4", "panel RightDown 15,15 m4"}));

    // Disabled or hidden: the click goes to the window beneath.
    button->takesMouse = true;
    button->SetEnabled(false);
    frame->OnMouse(0, {65, 25}, 1, 0);
    EXPECT_EQ(Take(), std::vector<std::string>{"panel LeftDown 15,15 m1"});
    panel->Hide();
    frame->OnMouse(0, {65, 25}, 1, 0);
    EXPECT_EQ(Take(), std::vector<std::string>{"back LeftDown 65,25 m1"});

    // The later top-level window is on top; the focus indicator never takes a click.
    frame->OnMouse(7, {160, 5}, 0, -120);
    EXPECT_EQ(Take(), std::vector<std::string>{"over Wheel-120 10,5 m0"});
    frame->GetFocusIndicator()->SetGeometry(0, 0, 200, 100);
    frame->GetFocusIndicator()->Show();
    frame->OnMouse(0, {1, 1}, 1, 0);
    EXPECT_EQ(Take(), std::vector<std::string>{"back LeftDown 1,1 m1"});

    // A window of width 0 is never hit.
    auto* empty = new Probe(frame.get(), nullptr, "empty", &log);
    empty->SetGeometry(0, 0, 0, 100);
    frame->OnMouse(0, {0, 0}, 1, 0);
    EXPECT_EQ(Take(), std::vector<std::string>{"back LeftDown 0,0 m1"});
    // Outside every window: not taken.
    back->Hide();
    EXPECT_FALSE(frame->OnMouse(0, {10, 90}, 1, 0));
}

TEST_F(FrameInputTest, MovesNeedAButtonCaptureOrTrackingAndAlwaysSetTheCursor) {
    frame->OnMouse(6, {65, 25}, 0, 0);
    EXPECT_TRUE(Take().empty());
    frame->OnMouse(6, {65, 25}, 1, 0);
    EXPECT_EQ(Take(), std::vector<std::string>{"button Move 5,5 m1"});
    panel->SetTracksMouse(true);
    frame->OnMouse(6, {65, 25}, 0, 0);
    EXPECT_EQ(Take(), std::vector<std::string>{"panel Move 15,15 m0"});

    // The outermost window with a cursor along the path wins; without any, the arrow.
    using Platform::Gui::CursorShape;
    button->SetCursor(CursorShape::Hand);
    frame->OnMouse(6, {65, 25}, 0, 0);
    EXPECT_EQ(system->Find(window)->cursor, CursorShape::Hand);
    panel->SetCursor(CursorShape::SizeWe);
    frame->OnMouse(6, {65, 25}, 0, 0);
    EXPECT_EQ(system->Find(window)->cursor, CursorShape::SizeWe);
    frame->OnMouse(6, {5, 5}, 0, 0);
    EXPECT_EQ(system->Find(window)->cursor, CursorShape::Arrow);
}

TEST_F(FrameInputTest, CaptureTakesEveryEventAndAThiefGivesTheHolderALeftUp) {
    frame->SetCapture(button);
    EXPECT_EQ(system->CaptureWindow(), window);
    frame->OnMouse(6, {0, 0}, 0, 0);  // outside the button, no button held
    EXPECT_EQ(Take(), std::vector<std::string>{"button Move -60,-20 m0"});
    EXPECT_EQ(system->Find(window)->cursor, Platform::Gui::CursorShape::Arrow);

    frame->SetCapture(button);  // already: nothing
    EXPECT_TRUE(Take().empty());
    frame->SetCapture(over);
    EXPECT_EQ(Take(), std::vector<std::string>{"button LeftUp 0,0 m0"});
    EXPECT_EQ(frame->CaptureWindow(), over);
    EXPECT_EQ(system->CaptureWindow(), window);

    frame->ReleaseCapture();
    EXPECT_EQ(system->CaptureWindow(), Platform::Gui::NoWindow);
    frame->ReleaseCapture();  // none held: nothing
    // A destroyed capture window is forgotten.
    frame->SetCapture(button);
    delete button;
    EXPECT_EQ(frame->CaptureWindow(), nullptr);
    EXPECT_FALSE(frame->OnMouse(6, {0, 0}, 0, 0));
}

TEST_F(FrameInputTest, KeysGoToTheRootFirstThenTabThenTheFocusChain) {
    system->SetFocus(window);
    frame->SetFocus(button);
    EXPECT_EQ(Take(), std::vector<std::string>{"button GotFocus"});
    EXPECT_TRUE(button->HasFocus());

    // Nobody takes it: the root (none yet), then button, panel, back.
    EXPECT_FALSE(frame->OnKey(0, 'A', 'A', 8, false));
    EXPECT_EQ(Take(), (std::vector<std::string>{"button KeyDown 65 m8", "panel KeyDown 65 m8", "back KeyDown 65 m8"}));
    panel->takesKeys = true;
    EXPECT_TRUE(frame->OnKey(2, 'A', 'a', 0, true));
    EXPECT_EQ(Take(), (std::vector<std::string>{"button Char 97 m0", "panel Char 97 m0"}));
    EXPECT_TRUE(frame->OnKey(1, 4096, 4096, 16, false));
    EXPECT_EQ(Take(), (std::vector<std::string>{"button KeyUp 4096 m16", "panel KeyUp 4096 m16"}));

    // The root sees keys before the focus window and can keep them.
    frame->SetRootWindow(back);
    back->takesKeys = true;
    EXPECT_TRUE(frame->OnKey(0, 'B', 'B', 0, false));
    EXPECT_EQ(Take(), std::vector<std::string>{"back KeyDown 66 m0"});

    // Tab with an empty tab order does nothing and is still taken; the focus window never sees it.
    back->takesKeys = false;
    EXPECT_TRUE(frame->OnKey(0, Platform::Gui::Key::Tab, 9, 0, false));
    EXPECT_EQ(Take(), std::vector<std::string>{"back KeyDown 9 m0"});
    EXPECT_EQ(frame->FocusWindow(), button);
}

TEST_F(FrameInputTest, TabWalksTheTabOrderSkippingHiddenAndDisabledWindows) {
    auto* a = new Probe(frame.get(), back, "a", &log);
    auto* b = new Probe(frame.get(), back, "b", &log);
    auto* c = new Probe(frame.get(), panel, "c", &log);
    frame->TabOrder() = {a, b, c};
    system->SetFocus(window);
    const unsigned tab = Platform::Gui::Key::Tab, shift = Platform::Gui::Modifier::Shift;
    frame->OnKey(0, tab, tab, 0, false);  // no focus yet: forward starts from the end
    EXPECT_EQ(frame->FocusWindow(), a);
    b->SetEnabled(false);
    frame->OnKey(0, tab, tab, 0, false);
    EXPECT_EQ(frame->FocusWindow(), c);
    frame->OnKey(0, tab, tab, 0, false);  // wraps
    EXPECT_EQ(frame->FocusWindow(), a);
    panel->Hide();  // hides c through its parent
    frame->OnKey(0, tab, tab, shift, false);
    EXPECT_EQ(frame->FocusWindow(), a);  // nothing else usable: stays
    b->SetEnabled(true);
    frame->OnKey(0, tab, tab, shift, false);
    EXPECT_EQ(frame->FocusWindow(), b);
    Take();
    // The focus window's destruction clears the focus silently and leaves the tab order.
    delete b;
    EXPECT_EQ(frame->FocusWindow(), nullptr);
    EXPECT_EQ(frame->TabOrder().size(), 2u);
    EXPECT_TRUE(Take().empty());
}

TEST_F(FrameInputTest, FocusWhileTheNativeWindowLacksTheKeyboardIsPending) {
    frame->SetFocus(button);  // the native focus is elsewhere
    EXPECT_EQ(frame->FocusWindow(), nullptr);
    EXPECT_EQ(frame->PendingFocusWindow(), button);
    EXPECT_FALSE(button->HasFocus());
    system->SetFocus(window);
    frame->SetFocus(panel);
    EXPECT_EQ(frame->PendingFocusWindow(), nullptr);
    EXPECT_EQ(frame->FocusWindow(), panel);
    frame->SetFocus(over);
    EXPECT_EQ(Take(), (std::vector<std::string>{"panel GotFocus", "panel LostFocus", "over GotFocus"}));
    frame->SetFocus(nullptr);
    EXPECT_EQ(Take(), std::vector<std::string>{"over LostFocus"});
}

TEST_F(FrameInputTest, KeysNoWindowTakesGoToTheSecondMainFrame) {
    auto main = MakeFrame(50, 50, nullptr);
    auto* mainRoot = new Probe(main.get(), nullptr, "mainRoot", &log);
    main->SetRootWindow(mainRoot);
    mainRoot->takesKeys = true;
    EXPECT_FALSE(frame->OnKey(0, 'C', 'C', 0, false));  // no second main frame yet
    Take();
    info->SetSecondMainFrame(main.get());
    EXPECT_TRUE(frame->OnKey(0, 'C', 'C', 0, false));
    EXPECT_EQ(Take().back(), "mainRoot KeyDown 67 m0");
    // Destroying it clears the record's pointer: keys are no longer forwarded.
    main.reset();
    EXPECT_EQ(info->SecondMainFrame(), nullptr);
    EXPECT_FALSE(frame->OnKey(0, 'C', 'C', 0, false));
}

TEST_F(FrameInputTest, ADetachedFrameTakesNothing) {
    frame->SetTarget(Platform::Gui::NoWindow, nullptr);
    EXPECT_FALSE(frame->OnMouse(0, {65, 25}, 1, 0));
    EXPECT_FALSE(frame->OnKey(0, 'A', 'A', 0, false));
    EXPECT_TRUE(Take().empty());
}

TEST_F(FrameInputTest, AWindowThatDeletesItselfOnAMoveLeavesTheArrowCursor) {
    // A hover window that goes away when the mouse moves over it.
    class Vanishing : public Probe {
    public:
        using Probe::Probe;
        bool OnMouseMove(UI::Point, uint) override {
            delete this;
            return true;
        }
    };
    auto* vanishing = new Vanishing(frame.get(), nullptr, "vanishing", &log);
    vanishing->SetGeometry(0, 0, 20, 20);
    vanishing->SetTracksMouse(true);
    vanishing->SetCursor(Platform::Gui::CursorShape::Hand);
    EXPECT_TRUE(frame->OnMouse(6, {5, 5}, 0, 0));
    EXPECT_EQ(system->Find(window)->cursor, Platform::Gui::CursorShape::Arrow);

    // The same with the capture.
    vanishing = new Vanishing(frame.get(), nullptr, "vanishing", &log);
    vanishing->SetGeometry(0, 0, 20, 20);
    vanishing->SetCursor(Platform::Gui::CursorShape::Hand);
    frame->SetCapture(vanishing);
    EXPECT_TRUE(frame->OnMouse(6, {50, 50}, 0, 0));
    EXPECT_EQ(frame->CaptureWindow(), nullptr);
    EXPECT_EQ(system->Find(window)->cursor, Platform::Gui::CursorShape::Arrow);
}
