#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/WaveformCalculator.h>
#include <Tonalith/Display/AudioDisplay.h>

#include <QvBase/UI/Drawing/Image.h>

#include <QvBase/Util/Math.h>
#include "support/WholeView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using UI::AudioViewRequest;
using UI::PeakPair;
using UI::SampleRange;
using UI::StepFailureCause;
using UI::WaveformCalculator;

namespace {

constexpr std::uint32_t B = WaveformCalculator::kBackground;
constexpr std::uint32_t Z = WaveformCalculator::kZeroLine;

// Channels of samples, a source over them and a calculator bound to that source.
struct Rig {
    std::vector<std::vector<float>> channels;
    std::vector<const float*> table;
    SharedPtr<UI::AudioDisplaySource> source;
    WaveformCalculator calculator;

    explicit Rig(std::vector<std::vector<float>> samples, std::uint32_t sourceLength = UINT32_MAX)
        : channels(std::move(samples)), source(MakeSource(sourceLength)), calculator(source) {
        calculator.SetActive(true);
    }

    SharedPtr<UI::AudioDisplaySource> MakeSource(std::uint32_t sourceLength) {
        for (const auto& c : channels) table.push_back(c.data());
        const auto length = sourceLength != UINT32_MAX ? sourceLength : static_cast<std::uint32_t>(channels[0].size());
        return SharedPtr<UI::AudioDisplaySource>(new UI::AudioDisplayMemorySource(
            "Rig", 44100, static_cast<std::uint32_t>(channels.size()), length, table.data()));
    }

    // The whole length, amplitudes -1..1, visible frames as given (all by default).
    void View(std::uint64_t length, SampleRange visible = SampleRange()) {
        AudioViewRequest view = WholeView(static_cast<std::uint32_t>(channels.size()), length);
        if (!visible.IsEmpty()) view.visible = visible;
        bool compute = false, render = false;
        calculator.SyncView(view, &compute, &render);
        calculator.SetNeedsCompute(compute || calculator.NeedsCompute());
        calculator.SetNeedsRender(render || calculator.NeedsRender());
    }

    int Compute() { return calculator.DoCompute(); }

    SharedPtr<UI::Image> Render(int width, int height, int* result) {
        SharedPtr<UI::Image> image = UI::Image::Create({width, height});
        std::fill(image->Pixels(), image->Pixels() + width * height, 0x12345678u);
        calculator.SetNeedsRender(true);
        *result = calculator.DoRender(image.Get());
        return image;
    }
};

StepFailureCause Cause(const WaveformCalculator& calculator, UI::CalculatorStep step) {
    return calculator.LastFailure(step).cause;
}
// What the display shows for the calculator's failures.
String DisplayText(const WaveformCalculator& calculator) {
    return UI::AudioDisplay::FailureText(
        calculator.LastFailure(UI::CalculatorStep::Compute), calculator.LastFailure(UI::CalculatorStep::Render));
}

std::vector<std::uint32_t> Pixels(const UI::Image& image) {
    return std::vector<std::uint32_t>(image.Pixels(), image.Pixels() + image.Width() * image.Height());
}

// Independent min/max of a block, converted by rounding to nearest (ties to even).
PeakPair ReferencePair(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    PeakPair pair;
    for (std::size_t i = from; i < to; ++i) {
        const long v = std::clamp(std::lrint(static_cast<double>(samples[i]) * 32768.0), -32768L, 32767L);
        pair.min = static_cast<std::int16_t>(std::min<long>(pair.min, v));
        pair.max = static_cast<std::int16_t>(std::max<long>(pair.max, v));
    }
    return pair;
}

}  // namespace

TEST(WaveformCalculator, SampleConversionRoundsAndClamps) {
    EXPECT_EQ(UI::SampleToPeak(1.0f), 32767);
    EXPECT_EQ(UI::SampleToPeak(-1.0f), -32768);
    EXPECT_EQ(UI::SampleToPeak(2.5f), 32767);
    EXPECT_EQ(UI::SampleToPeak(-7.0f), -32768);
    EXPECT_EQ(UI::SampleToPeak(0.5f / 32768.0f), 0);  // 0.5 ties to even
    EXPECT_EQ(UI::SampleToPeak(1.5f / 32768.0f), 2);  // 1.5 ties to even
    EXPECT_EQ(UI::SampleToPeak(-2.5f / 32768.0f), -2);
    EXPECT_EQ(UI::SampleToPeak(std::nanf("")), 0);
    EXPECT_EQ(UI::PeakToAmp(-32768), -1.0f);
    EXPECT_EQ(UI::PeakToAmp(16384), 0.5f);
}

TEST(WaveformCalculator, ComputeKeepsOnePairPerWholeBlock) {
    std::vector<float> left(1000), right(1000);
    for (int i = 0; i < 1000; ++i) {
        left[i] = static_cast<float>(std::sin(i * 0.05) * (i / 1000.0));
        right[i] = (i % 7 == 0) ? -1.0f : 0.25f;
    }
    right[900] = 1.0f;  // in the trailing 104 frames: no block holds it
    Rig rig({left, right});
    rig.View(1000);
    EXPECT_EQ(rig.Compute(), 0);
    EXPECT_EQ(rig.calculator.GetComputeProgress(), 100.0f);
    const UI::ChannelPeaks& peaks = rig.calculator.BlockPeaks();
    ASSERT_EQ(peaks.size(), 2u);
    ASSERT_EQ(peaks[0].size(), 7u);
    for (std::size_t b = 0; b < 7; ++b) {
        EXPECT_EQ(peaks[0][b], ReferencePair(left, b * 128, b * 128 + 128)) << b;
        EXPECT_EQ(peaks[1][b], ReferencePair(right, b * 128, b * 128 + 128)) << b;
    }
    EXPECT_EQ(peaks[1][0], (PeakPair{-32768, 8192}));

    // Zoomed in on the trailing frames, the samples themselves show them.
    int result = -1;
    rig.View(1000, SampleRange::FromEnds(896, 999));
    rig.Render(104, 40, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(rig.calculator.PixelPeaks()[1][4].max, 32767);  // frame 900
    // Zoomed out, the block pairs stand in for them and frame 900 is gone.
    rig.View(1000, SampleRange(0, 1000));
    rig.Render(4, 40, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(rig.calculator.PixelPeaks()[1][3], (PeakPair{-32768, 8192}));
    EXPECT_EQ(rig.calculator.GetRenderProgress(), 100.0f);
    EXPECT_EQ(rig.calculator.GetRenderedColumns(), 4u);
}

TEST(WaveformCalculator, ImageOfAKnownSignalPixelForPixel) {
    // Four frames across four columns and five rows, amplitudes -1..1 (worked by hand):
    // columns cover frames {0,1} {1,2} {2} {2,3}, so peaks 0.5/-0.5, 1/-0.5, 1/1, 1/0;
    // the zero line is row trunc(4 - 2) = 2, amplitude 0.5 row 1, -0.5 row 3, 1 row 0.
    // Stroke colours: top 0x20BD20..0x20FD20 and bottom 0x5E785E..0x5E985E mixed by
    // column weights 0, 85, 170, 255, then by row weights 255, 191, 127, 64 towards the top.
    Rig rig({{0.5f, -0.5f, 1.0f, 0.0f}});
    rig.View(4);
    EXPECT_EQ(rig.Compute(), 0);
    EXPECT_TRUE(rig.calculator.BlockPeaks()[0].empty());
    int result = -1;
    SharedPtr<UI::Image> image = rig.Render(4, 5, &result);
    ASSERT_EQ(result, 0);
    const std::vector<std::uint32_t> expected = {
        B, 0x20D220, 0x20E720, 0x20FD20,  // row 0
        0x2FAB2F, 0x2FBD2F, B, 0x2FE32F,  // row 1
        0x3F9A3F, 0x3FA93F, Z, 0x3FCA3F,  // row 2: zero line under the strokes
        0x4E894E, 0x4E954E, B, B,  // row 3
        B, B, B, B,  // row 4
    };
    EXPECT_EQ(Pixels(*image), expected);
}

TEST(WaveformCalculator, SilenceDrawsTheZeroLineStroke) {
    Rig rig({std::vector<float>(640, 0.0f), std::vector<float>(640, 0.0f)});
    rig.View(640);
    EXPECT_EQ(rig.Compute(), 0);
    int result = -1;
    // 5 columns at 128 frames each: block mode. Height 23: bands {0, 9} and {13, 22}.
    SharedPtr<UI::Image> image = rig.Render(5, 23, &result);
    ASSERT_EQ(result, 0);
    const std::vector<std::uint32_t> pixels = Pixels(*image);
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 5; ++x) {
            const std::uint32_t p = pixels[y * 5 + x];
            if (y >= 10 && y <= 12)
                EXPECT_EQ(p, 0x12345678u) << "gap rows keep what the buffer held";
            else if (y == 4 || y == 17)  // zero rows: trunc(9 - 4.5), trunc(22 - 4.5)
                EXPECT_EQ(p & 0xFF000000u, 0u) << "stroke on the zero line at " << x << "," << y;
            else
                EXPECT_EQ(p, B) << x << "," << y;
        }
    }
    // The stroke's left end is the left colour mixed for its row.
    EXPECT_EQ(pixels[4 * 5 + 0], UI::BlendColour(0x20BD20, 0x5E785E, 255 - 46));  // round(4 * 255 / 22) = 46
}

TEST(WaveformCalculator, ColumnsBeyondTheComputedBlocksStayEmpty) {
    Rig rig({std::vector<float>(1000, 0.5f)});
    rig.View(1000);
    EXPECT_EQ(rig.Compute(), 0);
    // The view reaches past the file: columns 7 to 9 cover blocks that were never computed.
    rig.View(1000, SampleRange::FromEnds(0, 1279));
    int result = -1;
    SharedPtr<UI::Image> image = rig.Render(10, 9, &result);
    ASSERT_EQ(result, 0);
    const std::vector<std::uint32_t> pixels = Pixels(*image);
    for (int x = 7; x < 10; ++x) {
        EXPECT_EQ(rig.calculator.PixelPeaks()[0][x], PeakPair{});
        for (int y = 0; y < 9; ++y) EXPECT_EQ(pixels[y * 10 + x], y == 4 ? Z : B) << x << "," << y;
    }
    EXPECT_EQ(rig.calculator.PixelPeaks()[0][6], (PeakPair{16384, 16384}));
}

TEST(WaveformCalculator, ARefusedReadFailsWithItsCauseInsteadOfRetrying) {
    // The view claims 1024 frames but the source holds 600: a block read is refused.
    Rig rig({std::vector<float>(1024, 0.1f)}, 600);
    rig.View(1024);
    EXPECT_EQ(rig.Compute(), 2);
    EXPECT_FALSE(rig.calculator.NeedsCompute());
    EXPECT_EQ(Cause(rig.calculator, UI::CalculatorStep::Compute), StepFailureCause::SourceRefused);
    EXPECT_EQ(DisplayText(rig.calculator), String("Computing failed"));
    // A view far past the source fails at once, without allocating its blocks.
    rig.View(1ull << 40);
    EXPECT_EQ(rig.Compute(), 2);
    EXPECT_EQ(Cause(rig.calculator, UI::CalculatorStep::Compute), StepFailureCause::SourceRefused);
    EXPECT_TRUE(rig.calculator.BlockPeaks().empty());
    // Zoomed-in frames the source does not hold fail the render.
    rig.View(1024, SampleRange::FromEnds(590, 610));
    int result = -1;
    rig.Render(21, 10, &result);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(Cause(rig.calculator, UI::CalculatorStep::Render), StepFailureCause::SourceRefused);
}

TEST(WaveformCalculator, RunningOutOfMemoryFailsWithTheCauseTheDisplayNames) {
    // 65536 channels of 2^32 - 1 frames: terabytes of block peaks, which the step must
    // refuse before it allocates them.
    class Huge : public UI::AudioDisplaySource {
    public:
        Huge() : UI::AudioDisplaySource("huge") {}
        std::uint32_t GetSampleRate() const override { return 44100; }
        std::uint32_t GetChannelCount() const override { return 65536; }
        std::uint32_t GetLength() const override { return UINT32_MAX; }
        std::uint64_t GetPosition() const override { return 0; }
        void Seek(std::uint64_t) override {}
        bool ReadFloatInterleaved(std::uint32_t, double*) override { return false; }
        bool ReadFloatInterleaved(std::uint32_t, float*) override { return false; }
        bool ReadFloatDeinterleaved(std::uint32_t, float**) override { return false; }
    } huge;
    WaveformCalculator calculator(&huge);
    bool compute = false, render = false;
    calculator.SyncView(WholeView(65536, UINT32_MAX), &compute, &render);
    calculator.SetActive(true);
    calculator.SetNeedsCompute(true);
    EXPECT_EQ(calculator.DoCompute(), UI::kStepFailed);
    EXPECT_EQ(Cause(calculator, UI::CalculatorStep::Compute), StepFailureCause::OutOfMemory);
    EXPECT_TRUE(calculator.BlockPeaks().empty());
    EXPECT_EQ(DisplayText(calculator), String("Computing failed: not enough memory for these settings"));

    // Under a memory budget. 1000 frames in 4 columns: 40 bytes of pixel peaks (a vector's
    // own 24 bytes with its pairs); in 10 columns, fewer than 128 frames a column: 64 bytes
    // of them, then 4000 bytes of samples.
    const struct {
        std::uint64_t budget;
        int width;
        int result;
    } cases[] = {{39, 4, 2}, {40, 4, 0}, {63, 10, 2}, {3999, 10, 2}, {4000, 10, 0}};
    Rig rig({std::vector<float>(1000, 0.5f)});
    rig.View(1000);
    ASSERT_EQ(rig.Compute(), 0);
    for (const auto& c : cases) {
        rig.calculator.SetMemoryBudget(c.budget);
        int result = -1;
        rig.Render(c.width, 8, &result);
        EXPECT_EQ(result, c.result) << c.budget;
        EXPECT_EQ(Cause(rig.calculator, UI::CalculatorStep::Render),
            c.result == 0 ? StepFailureCause::None : StepFailureCause::OutOfMemory)
            << c.budget;
        EXPECT_EQ(DisplayText(rig.calculator),
            String(c.result == 0 ? "" : "Rendering failed: not enough memory for these settings"))
            << c.budget;
    }
}

TEST(WaveformCalculator, PaintRefusesBandsOutsideTheImage) {
    Rig rig({std::vector<float>(256, 0.25f)});
    rig.View(256);
    EXPECT_EQ(rig.Compute(), 0);
    // A view of no channels gives the source's channel no band: nothing is painted.
    bool c = false, r = false;
    rig.calculator.SyncView(WholeView(0, 256), &c, &r);
    int result = -1;
    rig.Render(8, 8, &result);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(Cause(rig.calculator, UI::CalculatorStep::Render), StepFailureCause::Unusable);
}
