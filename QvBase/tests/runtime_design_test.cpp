// The layout designer: off in every frame, and what it does once a test switches it on.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/Design/DesignGeometry.h>
#include <QvBase/UI/Design/RuntimeDesign.h>
#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/Layout/Layout.h>
#include <QvBase/UI/Widgets/PushButton.h>

#include <Platform/Gui/Keys.h>

#include <unistd.h>

using namespace toolkit_test;
using UI::Rect;
namespace Key = Platform::Gui::Key;
constexpr unsigned Ctrl = Platform::Gui::Modifier::Ctrl, Shift = Platform::Gui::Modifier::Shift;

namespace {

// A window the designer may select (layout kind 1).
class Part : public Probe {
public:
    Part(UI::Frame* frame, UI::Window* parent, const char* name, std::vector<std::string>* log)
        : Probe(frame, parent, name, log) {
        m_layoutKind = 1;
    }
};

class Panel : public Probe {
public:
    Panel(UI::Frame* frame, std::vector<std::string>* log) : Probe(frame, nullptr, "panel", log) {
        m_layoutName = "DesignPanel";
    }
};

class Button : public UI::PushButton {
public:
    Button(UI::Frame* frame, UI::Window* parent) : PushButton(frame, parent, "btn", "Go", String()) {}
    void Paint(UI::DrawContext&) override {}
};

class RuntimeDesignTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        frame = MakeFrame(300, 200, &dc);
        window = frame->NativeWindow();
        design = frame->GetRuntimeDesign();
        // back is the bottom-most top-level window; panel (the whole frame) holds a, b and c.
        back = new Probe(frame.get(), nullptr, "back", &log);
        back->SetGeometry(0, 0, 300, 200);
        frame->SetRootWindow(back);
        panel = new Panel(frame.get(), &log);
        panel->SetGeometry(0, 0, 300, 200);
        a = new Part(frame.get(), panel, "a", &log);
        b = new Part(frame.get(), panel, "b", &log);
        c = new Part(frame.get(), panel, "c", &log);
        Place();
        Repaint();
    }
    void TearDown() override {
        frame.reset();
        ToolkitTest::TearDown();
    }
    void Place() {
        a->SetGeometry(0, 10, 10, 10);
        b->SetGeometry(30, 40, 20, 15);
        c->SetGeometry(100, 10, 10, 10);
    }
    void Activate() {
        design->SetDisabled(false);
        system->SetKeyToggled(Key::NumLock, true);
    }
    bool Press(unsigned key, unsigned modifiers = 0) {
        const bool taken = frame->OnKey(0, key, 0, modifiers, false);
        frame->OnKey(1, key, 0, modifiers, false);
        return taken;
    }
    void Hold(unsigned key, bool down) {
        system->InjectKey(window, {down ? Platform::Gui::KeyKind::Down : Platform::Gui::KeyKind::Up, key, 0, 0, false});
    }
    void Click(int x, int y, unsigned modifiers = 0) {
        frame->OnMouse(0, {x, y}, modifiers | 1, 0);
        frame->OnMouse(1, {x, y}, modifiers, 0);
    }
    void Drag(UI::Point from, UI::Point to) {
        frame->OnMouse(0, from, 1, 0);
        frame->OnMouse(6, to, 1, 0);
        frame->OnMouse(1, to, 0, 0);
    }
    void Repaint() {
        system->DispatchPosted();
        if (frame->UpdatePosted()) frame->OnCanvasUpdate();
    }
    std::uint32_t Pixel(int x, int y) const {
        const UI::DibSurface& s = *dc.Surface();
        return s.Pixels()[y * s.Stride() + x] & 0xFFFFFFu;
    }
    std::string Readout() const { return design->ReadoutText().CStr(); }
    std::vector<UI::Window*> Windows(std::initializer_list<UI::Window*> list) const { return list; }

    UI::MemoryDrawContext dc{"dc"};
    std::unique_ptr<UI::Frame> frame;
    Platform::Gui::WindowId window = 0;
    UI::RuntimeDesign* design = nullptr;
    Probe *back = nullptr, *panel = nullptr, *a = nullptr, *b = nullptr, *c = nullptr;
    std::vector<std::string> log;
};

}  // namespace

TEST(RuntimeDesignGeometry, HandlesDragsAndSpacingFollowTheHandWorkedValues) {
    using H = UI::Design::Handle;
    const Rect r{10, 29, 10, 29};
    struct HandleCase {
        UI::Point p;
        bool widthFixed, heightFixed;
        H handle;
    } handles[] = {{{10, 10}, false, false, H::TopLeft}, {{13, 29}, false, false, H::BottomLeft},
        {{29, 26}, false, false, H::BottomRight}, {{29, 10}, false, false, H::TopRight},
        {{10, 20}, false, false, H::Left}, {{29, 20}, false, false, H::Right}, {{20, 10}, false, false, H::Top},
        {{20, 29}, false, false, H::Bottom}, {{14, 14}, false, false, H::Inside}, {{10, 20}, true, false, H::Inside},
        {{10, 10}, true, false, H::TopLeft}, {{20, 10}, false, true, H::Inside}, {{10, 10}, true, true, H::Inside}};
    for (const HandleCase& h : handles)
        EXPECT_EQ(UI::Design::HandleAt(r, h.p, h.widthFixed, h.heightFixed), h.handle) << h.p.x << "," << h.p.y;

    EXPECT_EQ(UI::Design::DragHandle(r, H::BottomRight, {5, -3}, false, false), (Rect{10, 34, 10, 26}));
    EXPECT_EQ(UI::Design::DragHandle(r, H::TopLeft, {5, 5}, true, false), (Rect{10, 29, 15, 29}));
    EXPECT_EQ(
        UI::Design::DragHandle(r, H::Left, {30, 0}, false, false), (Rect{29, 29, 10, 29}));  // never past the right
    EXPECT_EQ(UI::Design::DragHandle(r, H::Inside, {-10, 1}, true, true), (Rect{0, 19, 11, 30}));

    // Span 110 less 30 of windows: gaps of 40. Span 110 less 40: gaps of 23 and one pixel left over.
    EXPECT_EQ(UI::Design::SpacedStarts({0, 30, 100}, {10, 10, 10}, false), (std::vector<int>{0, 50, 100}));
    EXPECT_EQ(UI::Design::SpacedStarts({0, 1, 2, 100}, {10, 10, 10, 10}, false), (std::vector<int>{0, 33, 66, 99}));
    EXPECT_EQ(UI::Design::SpacedStarts({0, 1, 2, 100}, {10, 10, 10, 10}, true), (std::vector<int>{0, 34, 67, 100}));
}

TEST_F(RuntimeDesignTest, WithTheFrameDisablingItNumLockChangesNothing) {
    system->SetKeyToggled(Key::NumLock, true);
    system->SetKeyToggled(Key::CapsLock, true);
    back->takesKeys = true;
    log.clear();
    Click(5, 15);
    EXPECT_TRUE(Press('A'));
    EXPECT_EQ(log,
        (std::vector<std::string>{"a LeftDown 5,5 m1", "a LeftUp 5,5 m0", "back KeyDown 65 m0", "back KeyUp 65 m0"}));
    Repaint();
    EXPECT_FALSE(design->IsActive());
    EXPECT_TRUE(design->Selection().empty());
    for (UI::Window* w : frame->TopLevelWindows()) {
        EXPECT_TRUE(w->LayoutKind() != 3 || !w->IsVisible()) << w->Name().CStr();
    }
    EXPECT_EQ(Pixel(10, 15), 0u);  // where a selection mark would be
}

TEST_F(RuntimeDesignTest, ActiveItTakesEventsSelectsAndReportsWhatIsSelected) {
    Activate();
    log.clear();
    frame->OnMouse(6, {150, 150}, 0, 0);
    EXPECT_TRUE(design->IsActive());
    EXPECT_EQ(Readout(), "no objects selected");
    Click(5, 15);
    EXPECT_EQ(Readout(), "Class: UI::Window Name: a: [0,10 10x10]");
    EXPECT_TRUE(Press('A'));
    EXPECT_EQ(Readout(), "Must select 2 or more objects");
    Click(35, 45, Ctrl);
    Click(105, 15, Ctrl);
    EXPECT_EQ(design->Selection(), Windows({a, b, c}));
    EXPECT_EQ(Readout(), "3 objects [0,10 110x45]");
    Click(35, 45, Ctrl);  // Control takes a selected window out again
    EXPECT_EQ(design->Selection(), Windows({a, c}));
    EXPECT_TRUE(log.empty()) << log.front();  // nothing reached the widgets

    Hold(Key::Alt, true);
    EXPECT_FALSE(Press(Key::F1 + 3));  // Alt+F4 goes on, here to the root window
    Hold(Key::Alt, false);
    EXPECT_EQ(log, (std::vector<std::string>{"back KeyDown 115 m0", "back KeyUp 115 m0"}));
    log.clear();

    // The marks show over the painted tree, in red one pixel outside a's rectangle.
    Repaint();
    EXPECT_EQ(Pixel(10, 15), 0xFF0000u);
    EXPECT_EQ(Pixel(5, 9), 0xFF0000u);

    system->SetKeyToggled(Key::NumLock, false);
    Click(5, 15);
    EXPECT_FALSE(design->IsActive());
    EXPECT_TRUE(design->Selection().empty());
    EXPECT_EQ(log.front(), "a LeftDown 5,5 m1");
}

TEST_F(RuntimeDesignTest, AlignsEdgesAndSizesToTheLargestOrTheSmallest) {
    struct Case {
        unsigned shift, key;
        Rect a, b;
        const char* message;
    } cases[] = {
        {Shift, 'L', {30, 39, 10, 19}, {30, 49, 40, 54}, "Aligned left"},
        {0, 'L', {0, 9, 10, 19}, {0, 19, 40, 54}, "Aligned left"},
        {Shift, 'R', {40, 49, 10, 19}, {30, 49, 40, 54}, "Aligned right"},
        {0, 'R', {0, 9, 10, 19}, {-10, 9, 40, 54}, "Aligned right"},
        {Shift, 'T', {0, 9, 40, 49}, {30, 49, 40, 54}, "Aligned top"},
        {0, 'T', {0, 9, 10, 19}, {30, 49, 10, 24}, "Aligned top"},
        {Shift, 'B', {0, 9, 45, 54}, {30, 49, 40, 54}, "Aligned bottom"},
        {0, 'B', {0, 9, 10, 19}, {30, 49, 5, 19}, "Aligned bottom"},
        {Shift, 'W', {0, 19, 10, 19}, {30, 49, 40, 54}, "Set widths"},
        {0, 'W', {0, 9, 10, 19}, {30, 39, 40, 54}, "Set widths"},
        {Shift, 'H', {0, 9, 10, 24}, {30, 49, 40, 54}, "Set heights"},
        {0, 'H', {0, 9, 10, 19}, {30, 49, 40, 49}, "Set heights"},
        {Shift, 'X', {0, 9, 10, 19}, {30, 49, 40, 54}, "Unknown key"},
    };
    Activate();
    Click(5, 15);
    Click(35, 45, Ctrl);
    for (const Case& t : cases) {
        Place();
        Press(Key::Shift, t.shift);
        Press('A', t.shift);
        EXPECT_EQ(Readout(), "Align (L)eft, (R)ight, (T)op, (B)ottom, (W)idth, (H)eight?");
        Press(t.key, t.shift);
        EXPECT_EQ(a->FrameRect(), t.a) << char(t.key) << t.shift;
        EXPECT_EQ(b->FrameRect(), t.b) << char(t.key) << t.shift;
        EXPECT_EQ(Readout(), t.message);
    }
}

TEST_F(RuntimeDesignTest, SpacesThreeWindowsAndMovesAndResizesByDragging) {
    Activate();
    Click(5, 15);
    Click(35, 45, Ctrl);
    Click(105, 15, Ctrl);
    Hold(Key::Alt, true);
    Press('S');
    Hold(Key::Alt, false);
    EXPECT_EQ(Readout(), "Space (H)orizontally, (V)ertically?");
    b->SetGeometry(30, 40, 10, 15);
    Press('H');
    EXPECT_EQ(a->FrameX(), 0);
    EXPECT_EQ(b->FrameX(), 50);
    EXPECT_EQ(c->FrameX(), 100);

    // Two selected windows move together by the mouse's offset.
    Place();
    Click(105, 15, Ctrl);
    Drag({5, 15}, {25, 20});
    EXPECT_EQ(a->FrameRect(), Rect::FromXYWH(20, 15, 10, 10));
    EXPECT_EQ(b->FrameRect(), Rect::FromXYWH(50, 45, 20, 15));
    EXPECT_EQ(c->FrameRect(), Rect::FromXYWH(100, 10, 10, 10));

    // The bottom-right corner of a selected window resizes it; a width lock keeps the width,
    // and both locks leave no handle, so the drag moves it.
    struct Lock {
        bool width, height;
        Rect after;
    } locks[] = {{false, false, {0, 15, 10, 23}}, {true, false, {0, 9, 10, 23}}, {true, true, {6, 15, 14, 23}}};
    for (const Lock& lock : locks) {
        auto* w = new Part(frame.get(), panel, "w", &log);
        w->SetGeometry(0, 10, 10, 10);
        if (lock.width) w->SetWidth(10);
        if (lock.height) w->SetHeight(10);
        Click(5, 15);
        Drag({9, 19}, {15, 23});
        EXPECT_EQ(w->FrameRect(), lock.after) << lock.width << lock.height;
        delete w;  // leaves the selection with it
        EXPECT_TRUE(design->Selection().empty());
    }
}

TEST_F(RuntimeDesignTest, TheRubberBandSelectsOverlappingChildrenInChildOrder) {
    Activate();
    Hold(Key::Alt, true);
    frame->OnMouse(0, {200, 100}, 1, 0);
    frame->OnMouse(6, {35, 15}, 1, 0);
    EXPECT_EQ(design->Selection(), Windows({b, c}));
    EXPECT_EQ(Readout(), "2 objects [30,10 80x45]");
    Repaint();
    EXPECT_EQ(Pixel(150, 15), 0xC8C8C8u);  // the band's top edge
    frame->OnMouse(1, {35, 15}, 0, 0);
    Hold(Key::Alt, false);
    EXPECT_EQ(design->Selection(), Windows({b, c}));
}

TEST_F(RuntimeDesignTest, ShiftSWritesALayoutTheLoaderReadsBack) {
    char pattern[] = "/tmp/design-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    std::filesystem::create_directories(dir + "/UI/Layout");

    Activate();
    Click(5, 15);
    unsetenv("QVROOT");
    Press('S', Shift);
    EXPECT_EQ(Readout(), "SaveLayout failed");
    setenv("QVROOT", "", 1);
    Press('S', Shift);
    unsetenv("QVROOT");
    EXPECT_EQ(Readout(), "Saved layout to DesignPanel.layout");

    a->SetGeometry(1, 1, 1, 1);
    b->SetGeometry(2, 2, 2, 2);
    EXPECT_TRUE(UI::LoadLayout(String((dir + "/").c_str()), "UI/Layout/DesignPanel.layout", panel));
    EXPECT_EQ(a->GetRect(), Rect::FromXYWH(0, 10, 10, 10));
    EXPECT_EQ(b->GetRect(), Rect::FromXYWH(30, 40, 20, 15));
    Press('L', Ctrl);  // the archive has no layout of the top-level window
    EXPECT_EQ(Readout(), "LoadLayout failed");

    ASSERT_EQ(chdir(previous), 0);
    std::filesystem::remove_all(dir);
}

TEST_F(RuntimeDesignTest, KeysWalkTheTreeNudgeRenameAndTrim) {
    auto* button = new Button(frame.get(), panel);
    button->SetGeometry(200, 10, 30, 20);
    Activate();
    Click(5, 15);
    struct Step {
        unsigned key, modifiers;
        UI::Window* selected;
    } walk[] = {{Key::Tab, 0, b}, {Key::Tab, Shift, a}, {Key::Tab, Shift, button}, {'P', 0, panel}, {'C', 0, a}};
    for (const Step& s : walk) {
        Press(s.key, s.modifiers);
        EXPECT_EQ(design->Selection(), Windows({s.selected})) << s.key;
    }
    Press(Key::Right);
    Press(Key::Down, Shift);
    Press(Key::Right, Ctrl);
    EXPECT_EQ(a->FrameRect(), Rect::FromXYWH(1, 20, 11, 10));

    // F2 edits the push button's name and caption; the new-button prompt only cancels.
    Click(210, 15);
    Press(Key::F1 + 1);
    EXPECT_EQ(Readout(), "Enter Button name: btn");
    for (unsigned key : std::vector<unsigned>{Key::Backspace, Key::Backspace, Key::Backspace, 'O'}) Press(key, Shift);
    for (unsigned key :
        std::vector<unsigned>{'K', Key::KeypadEnter, Key::Backspace, Key::Backspace, '7', Key::KeypadEnter})
        Press(key);
    EXPECT_EQ(button->Name(), "Ok");
    EXPECT_EQ(button->GetCaption(), "7");
    Press('B');
    Press(Key::KeypadEnter);
    Click(5, 15);  // ignored while the prompt is open
    Press(Key::KeypadEnter);
    EXPECT_EQ(Readout(), "Enter Button caption: ");
    Press(Key::Escape);
    EXPECT_EQ(Readout(), "Class: UI::PushButton Name: Ok: [200,10 30x20]");
    Press('G', Ctrl);
    EXPECT_EQ(Readout(), "No active dialog");

    Press(Key::F1 + 7);
    EXPECT_EQ(Readout(), "Clipboard trim mode: [entire frame]");
    Drag({10, 20}, {59, 69});
    EXPECT_EQ(Readout(), "Clipboard trim mode: [10,20 50x50]");
    Repaint();
    EXPECT_EQ(Pixel(30, 20), 0x0032C8u);
    frame->OnMouse(2, {30, 30}, 1, 0);
    EXPECT_TRUE(design->TrimCoversFrame());
}
