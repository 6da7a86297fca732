// The window tree: geometry, invalidation, visibility, transparency, ownership.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/Widgets/FocusIndicator.h>

#include <algorithm>

using namespace toolkit_test;
using UI::Rect;

namespace {

class WindowTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        frame = std::make_unique<UI::Frame>(
            info.get(), Platform::Gui::NoWindow, nullptr, UI::Point{}, "F", Rect{0, 199, 0, 199});
    }
    void TearDown() override {
        frame.reset();
        ToolkitTest::TearDown();
    }
    std::vector<Rect> DirtyAfter(const std::function<void()>& change) {
        const_cast<std::vector<Rect>&>(frame->DirtyRects()).clear();
        change();
        return frame->DirtyRects();
    }
    std::unique_ptr<UI::Frame> frame;
};

class Counting : public Probe {
public:
    using Probe::Probe;
    void OnChildAdded(Window* w) override { added.push_back(w); }
    void OnChildRemoved(Window* w) override { removed.push_back(w); }
    void OnGeometryChanged() override { ++geometryChanges; }
    std::vector<Window*> added, removed;
    int geometryChanges = 0;
};

}  // namespace

TEST_F(WindowTest, GeometryKeepsFramePositionsAndInvalidatesOldAndNewAreas) {
    auto* parent = new Counting(frame.get(), nullptr, "parent");
    parent->SetGeometry(10, 20, 100, 100);
    auto* child = new Counting(frame.get(), parent, "child");
    ASSERT_EQ(parent->added, std::vector<UI::Window*>{child});
    child->SetGeometry(5, 6, 30, 20);
    auto* grand = new Probe(frame.get(), child, "grand");
    grand->SetGeometry(1, 2, 3, 4);
    EXPECT_EQ(grand->FramePosition(), (UI::Point{16, 28}));

    parent->SetGeometry(50, 60, 100, 100);  // moves the whole subtree
    EXPECT_EQ(child->FramePosition(), (UI::Point{55, 66}));
    EXPECT_EQ(grand->FramePosition(), (UI::Point{56, 68}));

    // A move by one pixel: one union rectangle. To a disjoint place: old, then new.
    EXPECT_EQ(DirtyAfter([&] { child->SetGeometry(6, 6, 30, 20); }), (std::vector<Rect>{{55, 85, 66, 85}}));
    EXPECT_EQ(DirtyAfter([&] { child->SetGeometry(60, 60, 30, 20); }),
        (std::vector<Rect>{{56, 85, 66, 85}, {110, 139, 120, 139}}));
    // Nothing changes: nothing happens.
    const int changes = child->geometryChanges;
    EXPECT_TRUE(DirtyAfter([&] { child->SetGeometry(60, 60, 30, 20); }).empty());
    EXPECT_EQ(child->geometryChanges, changes);

    // A fixed width survives SetGeometry; the height does not stay fixed.
    child->SetWidth(100);
    child->SetGeometry(1, 2, 50, 20);
    EXPECT_EQ(child->GetRect(), (Rect{1, 100, 2, 21}));
    child->ResizeWidth(7);  // the plain form keeps the fixed flag too
    EXPECT_EQ(child->Width(), 100);
    child->SetSize(8, 9);
    child->SetGeometry(0, 0, 1, 1);
    EXPECT_EQ(child->GetRect(), (Rect{0, 7, 0, 8}));

    child->MoveInFrame(70, 80, 8, 9);
    EXPECT_EQ(child->GetRect().TopLeft(), (UI::Point{20, 20}));
    EXPECT_EQ(child->FramePosition(), (UI::Point{70, 80}));

    // Invalidation of a part, in window coordinates, is cut to the window.
    EXPECT_EQ(DirtyAfter([&] { child->Invalidate(Rect{4, 100, -3, 2}); }), (std::vector<Rect>{{74, 77, 80, 82}}));
    EXPECT_EQ(DirtyAfter([&] { child->Invalidate(Rect{0, 1, 0, 1}, true); }), (std::vector<Rect>{{0, 1, 0, 1}}));
    EXPECT_EQ(child->GetFocusRect(), (Rect{68, 79, 78, 90}));
}

TEST_F(WindowTest, ShowHideEnableAndColourActOnlyOnChange) {
    auto* w = new Probe(frame.get(), nullptr, "w");
    w->SetGeometry(0, 0, 10, 10);
    EXPECT_EQ(w->GetColour(), frame->GetColour(2));
    EXPECT_TRUE(DirtyAfter([&] { w->Show(); }).empty());
    EXPECT_EQ(DirtyAfter([&] { w->Hide(); }), (std::vector<Rect>{{0, 9, 0, 9}}));
    EXPECT_TRUE(DirtyAfter([&] { w->Hide(); }).empty());
    EXPECT_EQ(DirtyAfter([&] { w->Show(); }), (std::vector<Rect>{{0, 9, 0, 9}}));
    EXPECT_TRUE(DirtyAfter([&] { w->SetEnabled(false); }).empty());
    EXPECT_FALSE(w->IsEnabled());
    EXPECT_TRUE(DirtyAfter([&] { w->SetColour(w->GetColour()); }).empty());
    EXPECT_EQ(DirtyAfter([&] { w->SetColour(0x123456); }), (std::vector<Rect>{{0, 9, 0, 9}}));

    auto* child = new Probe(frame.get(), w, "c");
    EXPECT_TRUE(child->IsVisibleUpTo(nullptr));
    EXPECT_FALSE(child->IsEnabledUpTo(nullptr));
    EXPECT_TRUE(child->IsEnabledUpTo(w));
    w->Hide();
    EXPECT_FALSE(child->IsVisibleUpTo(nullptr));
}

TEST_F(WindowTest, TransparencyLevelsCombineDownTheTree) {
    auto* parent = new Probe(frame.get(), nullptr, "p");
    auto* child = new Probe(frame.get(), parent, "c");
    auto* grand = new Probe(frame.get(), child, "g");
    parent->SetExtraTransparency(100);
    EXPECT_EQ(child->InheritedTransparency(), 100);
    child->SetTransparency(200);
    EXPECT_EQ(child->EffectiveTransparency(), 255);  // not painted
    EXPECT_EQ(grand->EffectiveTransparency(), 100);  // own level reaches the window alone
    child->SetExtraTransparency(50);
    EXPECT_EQ(child->InheritedTransparency(), 150);
    EXPECT_EQ(grand->InheritedTransparency(), 150);
    child->SetExtraTransparency(200);
    EXPECT_EQ(grand->EffectiveTransparency(), 255);
    child->SetExtraTransparency(0);
    EXPECT_EQ(grand->EffectiveTransparency(), 100);
    // A new child takes its parent's inherited level.
    auto* late = new Probe(frame.get(), grand, "late");
    EXPECT_EQ(late->InheritedTransparency(), 100);
    // Re-parented under a fresh top-level window, it takes that parent's level.
    auto* other = new Probe(frame.get(), nullptr, "o");
    late->SetParent(other, {3, 4});
    EXPECT_EQ(late->InheritedTransparency(), 0);
    EXPECT_EQ(late->FramePosition(), (UI::Point{3, 4}));
    EXPECT_EQ(grand->ChildCount(), 0u);
    EXPECT_EQ(other->FindChild("late"), late);
    EXPECT_EQ(other->FindChild("nobody"), nullptr);
    EXPECT_EQ(other->GetChild(1), nullptr);
}

TEST_F(WindowTest, DeletingAParentDeletesItsChildrenAndReparentingMovesTopLevels) {
    auto* parent = new Counting(frame.get(), nullptr, "p");
    auto* a = new Counting(frame.get(), parent, "a");
    new Probe(frame.get(), a, "a1");
    new Probe(frame.get(), parent, "b");
    const std::size_t topLevels = frame->TopLevelWindows().size();
    const auto gone = reinterpret_cast<std::uintptr_t>(a);
    delete a;  // the parent hears of it
    ASSERT_EQ(parent->removed.size(), 1u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(parent->removed[0]), gone);
    EXPECT_EQ(parent->ChildCount(), 1u);
    delete parent;  // its child goes without touching the parent's list
    EXPECT_EQ(frame->TopLevelWindows().size(), topLevels - 1);

    auto* top = new Probe(frame.get(), nullptr, "top");
    auto* holder = new Probe(frame.get(), nullptr, "holder");
    top->SetParent(holder, {0, 0});
    EXPECT_EQ(std::count(frame->TopLevelWindows().begin(), frame->TopLevelWindows().end(), top), 0);
    top->SetParent(nullptr, {5, 5});
    EXPECT_EQ(std::count(frame->TopLevelWindows().begin(), frame->TopLevelWindows().end(), top), 1);
    EXPECT_EQ(frame->TopLevelWindows().back(), static_cast<UI::Window*>(frame->GetFocusIndicator()));
}

TEST_F(WindowTest, LayoutSavableClassesAndDefaults) {
    auto* w = new Probe(frame.get(), nullptr, "w");
    EXPECT_FALSE(UI::Window::IsLayoutSavable(w));
    EXPECT_FALSE(UI::Window::IsLayoutSavable(nullptr));
    EXPECT_EQ(w->LayoutRect(), (Rect{0, 99, 0, 99}));
    EXPECT_EQ(w->GetRect(), Rect{});
    EXPECT_TRUE(w->IsVisible());
    EXPECT_FALSE(w->AcceptsFocus());
    EXPECT_STREQ(w->ClassName(), "UI::Window");
    EXPECT_EQ(w->GetCursor(), Platform::Gui::CursorShape::Arrow);
}
