#include <Tonalith/Display/RulerLabelStep.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(RulerStep, HandWorkedSteps) {
    // 256 rows over 0..22050 Hz: raw 1292 gives 10000, 5000 and 2000; 2000 wins.
    const auto hz = UI::NiceRulerStep(256.0f, 22050.0f, 0.0f, 15.0f);
    EXPECT_FLOAT_EQ(hz.step, 2000.0f);
    EXPECT_TRUE(hz.twoForm);
    EXPECT_EQ(hz.decimals, 0);
    EXPECT_EQ(hz.first, 0);
    EXPECT_EQ(hz.count, 12);  // 0, 2000, ..., 22000
    EXPECT_FLOAT_EQ(hz.Value(11), 22000.0f);

    // 0.9 Hz over 100 rows: raw 0.135 gives 0.2 with one decimal.
    const auto narrow = UI::NiceRulerStep(100.0f, 0.9f, 10.0f, 15.0f);
    EXPECT_FLOAT_EQ(narrow.step, 0.2f);
    EXPECT_EQ(narrow.decimals, 1);
    EXPECT_EQ(narrow.first, 50);  // 10.0 / 0.2
    EXPECT_EQ(narrow.count, 5);  // 10.0 .. 10.8

    // 100 rows over 0..60: raw 9 gives c1 = 10, c2 = 50, c5 = 20; the 10^k step wins.
    const auto tens = UI::NiceRulerStep(100.0f, 60.0f, 0.0f, 15.0f);
    EXPECT_FLOAT_EQ(tens.step, 10.0f);
    EXPECT_FALSE(tens.twoForm);
    EXPECT_EQ(tens.decimals, 0);

    // 10 s over 500 columns at 45 pixels: raw 0.9 gives 1, 5 and 2; 1 wins, no decimals.
    const auto seconds = UI::NiceRulerStep(500.0, 10.0, 0.0, 45.0);
    EXPECT_DOUBLE_EQ(seconds.step, 1.0);
    EXPECT_FALSE(seconds.twoForm);
    EXPECT_EQ(seconds.decimals, 0);
    EXPECT_EQ(seconds.count, 11);

    // 0.01 s over 500 columns: raw 0.0009 gives 0.001 with three decimals.
    const auto milli = UI::NiceRulerStep(500.0, 0.01, 2.0, 45.0);
    EXPECT_DOUBLE_EQ(milli.step, 0.001);
    EXPECT_EQ(milli.decimals, 3);
    EXPECT_EQ(milli.first, 2000);

    // Amplitude: 100 rows over -1..1 at 12 pixels: raw 0.24 lies nearer 0.5 than 1.
    const auto amp = UI::AmpRulerStep(100.0f, 2.0f, -1.0f, 12.0f);
    EXPECT_FLOAT_EQ(amp.step, 0.5f);
    EXPECT_EQ(amp.decimals, 1);
    EXPECT_EQ(amp.first, -2);
    EXPECT_EQ(amp.count, 5);
    // Raw 0.7 lies nearer 1 than 5.
    const auto ampWide = UI::AmpRulerStep(100.0f, 2.0f / 0.24f * 0.7f, 0.0f, 12.0f);
    EXPECT_FLOAT_EQ(ampWide.step, 1.0f);
    EXPECT_EQ(ampWide.decimals, 0);
}

TEST(RulerStep, MinorTicksSplitTheStep) {
    const auto two = UI::NiceRulerStep(256.0f, 22050.0f, 0.0f, 15.0f);
    ASSERT_EQ(UI::MinorTickValues(two, 2000.0f).size(), 1u);
    EXPECT_FLOAT_EQ(UI::MinorTickValues(two, 2000.0f)[0], 3000.0f);
    const auto five = UI::NiceRulerStep(100.0f, 0.9f, 0.0f, 15.0f);  // 0.2 is two-form too
    EXPECT_EQ(UI::MinorTickValues(five, 0.0f).size(), 1u);
    const auto one = UI::NiceRulerStep(100.0f, 60.0f, 0.0f, 15.0f);
    const auto values = UI::MinorTickValues(one, 10.0f);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_FLOAT_EQ(values[0], 12.0f);
    EXPECT_FLOAT_EQ(values[3], 18.0f);
}

TEST(RulerStep, DegenerateAxesGiveNoLabels) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_TRUE(UI::NiceRulerStep(100.0f, 0.0f, 5.0f, 15.0f).Empty());
    EXPECT_TRUE(UI::NiceRulerStep(100.0f, nan, 0.0f, 15.0f).Empty());
    EXPECT_TRUE(UI::NiceRulerStep(100.0f, inf, 0.0f, 15.0f).Empty());
    EXPECT_TRUE(UI::NiceRulerStep(0.0f, 10.0f, 0.0f, 15.0f).Empty());
    EXPECT_TRUE(UI::NiceRulerStep(100.0f, -10.0f, 0.0f, 15.0f).Empty());
    EXPECT_TRUE(UI::AmpRulerStep(100.0f, 0.0f, 0.0f, 12.0f).Empty());
    EXPECT_TRUE(UI::AmpRulerStep(100.0f, 1.0f, nan, 12.0f).Empty());
    // Label indexes beyond what a double counts exactly.
    EXPECT_TRUE(UI::NiceRulerStep(100.0f, 1e-6f, 1e15f, 15.0f).Empty());
    // Huge frame numbers in double keep their exact labels.
    const auto frames = UI::NiceRulerStep(500.0, 1000.0, 1.0e12, 45.0);
    ASSERT_FALSE(frames.Empty());
    EXPECT_DOUBLE_EQ(frames.Value(0), 1.0e12);
}

}  // namespace
