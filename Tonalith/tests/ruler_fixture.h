#pragma once
// Rulers in a frame on the fake window system, with the settings store in a folder of its own.
#include <ToolkitTesting/ToolkitFixture.h>

#include <Tonalith/Analysis/AmpScale.h>
#include <Tonalith/Analysis/FreqScale.h>
#include <Tonalith/Analysis/TimeScale.h>
#include <Tonalith/Display/AudioCanvas.h>
#include <Tonalith/Display/RulerLabel.h>

#include <QvBase/UI/Drawing/MemoryDrawContext.h>
#include <QvBase/UI/Text/Text.h>

#include <string>
#include <vector>

namespace ruler_test {

class RulerTest : public toolkit_test::ToolkitTest {
protected:
    static constexpr int kFrameWidth = 600;
    static constexpr int kFrameHeight = 420;

    void SetUp() override {
        ToolkitTest::SetUp();
        dc = std::make_unique<UI::MemoryDrawContext>("Ruler Test DC");
        frame = MakeFrame(kFrameWidth, kFrameHeight, dc.get());
    }
    void TearDown() override {
        frame.reset();
        ToolkitTest::TearDown();
    }

    // Paints the window alone over a background colour; the pixel at (x, y) of the window.
    std::vector<std::uint32_t> Paint(UI::Window& window, UI::Colour background = 0x123456) {
        dc->Resize(UI::Size{kFrameWidth, kFrameHeight});
        dc->SetOrigin(UI::Point{0, 0});
        dc->DrawRect(UI::Rect{0, kFrameWidth - 1, 0, kFrameHeight - 1}, UI::DrawRectFilled, background, 0);
        UI::Window::PaintChild(*dc, window);
        const auto& surface = dc->Surface();
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < kFrameHeight; ++y)
            for (int x = 0; x < kFrameWidth; ++x)
                pixels.push_back(surface->Pixels()[y * surface->Stride() + x] & 0x00FFFFFFu);
        return pixels;
    }
    static std::uint32_t At(const std::vector<std::uint32_t>& pixels, const UI::Window& window, int x, int y) {
        return pixels[std::size_t(window.FrameY() + y) * kFrameWidth + std::size_t(window.FrameX() + x)];
    }

    static std::vector<std::string> Texts(const std::vector<UI::RulerLabel>& labels) {
        std::vector<std::string> texts;
        for (const auto& label : labels) texts.push_back(label.text.CStr());
        return texts;
    }
    static std::vector<int> Positions(const std::vector<UI::RulerLabel>& labels) {
        std::vector<int> positions;
        for (const auto& label : labels) positions.push_back(label.position);
        return positions;
    }
    static std::vector<bool> Shown(const std::vector<UI::RulerLabel>& labels) {
        std::vector<bool> shown;
        for (const auto& label : labels) shown.push_back(label.label->IsVisible());
        return shown;
    }

    std::unique_ptr<UI::MemoryDrawContext> dc;
    std::unique_ptr<UI::Frame> frame;
    UI::AudioCanvas canvas{44100};
};

}  // namespace ruler_test
