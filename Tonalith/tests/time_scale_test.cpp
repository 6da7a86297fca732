#include <Tonalith/Analysis/TimeScale.h>

#include "support/ScaleSignalCounter.h"

#include <gtest/gtest.h>

using UI::SampleRange;
using UI::TimeScale;

TEST(TimeScale, StartsEmptyAndKeepsOnlyPositiveWidths) {
    TimeScale scale("Time");
    EXPECT_EQ(scale.GetPixelWidth(), 1);
    EXPECT_EQ(scale.GetLength(), 0u);
    EXPECT_TRUE(scale.GetVisibleRange().IsEmpty());
    scale.SetPixelWidth(0);
    scale.SetPixelWidth(-5);
    EXPECT_EQ(scale.GetPixelWidth(), 1);
    scale.SetPixelWidth(640);
    EXPECT_EQ(scale.GetPixelWidth(), 640);
}

TEST(TimeScale, SignalsOnlyRealOrForcedChanges) {
    TimeScale scale("Time");
    ScaleSignalCounter counter;
    ASSERT_TRUE(counter.Watch(&scale, "sigUserChangedVisibleSamples()"));

    scale.SetVisibleRange(SampleRange(0, 100));
    EXPECT_EQ(counter.count, 1);
    scale.SetVisibleRange(SampleRange(0, 100));
    EXPECT_EQ(counter.count, 1);
    scale.SetVisibleRange(SampleRange(0, 100), true);
    EXPECT_EQ(counter.count, 2);
    // Ranges are not validated.
    scale.SetVisibleRange(SampleRange::FromEnds(50, 10));
    EXPECT_EQ(counter.count, 3);
    EXPECT_EQ(scale.GetVisibleRange(), SampleRange::FromEnds(50, 10));

    // A new length empties the visible range without a signal.
    scale.SetLength(1000);
    EXPECT_EQ(scale.GetLength(), 1000u);
    EXPECT_TRUE(scale.GetVisibleRange().IsEmpty());
    EXPECT_EQ(counter.count, 3);
}

TEST(TimeScale, PixelToSampleAtTheEdges) {
    TimeScale scale("Time");
    scale.SetLength(1000);
    scale.SetVisibleRange(SampleRange::FromEnds(100, 200));

    // One column shows the first frame, whatever the column.
    EXPECT_EQ(scale.PixelToSample(0, false), 100u);
    EXPECT_EQ(scale.PixelToSample(7, false), 100u);
    EXPECT_EQ(scale.PixelToSample(0, true), 100u);

    scale.SetPixelWidth(11);
    EXPECT_EQ(scale.PixelToSample(0, false), 100u);
    EXPECT_EQ(scale.PixelToSample(5, false), 150u);
    EXPECT_EQ(scale.PixelToSample(10, false), 200u);
    // The end flag lets the last column reach one frame past the range.
    EXPECT_EQ(scale.PixelToSample(10, true), 201u);
    EXPECT_EQ(scale.PixelToSample(5, true), 151u);  // 150.5 rounds away from zero
    // Columns outside the width clamp to the range.
    EXPECT_EQ(scale.PixelToSample(-3, false), 100u);
    EXPECT_EQ(scale.PixelToSample(40, false), 200u);
    EXPECT_EQ(scale.PixelToSample(40, true), 201u);

    // Halves round away from zero: frames 0..1 over three columns.
    scale.SetVisibleRange(SampleRange::FromEnds(0, 1));
    scale.SetPixelWidth(3);
    EXPECT_EQ(scale.PixelToSample(1, false), 1u);
    EXPECT_EQ(scale.PixelToSample(-1, false), 0u);
}

TEST(TimeScale, HugeFrameNumbersStayInRange) {
    TimeScale scale("Time");
    scale.SetPixelWidth(100);
    const std::uint64_t top = (1ull << 62);
    scale.SetVisibleRange(SampleRange::FromEnds(top, top + 1000));
    EXPECT_EQ(scale.PixelToSample(0, false), top);
    EXPECT_EQ(scale.PixelToSample(99, false), top + 1000);
    EXPECT_EQ(scale.PixelToSample(1 << 30, false), top + 1000);
}
