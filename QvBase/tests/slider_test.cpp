// The slider driven through the frame on the fake window system: position mapping, drags,
// precision moves, keys, the typed entry and the signals of each.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/Widgets/Slider.h>

#include <Platform/Gui/Keys.h>

using namespace toolkit_test;
namespace Key = Platform::Gui::Key;
namespace Modifier = Platform::Gui::Modifier;

namespace {

std::vector<std::string> g_sliderLog;

class SliderRecorder : public Object {
    QV_OBJECT()
public:
    explicit SliderRecorder(UI::Slider* s) : Object("SliderRecorder") {
        const std::pair<const char*, const char*> links[] = {{"2sigPositionChanged(uint)", "1slotPosition(uint)"},
            {"2sigUserPositionChanged(uint)", "1slotUserPosition(uint)"},
            {"2sigPrecisionMouseMove(uint,int)", "1slotPrecision(uint,int)"}, {"2sigPostUndoEvent()", "1slotUndo()"},
            {"2sigEdited(const String&)", "1slotEdited(const String&)"}, {"2sigMouseGrabbed()", "1slotGrabbed()"},
            {"2sigMouseReleased()", "1slotReleased()"},
            {"2sigKeyAdjust(bool,const checked_uint&,bool)", "1slotKeyAdjust(bool,const checked_uint&,bool)"},
            {"2sigKeyRelease()", "1slotKeyRelease()"}, {"2sigSliderDoubleClicked()", "1slotDoubleClicked()"},
            {"2sigAltClicked()", "1slotAltClicked()"}, {"2sigReceivedFocus()", "1slotFocus()"},
            {"2sigLostFocus()", "1slotLostFocus()"}};
        for (const auto& [signal, slot] : links) EXPECT_TRUE(Object::Connect(s, signal, this, slot)) << signal;
    }
    void slotPosition(uint p) { Log("pos " + std::to_string(p)); }
    void slotUserPosition(uint p) { Log("user " + std::to_string(p)); }
    void slotPrecision(uint anchor, int delta) {
        Log("precision " + std::to_string(anchor) + " " + std::to_string(delta));
    }
    void slotUndo() { Log("undo"); }
    void slotEdited(const String& text) { Log(std::string("edited ") + text.CStr()); }
    void slotGrabbed() { Log("grabbed"); }
    void slotReleased() { Log("released"); }
    void slotKeyAdjust(bool increment, const checked_uint& order, bool repeat) {
        Log(std::string("key ") + (increment ? "up " : "down ") + (order.set ? std::to_string(order.value) : "-") +
            (repeat ? " repeat" : ""));
    }
    void slotKeyRelease() { Log("key release"); }
    void slotDoubleClicked() { Log("double"); }
    void slotAltClicked() { Log("alt"); }
    void slotFocus() { Log("focus"); }
    void slotLostFocus() { Log("lost focus"); }

private:
    static void Log(const std::string& what) { g_sliderLog.push_back(what); }
};

// Deletes the slider that emitted to it.
class SliderDeleter : public Object {
    QV_OBJECT()
public:
    explicit SliderDeleter(UI::Window* watched) : Object("SliderDeleter"), window(watched) {}
    void slotDelete() {
        delete window;
        window = nullptr;
        ++deletions;
    }
    UI::Window* window;
    int deletions = 0;
};

class DrawnSlider : public UI::Slider {
public:
    using Slider::Slider;
    void Paint(UI::DrawContext&) override {}
    ThumbTolerance GetThumbOffset() const override { return tolerance; }
    ThumbTolerance tolerance;
};

using Log = std::vector<std::string>;

class SliderTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        frame = MakeFrame(400, 300, nullptr);
        window = frame->NativeWindow();
        back = new Probe(frame.get(), nullptr, "back", &probeLog);
        back->SetGeometry(0, 0, 400, 300);
        // Horizontal, 200 x 22 at (10, 10), readout 30 x 12: track {0..199, 0..11}, readout
        // box {150..199, 12..21} (frame 160..209, 22..31).
        slider = Make(UI::Slider::Horizontal, 10, 10, 200, 22);
        recorder = std::make_unique<SliderRecorder>(slider);
        previousPrompt = UI::Slider::SetPrompt(nullptr);
    }
    void TearDown() override {
        UI::Slider::SetPrompt(previousPrompt);
        recorder.reset();
        frame.reset();
        ToolkitTest::TearDown();
    }
    DrawnSlider* Make(std::uint32_t orientation, int x, int y, int w, int h) {
        auto* s = new DrawnSlider(frame.get(), back, "Gain", orientation);
        s->GetReadout()->SetSize(30, 12);
        s->SetGeometry(x, y, w, h);
        return s;
    }
    static Log Take() { return std::exchange(g_sliderLog, {}); }
    Log TakeProbe() { return std::exchange(probeLog, {}); }
    bool Mouse(uint code, int x, int y, uint modifiers = 0, int delta = 0) {
        return frame->OnMouse(code, {x, y}, modifiers, delta);
    }
    bool KeyDown(uint key, uint modifiers = 0, bool repeat = false) {
        return frame->OnKey(0, key, 0, modifiers, repeat);
    }
    void Focus() {
        system->SetFocus(window);
        frame->SetFocus(slider);
        Take();
    }

    std::unique_ptr<UI::Frame> frame;
    Platform::Gui::WindowId window = 0;
    Probe* back = nullptr;
    DrawnSlider* slider = nullptr;
    std::unique_ptr<SliderRecorder> recorder;
    UI::Slider::PromptFunction previousPrompt;
    std::vector<std::string> probeLog;
};

}  // namespace

QV_META_BEGIN(SliderDeleter, Object)
    QV_META_SLOTS
    QV_SLOT(slotDelete)
QV_META_END

QV_META_BEGIN(SliderRecorder, Object)
    QV_META_SLOTS
    QV_SLOT(slotPosition, (uint, p))
    QV_SLOT(slotUserPosition, (uint, p))
    QV_SLOT(slotPrecision, (uint, anchor), (int, delta))
    QV_SLOT(slotUndo)
    QV_SLOT(slotEdited, (const String&, text))
    QV_SLOT(slotGrabbed)
    QV_SLOT(slotReleased)
    QV_SLOT(slotKeyAdjust, (bool, increment), (const checked_uint&, order), (bool, repeat))
    QV_SLOT(slotKeyRelease)
    QV_SLOT(slotDoubleClicked)
    QV_SLOT(slotAltClicked)
    QV_SLOT(slotFocus)
    QV_SLOT(slotLostFocus)
QV_META_END

TEST_F(SliderTest, GeometryGivesTrackReadoutAndLength) {
    EXPECT_EQ(slider->GetTrackLength(), 200);
    EXPECT_EQ(slider->GetTrackRect(), (UI::Rect{0, 199, 0, 11}));
    EXPECT_EQ(slider->GetReadoutRect(), (UI::Rect{150, 199, 12, 21}));
    EXPECT_TRUE(slider->GetEndRect().IsEmpty());
    EXPECT_EQ(slider->GetFocusRect(), (UI::Rect{8, 211, 8, 23}));
    EXPECT_TRUE(slider->AcceptsFocus());
    UI::Window* readout = slider->GetReadout();
    EXPECT_EQ(readout->Name(), "Gain Readout Text");
    EXPECT_EQ(readout->LayoutKind(), 3u);
    EXPECT_FALSE(readout->IsEnabled());
    // x = rh + (w - 1) - rw + 2, y = h - lh + 1.
    EXPECT_EQ(readout->GetRect(), (UI::Rect{161, 190, 11, 22}));
    slider->SetTransparency(40);
    EXPECT_EQ(readout->GetTransparency(), 40);
}

TEST_F(SliderTest, PositionFollowsPointsAndIsLimitedToTheTrack) {
    EXPECT_EQ(slider->PositionFromPoint({-5, 3}), 0u);
    EXPECT_EQ(slider->PositionFromPoint({0, 3}), 0u);
    EXPECT_EQ(slider->PositionFromPoint({199, 3}), 199u);
    EXPECT_EQ(slider->PositionFromPoint({250, 3}), 200u);

    // The owner's own setting: only "sigPositionChanged(uint)", limited to L, once per change.
    slider->SetPosition(120);
    slider->SetPosition(120);
    slider->SetPosition(5000);
    EXPECT_EQ(Take(), (Log{"pos 120", "pos 200"}));
    EXPECT_EQ(slider->GetPosition(), 200u);
}

TEST_F(SliderTest, PressesAndDragsMoveThePositionAndTellTheOwner) {
    // A press at the left edge where the position already is: only the grab.
    EXPECT_TRUE(Mouse(0, 10, 15, 1));
    EXPECT_EQ(Take(), (Log{"focus", "grabbed"}));
    EXPECT_EQ(frame->CaptureWindow(), slider);
    EXPECT_EQ(frame->FocusWindow(), slider);
    Mouse(1, 10, 15);
    EXPECT_EQ(Take(), (Log{"undo", "released"}));
    EXPECT_EQ(frame->CaptureWindow(), nullptr);

    // At the right edge: 199; only a drag beyond the end reaches 200.
    Mouse(0, 209, 15, 1);
    EXPECT_EQ(Take(), (Log{"pos 199", "user 199", "grabbed"}));
    Mouse(6, 400, 200, 1);
    Mouse(6, 401, 200, 1);  // asks for 200 again: nothing
    Mouse(6, 60, 200, 1);
    EXPECT_EQ(Take(), (Log{"pos 200", "user 200", "pos 50", "user 50"}));
    Mouse(6, -100, 15, 1);
    EXPECT_EQ(Take(), (Log{"pos 0", "user 0"}));
    Mouse(1, -100, 15);
    EXPECT_EQ(Take(), (Log{"undo", "released"}));
    // Moves without the capture are not the slider's.
    EXPECT_FALSE(slider->OnMouseMove({50, 5}, 0));
    EXPECT_TRUE(TakeProbe().empty());
}

TEST_F(SliderTest, ThumbToleranceKeepsTheGrabOffset) {
    slider->tolerance = {3, 3};
    slider->SetPosition(100);
    Take();
    Mouse(0, 112, 15, 1);  // 102: within the thumb
    EXPECT_EQ(slider->GetPosition(), 100u);
    Mouse(6, 122, 15, 1);  // the thumb follows with its offset of 2
    EXPECT_EQ(slider->GetPosition(), 110u);
    Mouse(1, 122, 5);
    Take();
    Mouse(0, 116, 15, 1);  // 106: 4 before the thumb at 110 jumps there
    EXPECT_EQ(Take(), (Log{"pos 106", "user 106", "grabbed"}));
    Mouse(6, 126, 15, 1);
    EXPECT_EQ(slider->GetPosition(), 116u);
    Mouse(1, 127, 5);
}

TEST_F(SliderTest, ControlDragReportsPrecisionMovesOnly) {
    Mouse(0, 60, 15, 1);  // 50
    Take();
    Mouse(6, 70, 15, 1 | Modifier::Ctrl);
    Mouse(6, 90, 15, 1 | Modifier::Ctrl);
    EXPECT_EQ(Take(), (Log{"precision 50 9", "precision 50 29"}));
    EXPECT_EQ(slider->GetPosition(), 50u);
    // Without Control the drag goes on from the mouse; with it again, measured from there.
    Mouse(6, 80, 15, 1);
    Mouse(6, 85, 15, 1 | Modifier::Ctrl);
    Mouse(1, 85, 5);
    EXPECT_EQ(Take(), (Log{"pos 70", "user 70", "precision 70 4", "undo", "released"}));
}

TEST_F(SliderTest, PressesOutsideTheTrackAndAltClicks) {
    // Below the track, left of the readout box: taken, nothing happens.
    EXPECT_TRUE(Mouse(0, 20, 27, 1));
    EXPECT_TRUE(Take().empty());
    EXPECT_TRUE(TakeProbe().empty());
    EXPECT_EQ(frame->CaptureWindow(), nullptr);

    system->InjectKey(window, {Platform::Gui::KeyKind::Down, Key::Alt, 0, 0, false});
    Take();
    EXPECT_TRUE(Mouse(0, 100, 15, 1));
    EXPECT_EQ(Take(), Log{"alt"});
    EXPECT_EQ(frame->CaptureWindow(), nullptr);
    EXPECT_EQ(slider->GetPosition(), 0u);
    system->InjectKey(window, {Platform::Gui::KeyKind::Up, Key::Alt, 0, 0, false});

    EXPECT_TRUE(Mouse(2, 100, 15, 1));
    EXPECT_EQ(Take(), Log{"double"});
    EXPECT_EQ(slider->GetPosition(), 0u);

    // The wheel is not the slider's: it reaches the window beneath.
    EXPECT_TRUE(Mouse(7, 100, 15, 0, 120));
    EXPECT_EQ(TakeProbe(), Log{"back Wheel120 100,15 m0"});
}

TEST_F(SliderTest, KeysAreReportedNotCarriedOut) {
    Focus();
    slider->SetPosition(30);
    Take();
    EXPECT_TRUE(KeyDown(Key::PageUp, Modifier::Shift));
    EXPECT_TRUE(KeyDown(Key::PageUp));
    EXPECT_TRUE(KeyDown(Key::PageDown, Modifier::Shift));
    EXPECT_TRUE(KeyDown(Key::End));
    EXPECT_TRUE(KeyDown(Key::Home));
    EXPECT_TRUE(KeyDown(Key::Up, 0, true));
    EXPECT_TRUE(KeyDown(Key::Right, Modifier::Shift));
    EXPECT_TRUE(KeyDown(Key::Left));
    EXPECT_TRUE(KeyDown(Key::Down, Modifier::Shift));
    EXPECT_FALSE(KeyDown('A'));
    EXPECT_TRUE(frame->OnKey(1, Key::Up, 0, 0, false));
    EXPECT_EQ(Take(),
        (Log{"key up 2", "key up 1", "key down 2", "key up -", "key down -", "key up 0 repeat", "key up 1",
            "key down 0", "key down 1", "key release"}));
    EXPECT_EQ(slider->GetPosition(), 30u);

    frame->SetFocus(nullptr);
    EXPECT_EQ(Take(), Log{"lost focus"});
}

TEST_F(SliderTest, TypedEntryOpensThePromptOnTheReadout) {
    std::vector<UI::Point> points;
    String answer = "12.5";
    bool accept = true;
    UI::Slider::SetPrompt([&](UI::Frame* f, UI::Point at, String& text, const String& rejected) {
        EXPECT_EQ(f, frame.get());
        EXPECT_EQ(text, "3 dB");
        EXPECT_TRUE(rejected.Find('a').has_value());
        EXPECT_TRUE(rejected.Find('\t').has_value());
        for (char allowed : std::string("-.0123456789")) EXPECT_FALSE(rejected.Find(allowed).has_value());
        points.push_back(at);
        if (accept) text = answer;
        return accept;
    });
    slider->GetReadout()->SetText("3 dB");

    // A press on the readout box: the prompt centred at (150 + 8 + 25, 21 - 10 + 5) plus the frame position.
    EXPECT_TRUE(Mouse(0, 170, 25, 1));
    EXPECT_EQ(Take(), (Log{"edited 12.5", "focus"}));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0], (UI::Point{193, 26}));
    EXPECT_EQ(frame->CaptureWindow(), nullptr);

    // Keypad Enter, then a cancelled prompt: nothing emitted.
    EXPECT_TRUE(KeyDown(Key::KeypadEnter));
    answer = "";
    EXPECT_TRUE(KeyDown(Key::KeypadEnter));
    accept = false;
    const auto slot = slider->MetaObject()->IndexOfSlot("slotEditDialog()");
    ASSERT_TRUE(slot.has_value());
    std::vector<void*> none;
    EXPECT_TRUE(slider->InvokeSlot(*slot, none));
    EXPECT_EQ(Take(), (Log{"edited 12.5", "edited "}));
    EXPECT_EQ(points.size(), 4u);
}

TEST_F(SliderTest, ResizingRescalesThePositionRounded) {
    auto* s = Make(UI::Slider::Horizontal, 10, 100, 100, 22);
    SliderRecorder r(s);
    s->SetPosition(50);
    Take();
    s->SetGeometry(10, 100, 200, 22);
    EXPECT_EQ(Take(), Log{"pos 100"});
    s->SetGeometry(10, 100, 33, 22);  // 100 of 200 is 16.5 of 33: rounded away from zero
    EXPECT_EQ(s->GetPosition(), 17u);
    s->SetPosition(33);
    s->SetGeometry(10, 100, 7, 22);
    EXPECT_EQ(s->GetPosition(), 7u);
    // Too small to measure: the length stays.
    s->SetGeometry(10, 100, 2, 22);
    EXPECT_EQ(s->GetTrackLength(), 7);
    // Narrower than the readout box is still a track of its own width.
    s->SetGeometry(10, 100, 40, 22);
    EXPECT_EQ(s->GetTrackLength(), 40);
    EXPECT_EQ(s->GetPosition(), 40u);
}

TEST_F(SliderTest, VerticalSliderCountsUpwardsAndItsReadoutFollows) {
    auto* s = Make(UI::Slider::Vertical, 300, 50, 50, 100);  // track {0..19, 0..99}, readout box 30 x 12 on the right
    SliderRecorder r(s);
    EXPECT_EQ(s->GetTrackRect(), (UI::Rect{0, 19, 0, 99}));
    EXPECT_TRUE(s->GetReadoutRect().IsEmpty());
    EXPECT_EQ(s->GetEndRect(), (UI::Rect{20, 49, 87, 98}));  // at position 0, limited to h - 1 - rh
    Mouse(0, 305, 149, 1);
    Mouse(1, 305, 149);
    EXPECT_EQ(s->GetPosition(), 0u);
    Mouse(0, 305, 50, 1);
    EXPECT_EQ(s->GetPosition(), 99u);
    Mouse(6, 305, 0, 1);
    Mouse(1, 305, 0);
    EXPECT_EQ(s->GetPosition(), 100u);
    EXPECT_EQ(s->GetEndRect(), (UI::Rect{20, 49, 0, 11}));
    s->SetPosition(40);
    EXPECT_EQ(s->GetEndRect(), (UI::Rect{20, 49, 59, 70}));
    // The readout rides in the box: x = left + 2, y = top + (12 - 12) / 2.
    EXPECT_EQ(s->GetReadout()->GetRect().TopLeft(), (UI::Point{22, 59}));

    s->SetReadoutRight(false);
    EXPECT_EQ(s->GetTrackRect(), (UI::Rect{30, 49, 0, 99}));
    EXPECT_EQ(s->GetEndRect(), (UI::Rect{0, 29, 59, 70}));
    EXPECT_EQ(s->GetReadout()->GetRect().TopLeft(), (UI::Point{7, 59}));

    // Control drag measures upwards from the anchor.
    Take();
    Mouse(0, 340, 109, 1);  // 40 from the bottom: the position already
    Mouse(6, 340, 99, 1 | Modifier::Ctrl);
    Mouse(1, 340, 99);
    EXPECT_EQ(Take(), (Log{"grabbed", "precision 40 9", "undo", "released"}));
}

TEST_F(SliderTest, SlotMayDeleteTheSliderThatEmits) {
    // Each handler returns without touching the deleted slider, and the signals after the
    // deleting one are not emitted (the sanitizer build checks the memory).
    recorder.reset();
    const auto doomed = [&](const char* signal) {
        DrawnSlider* s = Make(UI::Slider::Horizontal, 10, 10, 200, 22);
        recorder = std::make_unique<SliderRecorder>(s);
        auto deleter = std::make_unique<SliderDeleter>(s);
        Object::Connect(s, signal, deleter.get(), "1slotDelete()");
        Take();
        return deleter;
    };
    const std::vector<std::pair<const char*, Log>> cases{{"2sigPositionChanged(uint)", {"pos 100"}},
        {"2sigUserPositionChanged(uint)", {"pos 100", "user 100"}},
        {"2sigMouseGrabbed()", {"pos 100", "user 100", "focus", "grabbed"}}};
    for (const auto& [signal, expected] : cases) {
        auto deleter = doomed(signal);
        EXPECT_TRUE(Mouse(0, 110, 15, 1)) << signal;
        EXPECT_EQ(deleter->deletions, 1) << signal;
        EXPECT_EQ(frame->CaptureWindow(), nullptr) << signal;
        EXPECT_EQ(Take(), expected) << signal;
        Mouse(1, 110, 15);
    }

    auto deleter = doomed("2sigPostUndoEvent()");
    Mouse(0, 110, 15, 1);
    Mouse(6, 120, 15, 1);
    Mouse(1, 120, 15);
    EXPECT_EQ(deleter->deletions, 1);
    EXPECT_EQ(Take(), (Log{"pos 100", "user 100", "focus", "grabbed", "pos 110", "user 110", "undo"}));

    deleter = doomed("2sigEdited(const String&)");
    UI::Slider::SetPrompt([](UI::Frame*, UI::Point, String& text, const String&) {
        text = "3";
        return true;
    });
    EXPECT_TRUE(Mouse(0, 170, 25, 1));
    EXPECT_EQ(deleter->deletions, 1);
    EXPECT_EQ(frame->FocusWindow(), nullptr);
}
