// The spectrogram calculator on a worker thread while another thread reads its progress and
// cancels it, as the updater and the display do.
#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculator.h>

#include <QvBase/UI/Drawing/Image.h>

#include "support/WholeView.h"

#include <gtest/gtest.h>

#include <TestSupport/Affinity.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace {

// Counts the reads, so that another thread can tell the step is under way.
class CountingSource : public UI::AudioDisplayMemorySource {
public:
    using UI::AudioDisplayMemorySource::AudioDisplayMemorySource;
    bool ReadFloatDeinterleaved(std::uint32_t n, float** dst) override {
        reads.fetch_add(1);
        return UI::AudioDisplayMemorySource::ReadFloatDeinterleaved(n, dst);
    }
    std::atomic<int> reads{0};
};

TEST(SpectrogramCalculatorThreads, CancelFromAnotherThreadCutsTheStepShort) {
    const std::uint32_t frames = 44100 * 20;
    std::vector<float> samples(frames);
    for (std::uint32_t i = 0; i < frames; ++i) samples[i] = float(0.5 * std::sin(0.05 * double(i)));
    const float* table[1] = {samples.data()};
    auto* counting = new CountingSource("mt", 44100, 1, frames, table);
    SharedPtr<UI::AudioDisplaySource> source(counting);
    UI::SpectrogramSettings settings;
    settings.type = 1;  // the slowest of the plain types: four frame lengths per column
    UI::SpectrogramCalculator calculator(source, settings);
    calculator.SetThreads(4);
    const UI::AudioViewRequest view = WholeView(1, frames);
    bool compute = false, render = false;
    calculator.SyncView(view, &compute, &render);
    calculator.SetActive(true);
    SharedPtr<UI::Image> image = UI::Image::Create(UI::Size{300, 100});

    for (int round = 0; round < 2; ++round) {
        // A busy machine may let a step finish before the cancel lands; that is no fault,
        // so try a few times for a cancel that cuts a running step short.
        int result = -1;
        for (int attempt = 0; attempt < 5 && result != 1; ++attempt) {
            calculator.SetNeedsCompute(true);
            std::atomic<int> outcome{-1};
            const int before = counting->reads.load();
            std::thread worker([&] { outcome = calculator.DoCompute(); });
            // The display reads the progress without a lock while the step runs.
            float progress = 0.0f;
            while (counting->reads.load() < before + 50 && outcome.load() < 0) {
                progress = std::max(progress, calculator.GetComputeProgress());
                std::this_thread::yield();
            }
            calculator.Cancel();
            worker.join();
            result = outcome.load();
        }
        EXPECT_EQ(result, 1);
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

#if TONALITH_SANITIZED
constexpr auto kCancelBound = std::chrono::milliseconds(1000);
#else
constexpr auto kCancelBound = std::chrono::milliseconds(250);
#endif

TEST(SpectrogramCalculatorThreads, ACancelEndsEveryAnalysisTypeSoonEvenInsideLongWork) {
    const std::uint32_t frames = 44100 * 10;
    std::vector<float> samples(frames);
    for (std::uint32_t i = 0; i < frames; ++i) samples[i] = float(0.5 * std::sin(0.01 * double(i) * double(i % 97)));
    const float* table[2] = {samples.data(), samples.data()};
    // Settings under which one column, or one run of "MDL STFT" frames, is long work, so
    // that the cancel lands inside it; each step would take seconds to finish.
    const struct {
        const char* name;
        UI::SpectrogramSettings settings;
    } cases[] = {
        {"STFT", {.type = 0, .fftSize = 9, .zeroPadding = 4, .overlap = 3}},  // 2^18-point transforms
        {"Multires. STFT", {.type = 1, .fftSize = 6, .zeroPadding = 4, .overlap = 0}},  // four of them a column
        {"MDL STFT", {.type = 2, .fftSize = 9, .zeroPadding = 0, .overlap = 3}},  // runs of 15 frames, R = 33
    };
    for (const auto& c : cases) {
        auto* counting = new CountingSource("mt", 44100, 2, frames, table);
        SharedPtr<UI::AudioDisplaySource> source(counting);
        auto calculator = std::make_unique<UI::SpectrogramCalculator>(source, c.settings);
        calculator->SetThreads(3);
        bool compute = false, render = false;
        calculator->SyncView(WholeView(2, frames), &compute, &render);
        calculator->SetActive(true);
        calculator->SetNeedsCompute(true);

        std::atomic<int> outcome{-1};
        std::chrono::steady_clock::time_point ended;
        std::thread worker([&] {
            outcome = calculator->DoCompute();
            ended = std::chrono::steady_clock::now();
        });
        // The first read starts the columns' work.
        while (counting->reads.load() == 0 && outcome.load() < 0) std::this_thread::yield();
        const auto cancelled = std::chrono::steady_clock::now();
        calculator->Cancel();
        worker.join();
        EXPECT_EQ(outcome.load(), UI::kStepCutShort) << c.name;
        // The step owes about 50 ms; the bound leaves room for a busy machine, and more
        // under the sanitizers, yet stays below a whole run of frames (about half a second).
        EXPECT_LT(ended - cancelled, kCancelBound) << c.name;
        EXPECT_TRUE(calculator->Spectra().empty()) << c.name;
        EXPECT_TRUE(calculator->NeedsCompute()) << c.name;
        // Every thread of the step has ended: the calculator and the source go at once.
        calculator.reset();
        source = SharedPtr<UI::AudioDisplaySource>();
    }
}

TEST(SpectrogramCalculatorThreads, AnyNumberOfThreadsGivesTheSameSpectraAndPicture) {
    const std::uint32_t frames = 44100 + 77;
    std::vector<float> left(frames), right(frames);
    std::uint32_t state = 7;
    for (std::uint32_t i = 0; i < frames; ++i) {
        state = state * 1664525u + 1013904223u;
        left[i] = float(int(state >> 9) - (1 << 22)) / float(1 << 23);
        right[i] = float(0.5 * std::sin(0.3 * double(i)));
    }
    const float* table[2] = {left.data(), right.data()};
    SharedPtr<UI::AudioDisplaySource> source(new UI::AudioDisplayMemorySource("mt", 44100, 2, frames, table));
    const UI::AudioViewRequest view = WholeView(2, frames);
    for (std::uint32_t type : {0u, 1u, 2u}) {
        UI::SpectrogramSettings settings;
        settings.type = type;
        settings.fftSize = type == 0 ? 2 : 3;  // short runs of columns: many of them to share
        UI::SpectrogramSpectra reference;
        std::vector<std::uint32_t> picture;
        // 0: one thread per processor, here one, as under `taskset -c 0`.
        for (std::uint32_t threads : {1u, 3u, 8u, 0u}) {
            std::optional<TestSupport::ScopedAffinity> oneProcessor;
            if (threads == 0) oneProcessor.emplace(1);
            UI::SpectrogramCalculator calculator(source, settings);
            bool compute = false, render = false;
            calculator.SyncView(view, &compute, &render);
            calculator.SetActive(true);
            calculator.SetNeedsCompute(true);
            calculator.SetThreads(threads);
            EXPECT_EQ(calculator.Threads(), threads == 0 ? 1u : threads);
            ASSERT_EQ(calculator.DoCompute(), UI::kStepFinished);
            SharedPtr<UI::Image> image = UI::Image::Create(UI::Size{97, 61});
            std::fill_n(image->Pixels(), 97 * 61, 0xFF000000u);  // the rows between the bands stay so
            calculator.SetNeedsRender(true);
            ASSERT_EQ(calculator.DoRender(image.Get()), UI::kStepFinished);
            const std::vector<std::uint32_t> pixels(image->Pixels(), image->Pixels() + 97 * 61);
            if (threads == 1) {
                reference = calculator.Spectra();
                picture = pixels;
            } else {
                EXPECT_TRUE(calculator.Spectra() == reference) << "type " << type << ", " << threads << " threads";
                EXPECT_TRUE(pixels == picture) << "type " << type << ", " << threads << " threads";
            }
        }
    }
}

}  // namespace
