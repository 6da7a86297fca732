// The spectrogram calculator on a worker thread while another thread reads its progress and
// cancels it, as the updater and the display do.
#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/SpectrogramCalculator.h>

#include <QvBase/UI/Image.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

TEST(SpectrogramCalculatorThreads, CancelFromAnotherThreadCutsTheStepShort)
{
    const std::uint32_t frames = 44100 * 20;
    std::vector<float> samples(frames);
    for (std::uint32_t i = 0; i < frames; ++i)
        samples[i] = float(0.5 * std::sin(0.05 * double(i)));
    const float* table[1] = {samples.data()};
    SharedPtr<UI::AudioDisplaySource> source(new UI::AudioDisplayMemorySource("mt", 44100, 1, frames, table));
    UI::SpectrogramSettings settings;
    settings.type = 1;  // the slowest of the plain types: four frame lengths per column
    UI::SpectrogramCalculator calculator(source, settings);
    UI::AudioViewRequest view;
    view.channels = 1;
    view.length = frames;
    view.visible = UI::SampleRange(0, frames);
    view.freqFull = view.freqVisible = {0.0f, 22050.0f};
    bool compute = false, render = false;
    calculator.SyncView(view, &compute, &render);
    calculator.SetActive(true);
    SharedPtr<UI::Image> image = UI::Image::Create(UI::Size{300, 100});

    for (int round = 0; round < 2; ++round) {
        calculator.SetNeedsCompute(true);
        std::atomic<int> result{-1};
        std::thread worker([&] { result = calculator.DoCompute(); });
        // The display reads the progress without a lock while the step runs: wait for this
        // step to start from column 0, then to pass 1%.
        while (calculator.GetComputeProgress() >= 1.0f && result.load() < 0)
            std::this_thread::yield();
        while (calculator.GetComputeProgress() < 1.0f && result.load() < 0)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        calculator.Cancel();
        worker.join();
        EXPECT_EQ(result.load(), 1);
        EXPECT_TRUE(calculator.NeedsCompute());
        EXPECT_LT(calculator.GetComputeProgress(), 100.0f);
    }

    // Left alone, the next pass runs to the end, and so does the render on the worker.
    std::thread worker([&] {
        EXPECT_EQ(calculator.DoCompute(), 0);
        calculator.SetNeedsRender(true);
        EXPECT_EQ(calculator.DoRender(image.Get()), 0);
    });
    worker.join();
    EXPECT_FLOAT_EQ(calculator.GetComputeProgress(), 100.0f);
    EXPECT_FLOAT_EQ(calculator.GetRenderProgress(), 100.0f);
    EXPECT_EQ(calculator.GetRenderedColumns(), 300u);
}

}  // namespace
