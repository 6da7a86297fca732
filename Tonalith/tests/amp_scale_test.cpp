#include <Tonalith/Analysis/AmpScale.h>

#include "support/ScaleSignalCounter.h"

#include <gtest/gtest.h>

using UI::AmpScale;
using UI::RowBand;
using UI::RowResult;
using UI::ValueRange;

TEST(AmpScale, BandsForOneToSeveralChannels) {
    AmpScale scale("Amp");
    EXPECT_EQ(scale.ChannelBand(0), RowBand{});  // no channels yet
    scale.SetPixelHeight(100);
    scale.SetChannelCount(1);
    EXPECT_EQ(scale.ChannelBand(0), (RowBand{0, 99}));
    scale.SetChannelCount(2);
    EXPECT_EQ(scale.ChannelBand(0), (RowBand{0, 47}));
    EXPECT_EQ(scale.ChannelBand(1), (RowBand{51, 98}));
    EXPECT_EQ(scale.ChannelBand(2), RowBand{});
    scale.SetChannelCount(3);
    EXPECT_EQ(scale.ChannelBand(0), (RowBand{0, 30}));
    EXPECT_EQ(scale.ChannelBand(1), (RowBand{34, 64}));
    EXPECT_EQ(scale.ChannelBand(2), (RowBand{68, 98}));
    scale.SetChannelCount(4);  // h = (100 - 9) / 4 = 22
    EXPECT_EQ(scale.ChannelBand(3), (RowBand{75, 96}));
    // More channels than rows: inverted bands, never an overflow.
    scale.SetChannelCount(0xFFFFFFFFu);
    const RowBand last = scale.ChannelBand(0xFFFFFFFEu);
    EXPECT_TRUE(last.top > last.bottom || last.bottom >= 100);
}

TEST(AmpScale, AmplitudeToRowAnchoredOnTheZeroLine) {
    AmpScale scale("Amp");
    scale.SetPixelHeight(99);
    scale.SetChannelCount(1);  // band {0, 98}
    scale.SetRange({-1.0f, 1.0f});
    scale.SetVisibleRange({-1.0f, 1.0f});

    EXPECT_EQ(scale.AmpToPixel(0, 0.0f, true), (RowResult{49, true}));
    EXPECT_EQ(scale.AmpToPixel(0, 1.0f, true), (RowResult{0, true}));
    EXPECT_EQ(scale.AmpToPixel(0, -1.0f, true), (RowResult{98, true}));
    EXPECT_EQ(scale.AmpToPixel(0, 0.5f, true), (RowResult{49 - 24, true}));  // -24.5 ties to even
    EXPECT_EQ(scale.AmpToPixel(0, 1.5f, true), (RowResult{0, false}));
    EXPECT_EQ(scale.AmpToPixel(0, -1.5f, true), (RowResult{0, false}));
    // Without clipping the row leaves the band.
    EXPECT_EQ(scale.AmpToPixel(0, 1.5f, false), (RowResult{49 - 74, true}));  // -73.5 ties to even

    // A range without 0: the plain map, truncated.
    scale.SetVisibleRange({0.5f, 1.0f});
    EXPECT_EQ(scale.AmpToPixel(0, 0.75f, false), (RowResult{49, true}));
    EXPECT_EQ(scale.AmpToPixel(0, 0.5f, false), (RowResult{98, true}));
    EXPECT_EQ(scale.AmpToPixel(0, 0.0f, true), (RowResult{0, false}));

    // A point range puts everything on the bottom row; {0, 0} saturates, never crashes.
    scale.SetVisibleRange({0.25f, 0.25f});
    EXPECT_EQ(scale.AmpToPixel(0, 0.25f, false).row, 98);
    scale.SetVisibleRange({0.0f, 0.0f});
    EXPECT_EQ(scale.AmpToPixel(0, 0.0f, false).row, 98);
    EXPECT_TRUE(scale.AmpToPixel(0, 1.0f, false).valid);
}

TEST(AmpScale, RowToAmplitude) {
    AmpScale scale("Amp");
    scale.SetPixelHeight(99);
    scale.SetChannelCount(1);
    scale.SetVisibleRange({-1.0f, 1.0f});
    EXPECT_EQ(scale.PixelToAmp(0, 98), -1.0f);
    EXPECT_EQ(scale.PixelToAmp(0, 200), -1.0f);
    EXPECT_EQ(scale.PixelToAmp(0, 0), 1.0f);
    EXPECT_EQ(scale.PixelToAmp(0, -7), 1.0f);
    EXPECT_EQ(scale.PixelToAmp(0, 49), 0.0f);
    EXPECT_FLOAT_EQ(scale.PixelToAmp(0, 24), 2.0f / -98.0f * (24 - 49));

    scale.SetVisibleRange({0.5f, 1.0f});
    EXPECT_FLOAT_EQ(scale.PixelToAmp(0, 49), 0.5f + (49.0f - 98.0f) / -98.0f * 0.5f);

    // The second channel's band.
    scale.SetPixelHeight(100);
    scale.SetChannelCount(2);
    scale.SetVisibleRange({-1.0f, 1.0f});
    EXPECT_EQ(scale.PixelToAmp(1, 98), -1.0f);
    EXPECT_EQ(scale.PixelToAmp(1, 51), 1.0f);
    // Zero line trunc(74.5) = 74, then -23.5 to even: one row above the band, unclamped.
    EXPECT_EQ(scale.AmpToPixel(1, 0.0f, true).row, 74);
    EXPECT_EQ(scale.AmpToPixel(1, 1.0f, true).row, 50);
}

TEST(AmpScale, RangesAndSignals) {
    AmpScale scale("Amp");
    ScaleSignalCounter counter;
    ASSERT_TRUE(counter.Watch(&scale, "sigUserChangedVisibleAmpRange()"));
    scale.SetRange({-1.0f, 1.0f});
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(scale.GetVisibleRange(), ValueRange{});
    scale.SetVisibleRange({-1.0f, 1.0f});
    scale.SetVisibleRange({-1.0f, 1.0f});
    EXPECT_EQ(counter.count, 1);
    scale.SetVisibleRange({-1.0f, 1.0f}, true);
    EXPECT_EQ(counter.count, 2);
    scale.SetPixelHeight(-1);
    EXPECT_EQ(scale.GetPixelHeight(), 1);
}
