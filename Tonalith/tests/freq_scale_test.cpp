#include <Tonalith/Analysis/FreqScale.h>

#include "support/ScaleSignalCounter.h"

#include <gtest/gtest.h>

#include <cmath>

using UI::FreqScale;
using UI::RowBand;
using UI::RowResult;
using UI::ValueRange;

namespace {

// Channels of `rows` rows in all over 0 .. high Hz, full range visible.
void SetUpScale(FreqScale& scale, int rows, bool mel, std::uint32_t channels = 1, float high = 22050.0f) {
    scale.SetPixelHeight(rows);
    scale.SetChannelCount(channels);
    scale.SetRange({0.0f, high});
    scale.SetVisibleRange({0.0f, high});
    scale.SetMelScale(mel);
}

}  // namespace

TEST(FreqScale, MelCurveBreaksAt500HzWithEqualSlopes) {
    FreqScale scale("Freq");
    SetUpScale(scale, 100, true);  // T = 99
    const double top = 99.5;
    const double logs = std::log(22050.0) - std::log(500.0);
    const double expectedBreak = (top - logs / 2) / (logs + 1);
    const float b = scale.MelBreakRow();
    EXPECT_NEAR(b, expectedBreak, 1e-4);

    EXPECT_NEAR(scale.PixelToFreq(b), 500.0f, 1e-3f);
    EXPECT_NEAR(scale.PixelToFreq(99.5f), 22050.0f, 0.05f);
    // Both sides of the break have the same slope.
    const double linearSlope = 500.0 / (b + 0.5);
    const double logSlope = 500.0 * logs / (top - b);
    EXPECT_NEAR(linearSlope, logSlope, 1e-3 * linearSlope);
    EXPECT_NEAR(scale.PixelToFreq(b + 0.01f) - scale.PixelToFreq(b), linearSlope * 0.01, 0.01);
    // Below the bottom edge the curve goes negative and clamps to the visible low end.
    EXPECT_EQ(scale.PixelToFreq(-1.0f), 0.0f);
    EXPECT_EQ(scale.PixelToFreq(-0.5f), 0.0f);
    EXPECT_EQ(scale.PixelToFreq(500.0f), 22050.0f);

    // An independent reference for a row in the logarithmic part.
    const float p = 80.0f;
    const double expected = std::exp((p - b) * logs / (top - b) + std::log(500.0));
    EXPECT_NEAR(scale.PixelToFreq(p), expected, expected * 1e-5);
}

TEST(FreqScale, MelBreakRowIsExactly500HzAtEveryHeight) {
    FreqScale scale("Freq");
    for (float high : {8000.0f, 11025.0f, 22050.0f, 24000.0f, 96000.0f}) {
        for (int rows = 1; rows <= 600; ++rows) {
            SetUpScale(scale, rows, true, 1, high);
            const float b = scale.MelBreakRow();
            if (b < -0.5f) continue;  // the band is too low to reach 500 Hz
            EXPECT_EQ(scale.PixelToFreq(b), 500.0f) << high << " Hz, " << rows << " rows, break " << b;
        }
    }
}

TEST(FreqScale, MelRoundTripThroughEveryRow) {
    FreqScale scale("Freq");
    for (int rows : {20, 99, 100, 480}) {
        SetUpScale(scale, rows, true);
        const int top = rows - 1;
        for (int p = 0; p <= top; ++p) {
            // A quarter row inside each row, away from the truncation edges.
            const float f = scale.PixelToFreq(static_cast<float>(p) + 0.25f);
            EXPECT_EQ(scale.FreqToRow(f), (RowResult{p, true})) << rows << " rows, row " << p << ", " << f << " Hz";
        }
        EXPECT_EQ(scale.FreqToRow(0.0f).row, 0);
        EXPECT_EQ(scale.FreqToRow(-100.0f).row, 0);
        EXPECT_EQ(scale.FreqToRow(22050.0f).row, top);
        EXPECT_EQ(scale.FreqToRow(1e9f).row, top);
    }
}

TEST(FreqScale, LinearMappingAndClamping) {
    FreqScale scale("Freq");
    SetUpScale(scale, 10, false);  // T = 9
    scale.SetVisibleRange({0.0f, 1000.0f});
    EXPECT_FLOAT_EQ(scale.PixelToFreq(0.0f), 50.0f);
    EXPECT_FLOAT_EQ(scale.PixelToFreq(9.0f), 950.0f);
    EXPECT_FLOAT_EQ(scale.PixelToFreq(-0.5f), 0.0f);
    EXPECT_FLOAT_EQ(scale.PixelToFreq(9.5f), 1000.0f);
    EXPECT_EQ(scale.PixelToFreq(30.0f), 1000.0f);
    EXPECT_EQ(scale.PixelToFreq(-30.0f), 0.0f);

    EXPECT_EQ(scale.FreqToRow(50.0f).row, 0);
    EXPECT_EQ(scale.FreqToRow(99.0f).row, 0);
    EXPECT_EQ(scale.FreqToRow(101.0f).row, 1);
    EXPECT_EQ(scale.FreqToRow(999.0f).row, 9);
    EXPECT_EQ(scale.FreqToRow(5000.0f).row, 9);
    EXPECT_EQ(scale.FreqToRow(-5.0f).row, 0);
    for (int p = 0; p <= 9; ++p) EXPECT_EQ(scale.FreqToRow(scale.PixelToFreq(static_cast<float>(p))).row, p);

    // The Mel curve ignores the visible range but is clamped by it.
    scale.SetMelScale(true);
    EXPECT_EQ(scale.PixelToFreq(9.0f), 1000.0f);

    // A point range gives row 0; no channels gives the visible low end.
    scale.SetMelScale(false);
    scale.SetVisibleRange({300.0f, 300.0f});
    EXPECT_EQ(scale.FreqToRow(300.0f).row, 0);
    FreqScale empty("Empty");
    empty.SetVisibleRange({100.0f, 200.0f});
    EXPECT_EQ(empty.PixelToFreq(3.0f), 100.0f);
}

TEST(FreqScale, MelCurveOverAnUnusableFullRangeGivesNumbers) {
    FreqScale scale("Freq");
    scale.SetPixelHeight(50);
    scale.SetChannelCount(1);
    scale.SetMelScale(true);
    for (float high : {0.0f, 500.0f, -3.0f}) {
        scale.SetRange({0.0f, high});
        scale.SetVisibleRange({0.0f, 1000.0f});
        for (float p : {-1.0f, 0.0f, 10.0f, 49.5f, 80.0f}) {
            const float f = scale.PixelToFreq(p);
            EXPECT_TRUE(f >= 0.0f && f <= 1000.0f) << high << " Hz, row " << p << ": " << f;
        }
        const int row = scale.FreqToRow(700.0f).row;
        EXPECT_TRUE(row >= 0 && row <= 49) << row;
    }
}

TEST(FreqScale, RowsWithinAChannelsBand) {
    FreqScale scale("Freq");
    SetUpScale(scale, 100, false, 2);  // bands {0, 47} and {51, 98}, T = 47
    EXPECT_EQ(scale.PixelToFreqInChannel(1, 98), scale.PixelToFreq(0.0f));
    EXPECT_EQ(scale.PixelToFreqInChannel(1, 51), scale.PixelToFreq(47.0f));
    EXPECT_EQ(scale.PixelToFreqInChannel(0, 47), scale.PixelToFreq(0.0f));
    EXPECT_EQ(scale.FreqToRowInChannel(1, 0.0f), (RowResult{98, true}));
    EXPECT_EQ(scale.FreqToRowInChannel(1, 22050.0f), (RowResult{51, true}));
    EXPECT_EQ(scale.FreqToRowInChannel(0, 22050.0f), (RowResult{0, true}));
    // Not a channel: the bottom row counts as 0.
    EXPECT_EQ(scale.PixelToFreqInChannel(5, -3), scale.PixelToFreq(3.0f));
}

TEST(FreqScale, SignalsForMelAndVisibleRangeOnly) {
    FreqScale scale("Freq");
    ScaleSignalCounter counter;
    ASSERT_TRUE(counter.Watch(&scale, "sigUserChangedVisibleFreqRange()"));
    scale.SetMelScale(false);
    EXPECT_EQ(counter.count, 0);
    scale.SetMelScale(true);
    EXPECT_EQ(counter.count, 1);
    scale.SetMelScale(true);
    EXPECT_EQ(counter.count, 1);
    scale.SetRange({0.0f, 24000.0f});
    EXPECT_EQ(counter.count, 1);
    EXPECT_EQ(scale.GetRange(), (ValueRange{0.0f, 24000.0f}));
    EXPECT_EQ(scale.GetVisibleRange(), ValueRange{});
    scale.SetVisibleRange({0.0f, 24000.0f});
    scale.SetVisibleRange({0.0f, 24000.0f});
    EXPECT_EQ(counter.count, 2);
    scale.SetVisibleRange({0.0f, 24000.0f}, true);
    EXPECT_EQ(counter.count, 3);
}
