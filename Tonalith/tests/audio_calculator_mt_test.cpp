#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/WaveformCalculator.h>

#include <QvBase/UI/Drawing/Image.h>

#include "support/WholeView.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

using UI::AudioViewRequest;
using UI::SampleRange;
using UI::WaveformCalculator;

namespace {

// A memory source whose read at a chosen frame holds the reading thread until the
// test lets it go, so that a cancel lands in the middle of a step for certain.
class GateSource : public UI::AudioDisplayMemorySource {
public:
    using AudioDisplayMemorySource::AudioDisplayMemorySource;

    void Arm(std::uint64_t frame) {
        std::lock_guard lock(m_mutex);
        m_gateFrame = frame;
        m_reached = m_released = false;
    }
    void WaitUntilReached() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_reached; });
    }
    void Release() {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

    bool ReadFloatInterleaved(std::uint32_t n, float* dst) override {
        {
            std::unique_lock lock(m_mutex);
            if (GetPosition() == m_gateFrame) {
                m_reached = true;
                m_changed.notify_all();
                m_changed.wait(lock, [&] { return m_released; });
            }
        }
        return AudioDisplayMemorySource::ReadFloatInterleaved(n, dst);
    }
    using AudioDisplayMemorySource::ReadFloatInterleaved;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::uint64_t m_gateFrame = UINT64_MAX;
    bool m_reached = false;
    bool m_released = false;
};

constexpr std::uint32_t kFrames = 128 * 400;

struct Rig {
    std::vector<float> samples;
    const float* table[1];
    GateSource* gate;
    SharedPtr<UI::AudioDisplaySource> source;
    WaveformCalculator calculator;

    Rig()
        : samples(MakeSamples()),
          table{samples.data()},
          gate(new GateSource("Gate", 44100, 1, kFrames, table)),
          source(gate),
          calculator(source) {
        bool compute = false, render = false;
        calculator.SyncView(WholeView(1, kFrames), &compute, &render);
        calculator.SetNeedsCompute(compute);
        calculator.SetNeedsRender(render);
        calculator.SetActive(true);
    }

    static std::vector<float> MakeSamples() {
        std::vector<float> s(kFrames);
        for (std::uint32_t i = 0; i < kFrames; ++i) s[i] = static_cast<float>((i * 7919u) % 2001u) / 1000.0f - 1.0f;
        return s;
    }
};

}  // namespace

TEST(AudioCalculatorThreads, CancelMidComputeThenRestartFromScratch) {
    Rig rig;
    rig.gate->Arm(128 * 150);
    std::atomic<int> result{-1};
    std::thread worker([&] { result = rig.calculator.DoCompute(); });
    rig.gate->WaitUntilReached();
    // The UI thread watches the progress while the step works, then cancels it.
    const float seen = rig.calculator.GetComputeProgress();
    EXPECT_GT(seen, 30.0f);
    EXPECT_LT(seen, 40.0f);
    rig.calculator.Cancel();
    rig.gate->Release();
    worker.join();
    EXPECT_EQ(result.load(), 1);
    EXPECT_TRUE(rig.calculator.NeedsCompute());
    EXPECT_LT(rig.calculator.GetComputeProgress(), 100.0f);

    // The next pass computes everything again, and agrees with an uninterrupted run.
    rig.gate->Arm(UINT64_MAX);
    std::thread again([&] { result = rig.calculator.DoCompute(); });
    again.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(rig.calculator.NeedsCompute());
    EXPECT_EQ(rig.calculator.GetComputeProgress(), 100.0f);

    Rig reference;
    ASSERT_EQ(reference.calculator.DoCompute(), 0);
    EXPECT_EQ(rig.calculator.BlockPeaks(), reference.calculator.BlockPeaks());
}

TEST(AudioCalculatorThreads, CancelDuringRenderLeavesTheRenderDue) {
    Rig rig;
    ASSERT_EQ(rig.calculator.DoCompute(), 0);
    SharedPtr<UI::Image> image = UI::Image::Create({kFrames / 256, 32});
    ASSERT_TRUE(image);

    // Zoomed in, the render reads the samples: cancel while it does.
    AudioViewRequest view = WholeView(1, kFrames);
    view.visible = SampleRange(1000, 2000);
    bool compute = false, render = false;
    rig.calculator.SyncView(view, &compute, &render);
    EXPECT_FALSE(compute);
    EXPECT_TRUE(render);
    rig.calculator.SetNeedsRender(true);
    rig.gate->Arm(1000);
    std::atomic<int> result{-1};
    std::thread worker([&] { result = rig.calculator.DoRender(image.Get()); });
    rig.gate->WaitUntilReached();
    rig.calculator.Cancel();
    rig.gate->Release();
    worker.join();
    EXPECT_EQ(result.load(), 1);
    EXPECT_TRUE(rig.calculator.NeedsRender());

    std::thread again([&] { result = rig.calculator.DoRender(image.Get()); });
    again.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_EQ(rig.calculator.GetRenderProgress(), 100.0f);
}

TEST(AudioCalculatorThreads, UiThreadTouchesFlagsAndProgressWhileStepsRun) {
    Rig rig;
    SharedPtr<UI::Image> image = UI::Image::Create({200, 40});
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        while (!stop.load()) {
            rig.calculator.DoCompute();
            rig.calculator.DoRender(image.Get());
        }
    });
    // What the updater and the display do from the UI thread without the worker's data.
    float sum = 0.0f;
    for (int i = 0; i < 2000; ++i) {
        rig.calculator.SetNeedsCompute(i % 3 == 0);
        rig.calculator.SetNeedsRender(true);
        rig.calculator.SetActive(i % 5 != 0);
        if (i % 7 == 0) rig.calculator.Cancel();
        sum += rig.calculator.GetComputeProgress() + rig.calculator.GetRenderProgress();
        sum += static_cast<float>(rig.calculator.GetRenderedColumns());
        if (i % 100 == 0) std::this_thread::yield();
    }
    stop = true;
    worker.join();
    EXPECT_GE(sum, 0.0f);
}
