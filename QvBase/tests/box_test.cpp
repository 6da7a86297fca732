// The box widget: filled or outlined in its colour, with its transparency, never taking clicks.
#include <ToolkitTesting/ToolkitFixture.h>

#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/Widgets/Box.h>

using namespace toolkit_test;

namespace {

class BoxTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        frame = std::make_unique<UI::Frame>(
            info.get(), Platform::Gui::NoWindow, nullptr, UI::Point{}, "F", UI::Rect{0, 199, 0, 199});
        dc.Resize({200, 200});
        dc.SetClipRect({0, 199, 0, 199});
        dc.DrawRect({0, 199, 0, 199}, 1, 0x00204060, 0);
    }
    void TearDown() override {
        frame.reset();
        ToolkitTest::TearDown();
    }
    std::uint32_t At(int x, int y) const { return dc.Surface()->Pixels()[y * dc.Surface()->Stride() + x] & 0xFFFFFF; }

    std::unique_ptr<UI::Frame> frame;
    UI::MemoryDrawContext dc{"dc"};
};

}  // namespace

TEST_F(BoxTest, AFilledBoxCoversItsAreaAndAnOutlinedOneOnlyItsEdges) {
    auto* parent = new UI::Window(frame.get(), nullptr, "Parent");
    parent->SetGeometry(5, 5, 190, 190);
    auto* filled = new UI::Box(frame.get(), parent, "Filled", false, 1);
    EXPECT_EQ(filled->GetRect(), (UI::Rect{0, 99, 0, 99}));
    EXPECT_FALSE(filled->IsEnabled());
    EXPECT_TRUE(filled->IsFilled());
    EXPECT_STREQ(filled->ClassName(), "UI::Box");
    filled->SetGeometry(10, 20, 30, 40);
    filled->SetColour(0x00FF8000);
    UI::Window::PaintChild(dc, *filled);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const bool inside = x >= 15 && x < 45 && y >= 25 && y < 65;
            ASSERT_EQ(At(x, y), inside ? 0x00FF8000u : 0x00204060u) << x << "," << y;
        }

    auto* outline = new UI::Box(frame.get(), parent, "Outline", true, 1);
    EXPECT_FALSE(outline->IsFilled());
    outline->SetGeometry(100, 100, 10, 5);
    outline->SetColour(0x00FFFFFF);
    UI::Window::PaintChild(dc, *outline);
    for (int y = 100; y < 115; ++y)
        for (int x = 100; x < 120; ++x) {
            const bool inside = x >= 105 && x < 115 && y >= 105 && y < 110;
            const bool edge = inside && (x == 105 || x == 114 || y == 105 || y == 109);
            ASSERT_EQ(At(x, y), edge ? 0x00FFFFFFu : 0x00204060u) << x << "," << y;
        }

    // Clicks pass through to the parent beneath.
    EXPECT_FALSE(frame->OnMouse(0, {20, 30}, 1, 0));
    delete parent;
}

TEST_F(BoxTest, HalfTransparencyBlendsTheColourHalfIntoTheBackground) {
    auto* box = new UI::Box(frame.get(), nullptr, "Box", false, 0);
    box->SetColour(0x00FFFFFF);
    box->SetTransparency(128);
    EXPECT_EQ(box->EffectiveTransparency(), 128);
    UI::Window::PaintChild(dc, *box);
    const std::uint32_t p = At(50, 50);
    EXPECT_NEAR(int(p >> 16), (0x20 + 0xFF) / 2, 1);
    EXPECT_NEAR(int((p >> 8) & 0xFF), (0x40 + 0xFF) / 2, 1);
    EXPECT_NEAR(int(p & 0xFF), (0x60 + 0xFF) / 2, 1);
    EXPECT_EQ(At(100, 100), 0x00204060u);
    box->Hide();
    delete box;
}
