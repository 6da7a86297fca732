// Dirty rectangles, the canvas-update message and repaint.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/ToolkitMessages.h>
#include <QvBase/UI/Widgets/FocusIndicator.h>

#include <Platform/Gui/RegisteredMessages.h>

using namespace toolkit_test;
using UI::Rect;

namespace {

class FrameTest : public ToolkitTest {
protected:
    std::size_t CanvasPosts() {
        std::size_t n = 0;
        const std::string needle = " " + std::to_string(UI::CanvasUpdateMessage()) + " ";
        for (const std::string& call : system->Calls())
            if (call.rfind("Post ", 0) == 0 && call.find(needle) != std::string::npos) ++n;
        return n;
    }
    // Settles the frame's start-up repaint so each case begins with a clean list.
    void Settle(UI::Frame& frame) {
        system->DispatchPosted();
        if (frame.UpdatePosted()) frame.OnCanvasUpdate();
        system->ClearCalls();
    }
};

}  // namespace

TEST_F(FrameTest, MergesTouchingAndOverlappingRectanglesAndKeepsSeparateOnes) {
    auto frame =
        std::make_unique<UI::Frame>(info.get(), Platform::Gui::NoWindow, nullptr, UI::Point{}, "F", Rect{0, 99, 0, 99});
    auto dirtyAfter = [&](std::vector<Rect> rects) {
        frame->SetTarget(Platform::Gui::NoWindow, nullptr);  // nothing changes: the list stays
        const_cast<std::vector<Rect>&>(frame->DirtyRects()).clear();
        for (const Rect& r : rects) frame->InvalidateRect(r, true);
        return frame->DirtyRects();
    };
    // Side by side: merged.
    EXPECT_EQ(dirtyAfter({{0, 9, 0, 9}, {10, 19, 0, 9}}), (std::vector<Rect>{{0, 19, 0, 9}}));
    // One column apart: two.
    EXPECT_EQ(dirtyAfter({{0, 9, 0, 9}, {11, 19, 0, 9}}), (std::vector<Rect>{{0, 9, 0, 9}, {11, 19, 0, 9}}));
    // Only a corner in common, diagonally: merged into the bounding box.
    EXPECT_EQ(dirtyAfter({{0, 9, 0, 9}, {10, 19, 10, 19}}), (std::vector<Rect>{{0, 19, 0, 19}}));
    // Overlapping.
    EXPECT_EQ(dirtyAfter({{0, 9, 0, 9}, {5, 14, 5, 14}}), (std::vector<Rect>{{0, 14, 0, 14}}));
    // A bridge touching two entries merges all three into the first and removes the second.
    EXPECT_EQ(dirtyAfter({{0, 9, 0, 9}, {50, 59, 0, 9}, {40, 60, 80, 90}, {10, 49, 0, 5}}),
        (std::vector<Rect>{{0, 59, 0, 9}, {40, 60, 80, 90}}));
    // Cut to the frame; wholly outside: dropped.
    EXPECT_EQ(dirtyAfter({{90, 120, -5, 5}}), (std::vector<Rect>{{90, 99, 0, 5}}));
    EXPECT_TRUE(dirtyAfter({{100, 120, 0, 5}, {-10, -1, 0, 5}, {5, 4, 0, 5}}).empty());
}

TEST_F(FrameTest, PostsOneUpdatePerBatchAndNoneForNothing) {
    UI::MemoryDrawContext dc("dc");
    auto frame = MakeFrame(100, 80, &dc);
    EXPECT_EQ(CanvasPosts(), 1u);  // the whole frame, at construction
    Settle(*frame);

    frame->InvalidateRect({200, 300, 0, 10}, true);  // outside: nothing
    EXPECT_EQ(CanvasPosts(), 0u);
    for (int i = 0; i < 10; ++i) frame->InvalidateRect(Rect::FromXYWH(i * 9, 0, 5, 5), true);
    EXPECT_EQ(CanvasPosts(), 1u);
    EXPECT_EQ(system->PendingPosts(), 1u);
    system->DispatchPosted();  // no handler on this window: the test hands it over itself
    frame->OnCanvasUpdate();
    EXPECT_TRUE(frame->DirtyRects().empty());
    EXPECT_FALSE(frame->UpdatePosted());
    frame->InvalidateRect({0, 0, 0, 0}, false);  // recorded, not posted
    EXPECT_EQ(CanvasPosts(), 1u);
    frame->InvalidateRect({50, 50, 0, 0}, true);
    EXPECT_EQ(CanvasPosts(), 2u);
}

TEST_F(FrameTest, WithoutWindowInvalidationsWaitAndAttachingReplacesThemByTheWholeFrame) {
    UI::MemoryDrawContext dc("dc");
    auto frame =
        std::make_unique<UI::Frame>(info.get(), Platform::Gui::NoWindow, nullptr, UI::Point{}, "F", Rect{0, 49, 0, 29});
    frame->InvalidateRect({60, 70, 0, 5}, true);
    frame->InvalidateRect({0, 3, 0, 3}, true);
    EXPECT_TRUE(system->Calls().empty());
    const auto id = system->CreateWindow({"w", {0, 0, 50, 30}, false, true, "T", 0, nullptr});
    system->ClearCalls();
    frame->SetTarget(id, &dc);
    EXPECT_EQ(frame->DirtyRects(), (std::vector<Rect>{{0, 49, 0, 29}}));
    EXPECT_EQ(CanvasPosts(), 1u);
}

namespace {

// Invalidates itself once while painting.
class SelfInvalidating : public Probe {
public:
    using Probe::Probe;
    void Paint(UI::DrawContext& dc) override {
        Probe::Paint(dc);
        if (paints == 1) Invalidate(Rect{0, 0, 0, 0});
    }
};

}  // namespace

TEST_F(FrameTest, RepaintsDirtyAreasClippedWithTransparencyAndCopiesOnlyThem) {
    UI::MemoryDrawContext dc("dc");
    auto frame = MakeFrame(40, 30, &dc);
    auto* back = new Probe(frame.get(), nullptr, "back");
    back->SetGeometry(0, 0, 40, 30);
    back->SetColour(0x0000FF);
    auto* child = new Probe(frame.get(), back, "child");
    child->SetGeometry(10, 10, 30, 30);  // reaches past the parent: clipped to it
    child->SetColour(0xFF0000);
    auto* grandChild = new Probe(frame.get(), child, "grand");
    grandChild->SetGeometry(5, 5, 10, 10);
    grandChild->SetColour(0x00FF00);
    grandChild->SetTransparency(128);
    auto* hidden = new Probe(frame.get(), back, "hidden");
    hidden->SetGeometry(0, 0, 5, 5);
    hidden->SetColour(0xFFFFFF);
    hidden->Hide();
    system->DispatchPosted();
    frame->OnCanvasUpdate();

    const UI::DibSurface& s = *dc.Surface();
    auto at = [&](int x, int y) { return s.Pixels()[y * s.Stride() + x]; };
    EXPECT_EQ(at(2, 2), 0x0000FFu);  // under the hidden window
    EXPECT_EQ(at(10, 10), 0xFF0000u);  // child's corner
    EXPECT_EQ(at(39, 29), 0xFF0000u);  // child, cut at the frame
    // Green filled at transparency 128 over red: red 0xFF scaled by 128 / 255 gives 0x80, green
    // 0xFF weighted (256 - 128) / 255 gives 0x80; the fill keeps the transparency in the fourth byte.
    EXPECT_EQ(at(15, 15), 0x80808000u);
    EXPECT_EQ(at(24, 24), 0x80808000u);
    EXPECT_EQ(at(25, 25), 0xFF0000u);

    // A later pass touches only the dirty area, and only that is copied to the window.
    system->ClearCalls();
    back->SetColour(0x123456);  // invalidates the whole window
    child->SetGeometry(10, 10, 2, 2);
    system->DispatchPosted();
    frame->OnCanvasUpdate();
    EXPECT_EQ(at(20, 20), 0x123456u);
    back->paints = 0;
    grandChild->paints = 0;
    frame->InvalidateRect({0, 3, 0, 3}, true);
    system->ClearCalls();
    frame->OnCanvasUpdate();
    EXPECT_EQ(system->Calls(), (std::vector<std::string>{"Present 1 (0,0 4x4)"}));
    EXPECT_EQ(back->paints, 1);
    EXPECT_EQ(grandChild->paints, 0);  // outside the clip
}

TEST_F(FrameTest, AWindowThatInvalidatesWhilePaintingGetsAnotherPass) {
    UI::MemoryDrawContext dc("dc");
    auto frame = MakeFrame(20, 20, &dc);
    auto* w = new SelfInvalidating(frame.get(), nullptr, "w");
    w->SetGeometry(0, 0, 20, 20);
    system->DispatchPosted();
    system->ClearCalls();
    frame->OnCanvasUpdate();
    EXPECT_EQ(w->paints, 1);
    EXPECT_TRUE(frame->UpdatePosted());
    EXPECT_EQ(CanvasPosts(), 1u);
    frame->OnCanvasUpdate();
    EXPECT_EQ(w->paints, 2);
    EXPECT_FALSE(frame->UpdatePosted());
}

TEST_F(FrameTest, ResizeRootFocusIndicatorAndTeardown) {
    UI::MemoryDrawContext dc("dc");
    const int framesBefore = UI::Frame::LiveCount();
    auto frame = MakeFrame(20, 20, &dc);
    EXPECT_EQ(UI::Frame::LiveCount(), framesBefore + 1);
    ASSERT_EQ(info->Frames().size(), 1u);
    info->SetMainFrame(frame.get());
    info->SetSecondMainFrame(frame.get());
    auto* root = new Probe(frame.get(), nullptr, "root");
    frame->SetRootWindow(root);
    EXPECT_EQ(root->GetRect(), (Rect{0, 19, 0, 19}));
    auto* other = new Probe(frame.get(), nullptr, "other");
    frame->SetRootWindow(other);  // set once only
    EXPECT_EQ(frame->RootWindow(), root);
    // The focus indicator stays last, also after bringing a window to the front.
    root->BringToFront();
    // The designer's two readout windows come first.
    ASSERT_EQ(frame->TopLevelWindows().size(), 5u);
    EXPECT_EQ(frame->TopLevelWindows()[3], root);
    EXPECT_EQ(frame->TopLevelWindows()[4], frame->GetFocusIndicator());
    EXPECT_FALSE(frame->GetFocusIndicator()->IsVisible());

    frame->Resize({0, 59, 0, 9});
    EXPECT_EQ(root->GetRect(), (Rect{0, 59, 0, 9}));
    EXPECT_EQ(frame->Surface()->Width(), 60);
    frame->Resize({5, 4, 0, 0});  // invalid: a frame of one pixel
    EXPECT_EQ(frame->GetFrameRect(), (Rect{0, 0, 0, 0}));

    frame.reset();  // deletes its windows and leaves the record
    EXPECT_EQ(UI::Frame::LiveCount(), framesBefore);
    EXPECT_TRUE(info->Frames().empty());
    EXPECT_EQ(info->MainFrame(), nullptr);
    EXPECT_EQ(info->SecondMainFrame(), nullptr);
}

TEST_F(FrameTest, ToolkitMessagesAreRegisteredAndDistinct) {
    const unsigned update = UI::CanvasUpdateMessage(), tick = UI::TimerTickMessage();
    EXPECT_NE(update, tick);
    for (unsigned id : {update, tick}) {
        EXPECT_GE(id, Platform::Gui::FirstRegisteredMessage);
        EXPECT_LE(id, Platform::Gui::LastRegisteredMessage);
    }
    EXPECT_EQ(update, Platform::Gui::RegisterMessage("Quorvel_WM_QV_CANVAS_UPDATE"));
    EXPECT_EQ(tick, Platform::Gui::RegisterMessage("Quorvel_WM_QV_CANVAS_UPDATE_TIMER_TICK"));
}

TEST_F(FrameTest, AWindowThatDeletesTheTopLevelWindowItOwnsIsNotDeletedTwiceWithTheFrame) {
    // A top-level pop-up owned by another top-level window, deleted by its owner.
    class Owner : public Probe {
    public:
        Owner(UI::Frame* frame, std::vector<std::string>* log) : Probe(frame, nullptr, "owner", log) {
            popUp = new Probe(frame, nullptr, "popUp", log);
        }
        ~Owner() override { delete popUp; }
        Probe* popUp;
    };
    std::vector<std::string> log;
    const int framesBefore = UI::Frame::LiveCount();
    auto frame = MakeFrame(20, 20, nullptr);
    auto* owner = new Owner(frame.get(), &log);
    auto* late = new Probe(frame.get(), nullptr, "late", &log);
    frame->AddTimer(late, 10, false);
    // The designer's readout, owner, pop-up, late, focus indicator.
    ASSERT_EQ(frame->TopLevelWindows().size(), 6u);
    EXPECT_EQ(frame->TopLevelWindows()[2], owner);
    frame.reset();  // every window deleted once, the pop-up by its owner
    EXPECT_EQ(UI::Frame::LiveCount(), framesBefore);
}
