#include <QvBase/UI/Drawing/MemoryDrawContext.h>

#include <Platform/Gui/Fake/FakeWindowSystem.h>

#include <gtest/gtest.h>

using Platform::Gui::FakeWindowSystem;
using Platform::Gui::PixelRect;
using UI::Rect;

namespace {

// The host window's part: the window system asks for areas and the context copies them.
class ExposeFromContext final : public Platform::Gui::WindowEvents {
public:
    explicit ExposeFromContext(UI::MemoryDrawContext& dc) : m_dc(dc) {}
    void OnExpose(const PixelRect& area, Platform::Gui::ExposeTarget& target) override {
        m_dc.CopyRectToDevice(Rect::FromNative(area), target);
    }

private:
    UI::MemoryDrawContext& m_dc;
};

// The frame's part at the end of a pass: the window is told which areas to show again.
class PresentToWindow final : public UI::Device {
public:
    PresentToWindow(FakeWindowSystem& system, Platform::Gui::WindowId window) : m_system(system), m_window(window) {}
    void Copy(const Platform::Gui::SurfaceView&, const PixelRect& area) override { m_system.Present(m_window, {area}); }

private:
    FakeWindowSystem& m_system;
    Platform::Gui::WindowId m_window;
};

}  // namespace

TEST(DrawDevice, APassReachesTheWindowOnlyWhereItWasCopied) {
    FakeWindowSystem system;
    UI::MemoryDrawContext dc("Test Memory DrawContext");
    ExposeFromContext events(dc);
    Platform::Gui::WindowSpec spec;
    spec.outer = {0, 0, 20, 10};
    spec.events = &events;
    const auto window = system.CreateWindow(spec);
    system.ShowWindow(window, Platform::Gui::ShowMode::Normal);

    dc.Resize({20, 10});
    dc.DrawRect({0, 19, 0, 9}, UI::DrawRectFilled, 0x00204060, 0);
    dc.DrawLine({0, 9}, {19, 9}, 0x00FFFFFF, 0);
    PresentToWindow device(system, window);
    dc.CopyRectsToDevice({Rect{0, 9, 0, 9}}, device);

    EXPECT_EQ(system.ScreenPixel(window, 3, 3), 0x00204060u);
    EXPECT_EQ(system.ScreenPixel(window, 9, 9), 0x00FFFFFFu);
    EXPECT_EQ(system.ScreenPixel(window, 10, 3), 0u);  // not copied in this pass

    // A later expose of the window shows the last picture, outside any pass.
    system.Expose(window, {0, 0, 20, 10});
    EXPECT_EQ(system.ScreenPixel(window, 15, 3), 0x00204060u);
    EXPECT_EQ(system.ScreenPixel(window, 15, 9), 0x00FFFFFFu);
    system.DestroyWindow(window);
}
