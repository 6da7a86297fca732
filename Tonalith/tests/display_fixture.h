#pragma once
// Displays over a real updater thread, in a frame on the fake window system.
#include <ToolkitTesting/ToolkitFixture.h>

#include <Tonalith/Analysis/AmpScale.h>
#include <Tonalith/Analysis/AudioCalculator.h>
#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/FreqScale.h>
#include <Tonalith/Analysis/TimeScale.h>
#include <Tonalith/Display/AudioCanvas.h>
#include <Tonalith/Display/AudioDisplay.h>
#include <Tonalith/Display/AudioUpdater.h>

#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/UI/Drawing/MemoryDrawContext.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace display_test {

// Fills the image with a pattern of the pixel's place and reports the progress it is told.
// Renders only once allowed, so a test can look at a buffer the worker has not drawn yet.
class PatternCalculator : public UI::AudioCalculator {
public:
    using AudioCalculator::AudioCalculator;

    static std::uint32_t PatternAt(int x, int y) {
        return 0x00400000u + std::uint32_t(x) * 0x10000u + std::uint32_t(y) * 0x100u + 0x21u;
    }

    std::atomic<bool> allowRender{true};
    std::atomic<float> finalRenderProgress{100.0f};
    std::atomic<int> rendersDone{0};

protected:
    int Compute() override {
        SetComputeProgress(100.0f);
        return UI::kStepFinished;
    }
    int Render(UI::Image* image) override {
        while (!allowRender.load()) {
            if (!SetRenderProgress(0.0f, 0)) return UI::kStepCutShort;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        for (int y = 0; y < image->Height(); ++y)
            for (int x = 0; x < image->Width(); ++x) image->Pixels()[y * image->Stride() + x] = PatternAt(x, y);
        // One pixel left fully transparent: the background must show through it.
        image->Pixels()[0] = 0xFF000000u;
        SetRenderProgress(finalRenderProgress.load(), std::uint32_t(image->Width()));
        rendersDone.fetch_add(1, std::memory_order_release);
        return UI::kStepFinished;
    }
};

class PatternDisplay : public UI::AudioDisplay {
public:
    using AudioDisplay::AudioDisplay;
    PatternCalculator* last = nullptr;

protected:
    UI::AudioCalculator* CreateCalculator(const SharedPtr<UI::AudioDisplaySource>& source) override {
        last = new PatternCalculator(source);
        return last;
    }
};

class DisplayTest : public toolkit_test::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        dc = std::make_unique<UI::MemoryDrawContext>("Display Test DC");
        frame = MakeFrame(64, 48, dc.get());
        for (auto& channel : samples) channel.assign(1000, 0.5f);
        table[0] = samples[0].data();
        table[1] = samples[1].data();
    }
    void TearDown() override {
        frame.reset();
        updater.reset();
        ToolkitTest::TearDown();
    }

    SharedPtr<UI::AudioDisplaySource> Source(std::uint32_t channels) {
        return SharedPtr<UI::AudioDisplaySource>(new UI::AudioDisplayMemorySource("Test", 1000, channels, 1000, table));
    }

    // The scales as a loaded file sets them.
    void SetScales(std::uint32_t channels) {
        timeScale.SetLength(1000);
        timeScale.SetVisibleRange(UI::SampleRange(0, 1000));
        ampScale.SetChannelCount(channels);
        ampScale.SetRange({-1.0f, 1.0f});
        ampScale.SetVisibleRange({-1.0f, 1.0f});
        freqScale.SetChannelCount(channels);
        freqScale.SetRange({0.0f, 500.0f});
        freqScale.SetVisibleRange({0.0f, 500.0f});
    }

    static bool WaitUntil(const std::function<bool()>& condition) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // Paints the window alone over a background colour and returns the surface's pixels.
    std::vector<std::uint32_t> PaintOver(UI::Window& window, UI::Colour background) {
        dc->Resize(UI::Size{64, 48});
        dc->SetOrigin(UI::Point{0, 0});
        dc->DrawRect(UI::Rect{0, 63, 0, 47}, UI::DrawRectFilled, background, 0);
        UI::Window::PaintChild(*dc, window);
        const auto& surface = dc->Surface();
        return std::vector<std::uint32_t>(surface->Pixels(), surface->Pixels() + 64 * 48);
    }

    std::unique_ptr<UI::MemoryDrawContext> dc;
    std::unique_ptr<UI::Frame> frame;
    UI::AudioCanvas canvas{44100};
    UI::TimeScale timeScale{"Time"};
    UI::AmpScale ampScale{"Amp"};
    UI::FreqScale freqScale{"Freq"};
    std::unique_ptr<UI::AudioUpdater> updater = std::make_unique<UI::AudioUpdater>();
    std::vector<float> samples[2];
    const float* table[2] = {};
};

}  // namespace display_test
