// Buttons, push buttons and check boxes driven through the frame on the fake window system.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/Widgets/Button.h>
#include <QvBase/UI/Widgets/CheckBox.h>
#include <QvBase/UI/Widgets/PushButton.h>

#include <Platform/Gui/Keys.h>

using namespace toolkit_test;
namespace Key = Platform::Gui::Key;

namespace {

std::vector<std::string> g_buttonLog;

class ButtonRecorder : public Object {
    QV_OBJECT()
public:
    explicit ButtonRecorder(UI::Button* watched) : Object("ButtonRecorder"), button(watched) {
        Object::Connect(watched, "2sigClicked()", this, "1slotClicked()");
        Object::Connect(watched, "2sigRightClicked()", this, "1slotRightClicked()");
        Object::Connect(watched, "2sigValueChanged()", this, "1slotValueChanged()");
    }
    void slotClicked() { Log("clicked"); }
    void slotRightClicked() { Log("right"); }
    void slotValueChanged() { Log(button->IsChecked() ? "checked" : "unchecked"); }

    UI::Button* button;
    bool busyEveryTime = true;

private:
    void Log(const char* what) {
        busyEveryTime = busyEveryTime && button->IsBusy();
        g_buttonLog.push_back(what);
    }
};

// Deletes the window that emitted to it, as an owner closing a panel from its own button does.
class SenderDeleter : public Object {
    QV_OBJECT()
public:
    explicit SenderDeleter(UI::Window* watched) : Object("SenderDeleter"), window(watched) {}
    void slotDelete() {
        delete window;
        window = nullptr;
        ++deletions;
    }
    UI::Window* window;
    int deletions = 0;
};

template <class Widget>
class Drawn : public Widget {
public:
    using Widget::Widget;
    void Paint(UI::DrawContext&) override {}
};
using PlainButton = Drawn<UI::Button>;
using DrawnPushButton = Drawn<UI::PushButton>;
using DrawnCheckBox = Drawn<UI::CheckBox>;

class ButtonTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        frame = MakeFrame(300, 200, nullptr);
        back = new Probe(frame.get(), nullptr, "back", &probeLog);
        back->SetGeometry(0, 0, 300, 200);
        button = new PlainButton(frame.get(), back, "Plain");
        button->SetGeometry(10, 10, 40, 20);  // frame 10..49, 10..29
        recorder = std::make_unique<ButtonRecorder>(button);
        g_buttonLog.clear();
    }
    void TearDown() override {
        recorder.reset();
        frame.reset();
        ToolkitTest::TearDown();
    }
    static std::vector<std::string> Take() { return std::exchange(g_buttonLog, {}); }
    std::vector<std::string> TakeProbe() { return std::exchange(probeLog, {}); }
    bool Mouse(uint code, int x, int y, uint modifiers = 0) { return frame->OnMouse(code, {x, y}, modifiers, 0); }
    bool KeyDown(uint key, uint modifiers = 0) { return frame->OnKey(0, key, 0, modifiers, false); }

    std::unique_ptr<UI::Frame> frame;
    Probe* back = nullptr;
    PlainButton* button = nullptr;
    std::unique_ptr<ButtonRecorder> recorder;
    std::vector<std::string> probeLog;
};

using Log = std::vector<std::string>;

}  // namespace

QV_META_BEGIN(SenderDeleter, Object)
    QV_META_SLOTS
    QV_SLOT(slotDelete)
QV_META_END

QV_META_BEGIN(ButtonRecorder, Object)
    QV_META_SLOTS
    QV_SLOT(slotClicked)
    QV_SLOT(slotRightClicked)
    QV_SLOT(slotValueChanged)
QV_META_END

TEST_F(ButtonTest, PlainButtonClicksOnReleaseInsideOnly) {
    EXPECT_TRUE(Mouse(0, 20, 15, 1));
    EXPECT_EQ(frame->CaptureWindow(), button);
    EXPECT_EQ(frame->FocusWindow(), button);
    EXPECT_TRUE(Take().empty());  // the press alone emits nothing
    // A second press while captured is swallowed.
    EXPECT_TRUE(Mouse(0, 20, 15, 1));
    EXPECT_TRUE(Mouse(1, 49, 29));
    EXPECT_EQ(Take(), Log{"clicked"});
    EXPECT_EQ(frame->CaptureWindow(), nullptr);

    // Dragged outside before the release: no click, and the capture still ends.
    Mouse(0, 20, 15, 1);
    Mouse(6, 200, 100, 1);
    EXPECT_TRUE(Mouse(1, 50, 15));
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(frame->CaptureWindow(), nullptr);
    // The drag's events went to the captured button, not to the window beneath.
    EXPECT_TRUE(TakeProbe().empty());

    // A release without a press is not the button's: it reaches the parent.
    EXPECT_TRUE(Mouse(1, 20, 15));
    EXPECT_EQ(TakeProbe(), Log{"back LeftUp 20,15 m0"});
    EXPECT_TRUE(Take().empty());
    EXPECT_TRUE(recorder->busyEveryTime);
}

TEST_F(ButtonTest, RightButtonOnlyWhenHandled) {
    EXPECT_TRUE(Mouse(3, 20, 15, 4));
    EXPECT_EQ(TakeProbe(), Log{"back RightDown 20,15 m4"});
    EXPECT_EQ(frame->CaptureWindow(), nullptr);

    button->SetHandlesRightButton(true);
    EXPECT_TRUE(Mouse(3, 20, 15, 4));
    EXPECT_TRUE(TakeProbe().empty());
    EXPECT_EQ(frame->CaptureWindow(), button);
    EXPECT_EQ(frame->FocusWindow(), button);
    EXPECT_TRUE(Mouse(4, 21, 16));
    EXPECT_EQ(Take(), Log{"right"});
    EXPECT_EQ(frame->CaptureWindow(), nullptr);

    Mouse(3, 20, 15, 4);
    Mouse(4, 5, 5);  // outside
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(frame->CaptureWindow(), nullptr);
}

TEST_F(ButtonTest, KeypadEnterActivatesTheFocusedButton) {
    Mouse(0, 20, 15, 1);
    Mouse(1, 20, 15);
    Take();
    EXPECT_TRUE(KeyDown(Key::KeypadEnter));
    EXPECT_TRUE(KeyDown(Key::KeypadEnter, Platform::Gui::Modifier::Shift));
    EXPECT_EQ(Take(), (Log{"clicked", "right"}));
    // The main Enter key and the rest are not the button's.
    EXPECT_FALSE(KeyDown(Key::Return));
    EXPECT_FALSE(KeyDown(Key::Space));
    EXPECT_FALSE(frame->OnKey(2, 'a', 'a', 0, false));
    EXPECT_TRUE(Take().empty());
}

TEST_F(ButtonTest, LosingTheCaptureEndsThePressAsAClick) {
    Mouse(0, 20, 15, 1);
    Probe* other = new Probe(frame.get(), back, "other");
    frame->SetCapture(other);
    EXPECT_EQ(Take(), Log{"clicked"});
    EXPECT_EQ(frame->CaptureWindow(), other);
}

TEST_F(ButtonTest, DisabledButtonLetsClicksThrough) {
    button->SetEnabled(false);
    EXPECT_TRUE(Mouse(0, 20, 15, 1));
    EXPECT_EQ(TakeProbe(), Log{"back LeftDown 20,15 m1"});
    EXPECT_EQ(frame->CaptureWindow(), nullptr);
    button->SetEnabled(true);
    Mouse(0, 20, 15, 1);
    Mouse(1, 20, 15);
    EXPECT_EQ(Take(), Log{"clicked"});
}

TEST_F(ButtonTest, ToggleFlipsOnEveryPressAndNothingOnRelease) {
    button->SetToggle(true);
    Mouse(0, 20, 15, 1);
    EXPECT_EQ(Take(), (Log{"checked", "clicked"}));
    Mouse(1, 20, 15);
    EXPECT_TRUE(Take().empty());
    Mouse(0, 20, 15, 1);
    Mouse(1, 200, 150);
    EXPECT_EQ(Take(), (Log{"unchecked", "clicked"}));
    EXPECT_TRUE(KeyDown(Key::KeypadEnter, Platform::Gui::Modifier::Shift));
    EXPECT_EQ(Take(), (Log{"checked", "clicked"}));

    // The owner's own changes: one signal per change, no click, not busy.
    recorder->busyEveryTime = true;
    button->SetChecked(true);
    EXPECT_TRUE(Take().empty());
    button->SetChecked(false);
    EXPECT_EQ(Take(), Log{"unchecked"});
    EXPECT_FALSE(recorder->busyEveryTime);
}

TEST_F(ButtonTest, PushButtonPlacesItsLabelAndFadesWhenDisabled) {
    auto* push = new DrawnPushButton(frame.get(), back, "Go", "Go!", "Label");
    EXPECT_EQ(push->Width(), 100);
    EXPECT_EQ(push->Height(), 20);
    EXPECT_EQ(push->GetCaption(), "Go!");
    ASSERT_NE(push->GetLabel(), nullptr);
    UI::Window* label = push->GetLabel();
    EXPECT_EQ(label->Name(), "Go Label Text");
    EXPECT_EQ(push->GetLabel()->GetText(), "Label");
    EXPECT_EQ(label->Parent(), back);
    EXPECT_EQ(label->LayoutKind(), 3u);
    EXPECT_FALSE(label->IsEnabled());

    label->SetSize(40, 11);
    push->SetGeometry(100, 50, 100, 20);
    EXPECT_EQ(label->GetRect(), (UI::Rect{57, 96, 54, 64}));  // 50 + (20 - 11) / 2

    // The label is disabled: a click on it reaches the window beneath.
    EXPECT_TRUE(Mouse(0, 60, 58, 1));
    EXPECT_EQ(TakeProbe(), Log{"back LeftDown 60,58 m1"});
    Mouse(1, 60, 58);
    TakeProbe();

    push->SetEnabled(false);
    EXPECT_EQ(push->GetExtraTransparency(), 120);
    EXPECT_EQ(push->EffectiveTransparency(), 120);
    push->SetEnabled(true);
    EXPECT_EQ(push->GetExtraTransparency(), 0);

    push->SetCaption("Stop");
    EXPECT_EQ(push->GetCaption(), "Stop");

    auto* bare = new DrawnPushButton(frame.get(), back, "Bare", "", "");
    EXPECT_EQ(bare->GetLabel(), nullptr);
    bare->SetGeometry(5, 5, 30, 30);
    EXPECT_EQ(bare->GetRect(), (UI::Rect{5, 34, 5, 34}));
}

TEST_F(ButtonTest, CheckBoxTogglesAndLaysOutItsLabel) {
    auto* box = new DrawnCheckBox(frame.get(), back, "Loud", "Loud");
    ButtonRecorder boxRecorder(box);
    UI::Window* label = box->GetLabel();
    EXPECT_EQ(label->Name(), "CheckBox Loud Label Text");
    EXPECT_EQ(box->GetLabel()->GetText(), "Loud");
    EXPECT_EQ(label->Parent(), box);
    EXPECT_EQ(label->LayoutKind(), 3u);
    EXPECT_FALSE(label->IsEnabled());
    EXPECT_TRUE(box->IsToggle());
    EXPECT_EQ(box->Height(), 10);

    label->SetSize(30, 8);
    box->SetGeometry(100, 100, 100, 10);
    // Box of side 10, gap 4: label at 14, y = 5 - 4 + 0 + 1; width follows the label.
    EXPECT_EQ(label->GetRect(), (UI::Rect{14, 43, 2, 9}));
    EXPECT_EQ(box->Width(), 44);
    box->SetLabelOffset(-2);
    EXPECT_EQ(label->GetRect().top, 0);
    box->SetLabelGap(6);
    EXPECT_EQ(box->Width(), 46);
    box->SetLabelOffset(0);
    box->SetLabelCentred(true);
    box->SetGeometry(100, 100, 80, 10);
    EXPECT_EQ(label->GetRect(), (UI::Rect{26, 55, 2, 9}));  // 40 - 15 + 1
    EXPECT_EQ(box->Width(), 80);

    EXPECT_FALSE(box->IsColourGiven());
    box->SetColour(0x123456);
    EXPECT_TRUE(box->IsColourGiven());
    EXPECT_EQ(label->GetColour(), 0x123456u);
    box->SetTransparency(77);
    EXPECT_EQ(label->GetTransparency(), 77);

    // A click anywhere on it, the label included, toggles it.
    Take();
    Mouse(0, 130, 105, 1);
    Mouse(1, 130, 105);
    EXPECT_EQ(Take(), (Log{"checked", "clicked"}));
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(frame->FocusWindow(), box);
}

TEST_F(ButtonTest, SlotMayDeleteTheButtonThatEmits) {
    // A plain click, a toggle's value change, and keypad Enter: each handler returns
    // without touching the deleted button (the sanitizer build checks it).
    recorder.reset();
    const auto doomed = [&](bool toggle, const char* signal) {
        auto* b = new PlainButton(frame.get(), back, "Doomed");
        b->SetGeometry(10, 10, 40, 20);
        b->SetToggle(toggle);
        auto deleter = std::make_unique<SenderDeleter>(b);
        Object::Connect(b, signal, deleter.get(), "1slotDelete()");
        return deleter;
    };
    auto deleter = doomed(false, "2sigClicked()");
    EXPECT_TRUE(Mouse(0, 20, 15, 1));
    EXPECT_TRUE(Mouse(1, 20, 15));
    EXPECT_EQ(deleter->deletions, 1);
    EXPECT_EQ(frame->CaptureWindow(), nullptr);

    deleter = doomed(true, "2sigValueChanged()");
    EXPECT_TRUE(Mouse(0, 20, 15, 1));
    EXPECT_EQ(deleter->deletions, 1);
    EXPECT_EQ(frame->CaptureWindow(), nullptr);
    Mouse(1, 20, 15);

    deleter = doomed(false, "2sigClicked()");
    system->SetFocus(frame->NativeWindow());
    frame->SetFocus(static_cast<UI::Window*>(deleter->window));
    EXPECT_TRUE(KeyDown(Key::KeypadEnter));
    EXPECT_EQ(deleter->deletions, 1);
    EXPECT_EQ(frame->FocusWindow(), nullptr);
}
