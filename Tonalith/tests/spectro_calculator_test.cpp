#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/FreqScale.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculator.h>

#include <QvBase/UI/Drawing/Image.h>

#include <Platform/Kernel/MemoryInfo.h>

#include "support/WholeView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

// Per-channel buffers and a memory source over them; hooks run inside the source's calls.
class TestSource : public UI::AudioDisplayMemorySource {
public:
    TestSource(std::uint32_t rate, const std::vector<std::vector<float>>& channels, const float* const* table)
        : UI::AudioDisplayMemorySource(
              "test", rate, std::uint32_t(channels.size()), std::uint32_t(channels.front().size()), table) {}
    std::function<void()> onRead;
    std::function<void()> onChannelCount;
    bool ReadFloatDeinterleaved(std::uint32_t n, float** dst) override {
        if (onRead) onRead();
        return UI::AudioDisplayMemorySource::ReadFloatDeinterleaved(n, dst);
    }
    std::uint32_t GetChannelCount() const override {
        if (onChannelCount) onChannelCount();
        return UI::AudioDisplayMemorySource::GetChannelCount();
    }
};

struct Audio {
    std::vector<std::vector<float>> channels;
    std::vector<const float*> table;
    std::uint32_t rate;
    TestSource* source;  // owned by the calculator's handle
    SharedPtr<UI::AudioDisplaySource> handle;

    Audio(std::uint32_t sampleRate, std::vector<std::vector<float>> samples)
        : channels(std::move(samples)), rate(sampleRate) {
        for (auto& c : channels) table.push_back(c.data());
        source = new TestSource(rate, channels, table.data());
        handle = SharedPtr<UI::AudioDisplaySource>(source);
    }
    std::uint64_t Length() const { return channels.front().size(); }

    UI::AudioViewRequest View(bool mel = false) const {
        return WholeView(std::uint32_t(channels.size()), Length(), float(rate) / 2, mel);
    }
};

std::vector<float> Sine(std::size_t frames, double frequency, double rate, double amplitude = 0.5) {
    std::vector<float> samples(frames);
    for (std::size_t i = 0; i < frames; ++i)
        samples[i] = float(amplitude * std::sin(2 * pi * frequency * double(i) / rate));
    return samples;
}

// An hour of stereo at 44.1 kHz that refuses every read: a step that gets as far as reading
// it has not been refused for its memory.
class UnreadableHour : public UI::AudioDisplaySource {
public:
    UnreadableHour() : UI::AudioDisplaySource("hour") {}
    std::uint32_t GetSampleRate() const override { return 44100; }
    std::uint32_t GetChannelCount() const override { return 2; }
    std::uint32_t GetLength() const override { return 3600u * 44100u; }
    std::uint64_t GetPosition() const override { return 0; }
    void Seek(std::uint64_t) override {}
    bool ReadFloatInterleaved(std::uint32_t, double*) override { return false; }
    bool ReadFloatInterleaved(std::uint32_t, float*) override { return false; }
    bool ReadFloatDeinterleaved(std::uint32_t, float**) override { return false; }
};

// A calculator over the audio, with its view applied and marked active.
std::unique_ptr<UI::SpectrogramCalculator> Calculator(
    Audio& audio, const UI::SpectrogramSettings& settings, bool mel = false) {
    auto calculator = std::make_unique<UI::SpectrogramCalculator>(audio.handle, settings);
    bool compute = false, render = false;
    calculator->SyncView(audio.View(mel), &compute, &render);
    calculator->SetActive(true);
    calculator->SetNeedsCompute(compute);
    calculator->SetNeedsRender(render);
    return calculator;
}

SharedPtr<UI::Image> Picture(int width, int height) {
    auto image = UI::Image::Create(UI::Size{width, height});
    std::fill_n(image->Pixels(), width * height, 0xFF000000u);
    return image;
}

// The first and last rows of column x, top..bottom, whose red + green + blue is the largest.
std::pair<int, int> BrightestRows(const UI::Image& image, int x, int top, int bottom) {
    std::uint32_t best = 0;
    std::pair<int, int> rows{top, top};
    for (int y = top; y <= bottom; ++y) {
        const std::uint32_t pixel = image.Pixels()[y * image.Stride() + x];
        const std::uint32_t sum = ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
        if (sum > best) rows = {y, y};
        if (sum >= best) rows.second = y;
        best = std::max(best, sum);
    }
    return rows;
}

TEST(SpectrogramCalculator, SettingsChangesSayWhatIsDue) {
    Audio audio(44100, {std::vector<float>(1000, 0.0f)});
    UI::SpectrogramCalculator calculator(audio.handle, UI::SpectrogramSettings{});
    const auto check = [&](const std::function<void(UI::SpectrogramSettings&)>& change, bool wantCompute,
                           bool wantRender) {
        UI::SpectrogramSettings settings = calculator.Settings();
        change(settings);
        bool compute = true, render = true;
        calculator.ApplySettings(settings.ToBytes(), &compute, &render);
        EXPECT_EQ(compute, wantCompute);
        EXPECT_EQ(render, wantRender);
    };
    check([](auto&) {}, false, false);
    check([](auto& s) { s.bBilinear = 0; }, false, true);
    check([](auto& s) { s.bMel = 1; }, false, true);
    check([](auto& s) { s.type = 2; }, true, true);
    check([](auto& s) { s.ampRange = 90.0f; }, true, true);
    EXPECT_FLOAT_EQ(calculator.Levels().Minimum(), -90.0f);
    check([](auto& s) { s.fftSize = 7; }, true, true);
    EXPECT_EQ(calculator.Layout().n, 4096);
    EXPECT_EQ(calculator.Layout().fftLength, 32768);
    check([](auto& s) { s.zeroPadding = 1; }, true, true);
    check([](auto& s) { s.overlap = 3; }, true, true);
    EXPECT_EQ(calculator.Layout().hop, 512);
    check([](auto& s) { s.window = 3; }, true, true);

    // A block of the wrong size changes nothing; indexes past their tables fall back to defaults.
    bool compute = true, render = true;
    calculator.ApplySettings(std::vector<std::uint8_t>(5, 0xFF), &compute, &render);
    EXPECT_FALSE(compute);
    EXPECT_FALSE(render);
    UI::SpectrogramSettings wild = calculator.Settings();
    wild.fftSize = 99;
    wild.window = 1234;
    wild.type = 7;
    calculator.ApplySettings(wild.ToBytes(), &compute, &render);
    EXPECT_EQ(calculator.Settings().fftSize, 4u);
    EXPECT_EQ(calculator.Settings().window, 6u);
    EXPECT_EQ(calculator.Settings().type, 0u);
}

TEST(SpectrogramCalculator, ComputesAndRendersAToneOnLinearAndMelAxes) {
    const std::uint32_t rate = 44100;
    Audio audio(rate, {Sine(22050, 5000, rate), Sine(22050, 1000, rate)});
    for (bool mel : {false, true}) {
        auto calculator = Calculator(audio, UI::SpectrogramSettings{}, mel);
        ASSERT_EQ(calculator->DoCompute(), 0);
        EXPECT_FLOAT_EQ(calculator->GetComputeProgress(), 100.0f);
        ASSERT_EQ(calculator->Spectra().size(), 2u);
        EXPECT_EQ(calculator->Spectra()[0].size(), ((22050 + 255) / 256) * 257u);
        EXPECT_EQ(calculator->LastComputedColumn(), (22050 + 255) / 256 - 1);

        auto image = Picture(64, 203);  // two bands of 100 rows
        ASSERT_EQ(calculator->DoRender(image.Get()), 0);
        EXPECT_FLOAT_EQ(calculator->GetRenderProgress(), 100.0f);
        EXPECT_EQ(calculator->RenderPosition(), 64u);

        // The brightest row of a middle column lies at each tone's frequency row.
        UI::FreqScale scale("expected");
        scale.SetChannelCount(2);
        scale.SetPixelHeight(203);
        scale.SetMelScale(mel);
        scale.SetRange({0.0f, 22050.0f});
        scale.SetVisibleRange({0.0f, 22050.0f});
        const float tones[2] = {5000.0f, 1000.0f};
        for (std::uint32_t c = 0; c < 2; ++c) {
            const UI::RowBand band = scale.ChannelBand(c);
            for (int y = band.top; y <= band.bottom; ++y)
                EXPECT_EQ(image->Pixels()[y * image->Stride() + 32] >> 24, 0u);  // painted and opaque
            // Rows narrower than a bin share the peak: take the middle of the brightest rows.
            const auto brightest = BrightestRows(*image, 32, band.top, band.bottom);
            const double middle = (brightest.first + brightest.second) / 2.0;
            EXPECT_NEAR(middle, scale.FreqToRowInChannel(c, tones[c]).row, 1.5) << "mel " << mel << " channel " << c;
        }
        // The gap rows keep what the buffer held.
        EXPECT_EQ(image->Pixels()[100 * image->Stride() + 5], 0xFF000000u);
    }
}

TEST(SpectrogramCalculator, NearestBinIgnoresTheMelAxis) {
    const std::uint32_t rate = 44100;
    Audio audio(rate, {Sine(8192, 11025, rate)});
    UI::SpectrogramSettings settings;
    settings.bBilinear = 0;
    for (bool mel : {false, true}) {
        auto calculator = Calculator(audio, settings, mel);
        ASSERT_EQ(calculator->DoCompute(), 0);
        auto image = Picture(16, 101);
        ASSERT_EQ(calculator->DoRender(image.Get()), 0);
        // Half the Nyquist frequency sits half-way up the band on both axes.
        EXPECT_EQ(BrightestRows(*image, 8, 0, 100).first, 50) << mel;
    }
}

TEST(SpectrogramCalculator, CancelInTheMiddleOfComputeAndRender) {
    Audio audio(44100, {Sine(20 * 44100, 440, 44100)});
    auto calculator = Calculator(audio, UI::SpectrogramSettings{});
    calculator->SetThreads(1);
    int reads = 0;
    audio.source->onRead = [&] {
        if (++reads == 3) calculator->Cancel();
    };
    EXPECT_EQ(calculator->DoCompute(), 1);
    EXPECT_TRUE(calculator->NeedsCompute());
    EXPECT_TRUE(calculator->Spectra().empty());
    EXPECT_LT(calculator->GetComputeProgress(), 30.0f);
    EXPECT_GT(calculator->GetComputeProgress(), 0.0f);

    // The next pass starts again from the first column and finishes.
    audio.source->onRead = nullptr;
    ASSERT_EQ(calculator->DoCompute(), 0);

    for (bool bilinear : {true, false}) {
        UI::SpectrogramSettings settings = calculator->Settings();
        settings.bBilinear = bilinear;
        bool compute = false, render = false;
        calculator->ApplySettings(settings.ToBytes(), &compute, &render);
        calculator->SetNeedsRender(true);
        auto image = Picture(50, 40);
        audio.source->onChannelCount = [&] { calculator->Cancel(); };
        EXPECT_EQ(calculator->DoRender(image.Get()), 1) << bilinear;
        audio.source->onChannelCount = nullptr;
        EXPECT_TRUE(calculator->NeedsRender());
        EXPECT_LT(calculator->GetRenderProgress(), 100.0f);
        // The first column was painted before the cancel was noticed, the last one not.
        EXPECT_EQ(image->Pixels()[0] >> 24, bilinear ? 0u : 0xFFu) << bilinear;
        EXPECT_EQ(image->Pixels()[49], 0xFF000000u);
        ASSERT_EQ(calculator->DoRender(image.Get()), 0);
        EXPECT_EQ(image->Pixels()[49] >> 24, 0u);
    }
}

TEST(SpectrogramCalculator, FailuresAreResultsNotCrashes) {
    // A source that is shorter than the view says: the read is refused, the step fails.
    Audio audio(44100, {std::vector<float>(3000, 0.1f)});
    auto calculator = Calculator(audio, UI::SpectrogramSettings{});
    UI::AudioViewRequest longer = audio.View();
    longer.length = 30000;
    longer.visible = UI::SampleRange(0, 30000);
    bool compute = false, render = false;
    calculator->SyncView(longer, &compute, &render);
    calculator->SetNeedsCompute(true);
    EXPECT_EQ(calculator->DoCompute(), UI::kStepFailed);
    EXPECT_EQ(calculator->LastFailure(UI::CalculatorStep::Compute).cause, UI::StepFailureCause::SourceRefused);
    EXPECT_FALSE(calculator->NeedsCompute());
    EXPECT_TRUE(calculator->Spectra().empty());
    // Rendering without spectra shows nothing rather than an old picture.
    auto image = Picture(8, 8);
    image->Pixels()[0] = 0x123456;
    calculator->SetNeedsRender(true);
    EXPECT_EQ(calculator->DoRender(image.Get()), UI::kStepFailed);
    EXPECT_EQ(calculator->LastFailure(UI::CalculatorStep::Render).cause, UI::StepFailureCause::Unusable);
    EXPECT_EQ(image->Pixels()[0], 0xFF000000u);

    // More memory than the budget: failed before anything is allocated.
    auto limited = Calculator(audio, UI::SpectrogramSettings{});
    limited->SetMemoryBudget(1024);
    EXPECT_EQ(limited->DoCompute(), UI::kStepFailed);
    EXPECT_EQ(limited->LastFailure(UI::CalculatorStep::Compute).cause, UI::StepFailureCause::OutOfMemory);
}

TEST(SpectrogramCalculator, AnHourAtTheLargestSettingsFailsCleanly) {
    // One hour of stereo at 65536 points, 16x padding, 87.5%, "MDL STFT": far beyond memory.
    UnreadableHour source;
    UI::SpectrogramSettings settings;
    settings.type = 2;
    settings.fftSize = 11;
    settings.zeroPadding = 4;
    settings.overlap = 3;
    UI::SpectrogramCalculator calculator(&source, settings);
    const UI::AudioViewRequest view = WholeView(2, 3600ull * 44100);
    bool compute = false, render = false;
    calculator.SyncView(view, &compute, &render);
    calculator.SetActive(true);
    calculator.SetNeedsCompute(true);
    calculator.SetMemoryBudget(64ull << 30);
    EXPECT_EQ(calculator.DoCompute(), UI::kStepFailed);
    EXPECT_EQ(calculator.LastFailure(UI::CalculatorStep::Compute).cause, UI::StepFailureCause::OutOfMemory);
    EXPECT_TRUE(calculator.Spectra().empty());
}

TEST(SpectrogramCalculator, MemoryCheckLeavesAShareAndFollowsTheLength) {
    // Settings by their option indexes, on 8 threads, against the budget that the memory
    // available gives.
    const std::uint64_t gb = 1ull << 30, hour = 3600ull * 44100;
    const struct {
        std::uint32_t type, fftSize, padding, overlap, channels;
        std::uint64_t frames, available;
        bool fits;
    } cases[] = {
        {1, 2, 3, 1, 2, hour, 47 * gb / 2, false},  // 19 GB of spectra: nearly all there is
        {1, 2, 3, 1, 2, hour, 32 * gb, true},
        {0, 4, 0, 1, 2, hour, 8 * gb, true},  // the defaults, on a machine of less
        {1, 4, 0, 1, 2, hour, 8 * gb, true},
        {2, 4, 0, 1, 2, hour, 8 * gb, true},
        {2, 11, 4, 3, 1, 1, 4 * gb, true},  // one sample: the frames of its column, no more
        {2, 11, 4, 3, 2, 441000, 8 * gb, false},
    };
    for (const auto& c : cases) {
        namespace Options = UI::SpectrogramOptions;
        const auto layout = UI::SpectrogramLayout::Make(c.type, std::int32_t(Options::kFftSizeOrders[c.fftSize]),
            std::int32_t(Options::kZeroPaddingOrders[c.padding]), std::int32_t(Options::kOverlapFactors[c.overlap]));
        const std::uint64_t required = UI::SpectrogramAnalysis::RequiredBytes(layout, c.channels, c.frames, 8);
        EXPECT_EQ(required <= Platform::Kernel::MemoryForComputing(c.available), c.fits)
            << "type " << c.type << " size " << c.fftSize << ": " << required << " bytes";
    }
    EXPECT_EQ(Platform::Kernel::MemoryForComputing(std::nullopt), ~std::uint64_t(0));

    // The first refused before it allocates anything.
    UnreadableHour source;
    UI::SpectrogramSettings settings;
    settings.type = 1;
    settings.fftSize = 2;
    settings.zeroPadding = 3;
    UI::SpectrogramCalculator calculator(&source, settings);
    bool compute = false, render = false;
    calculator.SyncView(WholeView(2, hour), &compute, &render);
    calculator.SetActive(true);
    calculator.SetNeedsCompute(true);
    calculator.SetThreads(8);
    calculator.SetMemoryBudget(Platform::Kernel::MemoryForComputing(47 * gb / 2));
    EXPECT_EQ(calculator.DoCompute(), UI::kStepFailed);
    EXPECT_EQ(calculator.LastFailure(UI::CalculatorStep::Compute).cause, UI::StepFailureCause::OutOfMemory);
}

TEST(SpectrogramCalculator, EveryOptionRunsOnAShortSignal) {
    const std::uint32_t rate = 22050;
    std::vector<float> noise(3000);
    std::uint32_t state = 1;
    for (float& v : noise) {
        state = state * 1664525u + 1013904223u;
        v = float(int(state >> 8) % 2001 - 1000) / 1000.0f;
    }
    Audio audio(rate, {noise, Sine(3000, 3000, rate)});
    const auto run = [&](const UI::SpectrogramSettings& settings) {
        auto calculator = Calculator(audio, settings, settings.bMel != 0);
        ASSERT_EQ(calculator->DoCompute(), 0)
            << settings.type << " " << settings.fftSize << " " << settings.zeroPadding << " " << settings.overlap;
        auto image = Picture(37, 41);
        ASSERT_EQ(calculator->DoRender(image.Get()), 0);
    };
    for (std::uint32_t type = 0; type < 3; ++type) {
        UI::SpectrogramSettings base;
        base.type = type;
        base.overlap = 0;
        // Each index table in turn; the multi-resolution types at the largest sizes run
        // 8N-point frames, so they stop at size 9.
        const struct {
            std::uint32_t UI::SpectrogramSettings::*field;
            std::uint32_t count, fftSize;
        } options[] = {{&UI::SpectrogramSettings::fftSize, type == 0 ? 12u : 10u, 0},
            {&UI::SpectrogramSettings::zeroPadding, 5, 2}, {&UI::SpectrogramSettings::overlap, 4, 3},
            {&UI::SpectrogramSettings::window, 7, 2}};
        for (const auto& option : options)
            for (std::uint32_t index = 0; index < option.count; ++index) {
                UI::SpectrogramSettings s = base;
                s.fftSize = option.fftSize;
                s.*option.field = index;
                run(s);
            }
        for (float range : {60.0f, 300.0f}) {
            UI::SpectrogramSettings s = base;
            s.fftSize = 2;
            s.ampRange = range;
            for (std::uint8_t mel : {0, 1})
                for (std::uint8_t bilinear : {0, 1}) {
                    s.bMel = mel;
                    s.bBilinear = bilinear;
                    run(s);
                }
        }
    }
    // The largest FFT with the largest padding, one plain STFT column.
    UI::SpectrogramSettings largest;
    largest.fftSize = 11;
    largest.zeroPadding = 4;
    largest.overlap = 0;
    run(largest);
}

}  // namespace
