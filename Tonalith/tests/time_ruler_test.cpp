#include "ruler_fixture.h"

#include <Tonalith/Display/TimeRuler.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using ruler_test::RulerTest;

class TimeRulerTest : public RulerTest {
protected:
    // 10 s at the canvas rate over 500 columns, shown whole unless a range is given.
    void Load(std::uint64_t length = 441000, UI::SampleRange visible = UI::SampleRange()) {
        scale.SetPixelWidth(500);
        scale.SetLength(length);
        scale.SetVisibleRange(visible.IsEmpty() ? UI::SampleRange(0, length) : visible);
    }
    std::int32_t StoredMode() { return app->GetSettings().GetInt("TimeRuler.Mode", -99); }

    UI::TimeScale scale{"Time"};
};

TEST_F(TimeRulerTest, NothingLoaded) {
    UI::TimeRuler ruler(&canvas, frame.get(), nullptr, "Time Ruler", &scale);
    EXPECT_EQ(ruler.Height(), 19);
    EXPECT_STREQ(ruler.UnitLabel()->GetText().CStr(), "s");
    EXPECT_EQ(ruler.UnitLabel()->GetRect().left, 2);
    EXPECT_EQ(ruler.UnitLabel()->GetRect().top, 4);
    EXPECT_TRUE(ruler.Labels().empty());
    EXPECT_FALSE(ruler.IsLaidOut());
    // A press with no file loaded takes no capture.
    EXPECT_TRUE(ruler.OnLeftDown({10, 5}, 1));
    EXPECT_EQ(frame->CaptureWindow(), nullptr);
    EXPECT_FALSE(ruler.IsDragging());
}

TEST_F(TimeRulerTest, SecondsOfTenSecondsOverFiveHundredColumns) {
    Load();
    UI::TimeRuler ruler(&canvas, frame.get(), nullptr, "Time Ruler", &scale);
    ruler.SetGeometry(0, 0, 500, 19);
    ASSERT_TRUE(ruler.IsLaidOut());
    // raw 0.9 s gives the step 1 s, no decimals; label v at column 50·v.
    EXPECT_EQ(
        Texts(ruler.Labels()), (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(Positions(ruler.Labels()), (std::vector<int>{0, 50, 100, 150, 200, 250, 300, 350, 400, 450, 500}));
    // 10 s falls on column 500: no tick, hidden; 0 s is hidden too (it would start left of 0).
    EXPECT_EQ(ruler.MajorTicks(), (std::vector<int>{0, 50, 100, 150, 200, 250, 300, 350, 400, 450}));
    const auto shown = Shown(ruler.Labels());
    EXPECT_FALSE(shown.front());
    EXPECT_FALSE(shown.back());
    for (int k = 1; k <= 9; ++k) EXPECT_TRUE(shown[k]) << k;
    // Four minor ticks every 0.2 s after every label that stay within the ruler.
    ASSERT_EQ(ruler.MinorTicks().size(), 40u);
    EXPECT_EQ(std::vector<int>(ruler.MinorTicks().begin(), ruler.MinorTicks().begin() + 5),
        (std::vector<int>{10, 20, 30, 40, 60}));
    EXPECT_EQ(ruler.MinorTicks().back(), 490);

    const UI::RulerLabel& label = ruler.Labels()[3];
    EXPECT_STREQ(label.label->Name().CStr(), "TimeRuler Label 3");
    EXPECT_STREQ(label.shadow->Name().CStr(), "TimeRuler Label 3 Shadow");
    EXPECT_EQ(label.label->GetRect().left, 150 - label.label->Width() / 2);
    EXPECT_EQ(label.label->GetRect().top, 4);
    EXPECT_EQ(label.shadow->GetRect().left, label.label->GetRect().left + 1);
    EXPECT_EQ(label.shadow->GetRect().top, 5);
}

TEST_F(TimeRulerTest, SamplesModeAndTheCanvasRate) {
    Load();
    UI::TimeRuler ruler(&canvas, frame.get(), nullptr, "Time Ruler", &scale);
    ruler.SetGeometry(0, 0, 500, 19);
    ruler.SetMode(1);
    // raw = 45 · 441000 / 500 = 39690: c1 = 100000, c2 = 50000, c5 = 200000; 50000 wins.
    EXPECT_EQ(Texts(ruler.Labels()),
        (std::vector<std::string>{"0", "50000", "100000", "150000", "200000", "250000", "300000", "350000", "400000"}));
    EXPECT_EQ(Positions(ruler.Labels()), (std::vector<int>{0, 57, 113, 170, 227, 283, 340, 397, 454}));
    // Four minor ticks every 10000 frames after each label; the last at 440000 lands on column 499.
    ASSERT_EQ(ruler.MinorTicks().size(), 36u);
    EXPECT_EQ(ruler.MinorTicks().back(), 499);
    EXPECT_STREQ(ruler.UnitLabel()->GetText().CStr(), "s");

    // Another canvas rate: seconds follow the canvas, not the file.
    UI::AudioCanvas slow(22050);
    UI::TimeRuler other(&slow, frame.get(), nullptr, "Time Ruler 2", &scale);
    other.SetMode(0);
    other.SetGeometry(0, 0, 500, 19);
    EXPECT_EQ(Texts(other.Labels()).back(), "20");
    EXPECT_EQ(other.Labels()[1].text.CStr(), std::string("2"));  // 20 s: raw 1.8 gives 2
}

TEST_F(TimeRulerTest, LongFilesKeepExactFrameLabels) {
    // Past 2^24 frames a single-precision label would be off by whole frames.
    Load(std::uint64_t(1) << 40, UI::SampleRange(123456789012ull, 1000));
    UI::TimeRuler ruler(&canvas, frame.get(), nullptr, "Time Ruler", &scale);
    ruler.SetMode(1);
    ruler.SetGeometry(0, 0, 500, 19);
    ASSERT_FALSE(ruler.Labels().empty());
    EXPECT_EQ(Texts(ruler.Labels()).front(), "123456789000");
}

// From a whole hour down to one frame deep inside it, in both modes: shown labels keep clear
// of each other, sit over their own frames, and carry just the decimals their step needs.
TEST_F(TimeRulerTest, LabelsStayApartAndReadableAtAnyZoom) {
    const std::uint64_t hour = 3600ull * 44100;
    struct Case {
        std::uint64_t length, first, count;
        int width;
        double usualStep[2];  // by mode, where the 45-pixel rule's labels already fit; else 0
    } const cases[] = {{441000, 0, 441000, 500, {1, 50000}}, {hour, 0, hour, 1200, {200, 1e7}},
        {hour, 76923000, 441000, 1200, {0.5, 0}},  // 1744 s; 8-digit frames crowd at 54 pixels
        {hour, 76923000, 44100, 1200, {0.05, 0}}, {hour, 76923000, 44100, 1000, {}}, {hour, 76923319, 441, 1200, {}},
        {hour, 76923319, 10, 1200, {}}, {hour, 76923319, 5, 600, {}}, {hour, hour - 1, 1, 600, {}},
        {hour, 0, 1, 600, {}}, {std::uint64_t(1) << 40, 123456789012ull, 3, 700, {}}};
    auto decimalsOf = [](const std::string& t) { return t.find('.') == t.npos ? 0 : int(t.size() - t.find('.') - 1); };
    for (const Case& c : cases) {
        for (std::uint32_t mode : {0u, 1u}) {
            Load(c.length, UI::SampleRange(c.first, c.count));
            UI::TimeRuler ruler(&canvas, frame.get(), nullptr, "Time Ruler", &scale);
            ruler.SetMode(mode);
            ruler.SetGeometry(0, 0, c.width, 19);
            const std::string where = "first " + std::to_string(c.first) + " count " + std::to_string(c.count) +
                " width " + std::to_string(c.width) + " mode " + std::to_string(mode);
            const std::vector<std::string> texts = Texts(ruler.Labels());
            ASSERT_GE(texts.size(), 2u) << where;
            const int decimals = decimalsOf(texts[0]);
            const long double unit = std::pow(10.0L, -decimals), perValue = mode == 0 ? 44100.0L : 1.0L;
            const long double step = std::strtold(texts[1].c_str(), nullptr) - std::strtold(texts[0].c_str(), nullptr);
            // 1, 2 or 5 in the last decimal, or 1, 2 or 5 times a power of ten without decimals.
            const long double lead =
                step / (decimals > 0 ? unit : std::pow(10.0L, std::floor(std::log10(step) + 1e-9L)));
            EXPECT_TRUE(std::fabs(lead - 1) < 1e-6 || std::fabs(lead - 2) < 1e-6 || std::fabs(lead - 5) < 1e-6)
                << where;
            int shown = 0, widest = 0, previousRight = -1000;
            for (std::size_t k = 0; k < texts.size(); ++k) {
                const UI::RulerLabel& label = ruler.Labels()[k];
                const long double value = std::strtold(texts[k].c_str(), nullptr);
                EXPECT_EQ(decimalsOf(texts[k]), decimals) << where << " " << texts[k];
                if (k > 0) {
                    const long double before = std::strtold(texts[k - 1].c_str(), nullptr);
                    EXPECT_NEAR(double(value - before), double(step), double(unit / 100)) << where << " " << texts[k];
                }
                EXPECT_NEAR(label.position, double((value * perValue - c.first) * c.width / c.count), 0.51) << where;
                widest = std::max(widest, label.label->Width());
                if (!label.label->IsVisible()) continue;
                ++shown;
                // Past the previous label's shadow, one column right of it, and a blank column.
                EXPECT_GT(label.label->GetRect().left, previousRight + 2) << where << " " << texts[k];
                previousRight = label.label->GetRect().right;
            }
            EXPECT_GE(shown, 2) << where;
            // Never closer than the usual 45 pixels, nor needlessly far apart.
            const double spacing = double(step * perValue * c.width / c.count);
            EXPECT_GE(spacing, 45.0) << where;
            EXPECT_LE(spacing, 2.5 * std::max(45.0, widest + 14.0)) << where;
            if (c.usualStep[mode] > 0) {
                EXPECT_NEAR(double(step), c.usualStep[mode], double(unit / 100)) << where;
            }
        }
    }
}

TEST_F(TimeRulerTest, RightClickTogglesAndStoresTheMode) {
    Load();
    UI::TimeRuler ruler(&canvas, frame.get(), nullptr, "Time Ruler", &scale);
    EXPECT_EQ(StoredMode(), -99);
    EXPECT_TRUE(ruler.OnRightDown({5, 5}, 0));
    EXPECT_EQ(ruler.GetMode(), 1u);
    EXPECT_EQ(StoredMode(), 1);
    EXPECT_TRUE(ruler.OnRightDown({5, 5}, 0));
    EXPECT_EQ(ruler.GetMode(), 0u);
    EXPECT_EQ(StoredMode(), 0);
    ruler.SetMode(1);
    UI::TimeRuler again(&canvas, frame.get(), nullptr, "Time Ruler 2", &scale);
    EXPECT_EQ(again.GetMode(), 1u);

    // Any other stored mode reads as seconds, and a right click moves on from there.
    app->GetSettings().SetInt("TimeRuler.Mode", 5);
    UI::TimeRuler odd(&canvas, frame.get(), nullptr, "Time Ruler 3", &scale);
    EXPECT_EQ(odd.GetMode(), 0u);
    EXPECT_TRUE(odd.OnRightDown({5, 5}, 0));
    EXPECT_EQ(odd.GetMode(), 1u);
}

TEST_F(TimeRulerTest, DraggingScrollsAndStopsAtBothEnds) {
    Load(441000, UI::SampleRange(100000, 100000));
    UI::TimeRuler ruler(&canvas, frame.get(), nullptr, "Time Ruler", &scale);
    ruler.SetGeometry(0, 0, 500, 19);
    // Not dragging: moves are not taken.
    EXPECT_FALSE(ruler.OnMouseMove({300, 5}, 0));

    // Column 250 shows frame 100000 + 99999 · 250 / 499, rounded: 150100.
    EXPECT_TRUE(ruler.OnLeftDown({250, 5}, 1));
    EXPECT_EQ(frame->CaptureWindow(), &ruler);
    EXPECT_TRUE(ruler.IsDragging());
    EXPECT_TRUE(ruler.OnMouseMove({300, 5}, 1));
    EXPECT_EQ(scale.GetVisibleRange(), UI::SampleRange(150100 - 60000, 100000));
    // The labels followed the scale's signal: from 2.043 s in steps of 0.5 s.
    EXPECT_EQ(Texts(ruler.Labels()).front(), "2.0");

    EXPECT_TRUE(ruler.OnMouseMove({2000, 5}, 1));  // far right: the start pins at frame 0
    EXPECT_EQ(scale.GetVisibleRange(), UI::SampleRange(0, 100000));
    EXPECT_TRUE(ruler.OnMouseMove({-5000, 5}, 1));  // far left: stops at length - len
    EXPECT_EQ(scale.GetVisibleRange(), UI::SampleRange(341000, 100000));

    EXPECT_TRUE(ruler.OnLeftUp({0, 5}, 0));
    EXPECT_EQ(frame->CaptureWindow(), nullptr);
    EXPECT_FALSE(ruler.IsDragging());
    EXPECT_FALSE(ruler.OnMouseMove({100, 5}, 0));
    EXPECT_EQ(scale.GetVisibleRange(), UI::SampleRange(341000, 100000));
}

TEST_F(TimeRulerTest, PaintsTheBoxAndTicks) {
    Load();
    UI::TimeRuler ruler(&canvas, frame.get(), nullptr, "Time Ruler", &scale);
    ruler.SetGeometry(40, 100, 500, 19);
    const auto pixels = Paint(ruler);
    // Top and bottom edges keep the border, left and right do not (corners do).
    EXPECT_EQ(At(pixels, ruler, 200, 0), 0xAEB5BEu);
    EXPECT_EQ(At(pixels, ruler, 200, 18), 0xAEB5BEu);
    EXPECT_EQ(At(pixels, ruler, 0, 0), 0xAEB5BEu);
    EXPECT_EQ(At(pixels, ruler, 0, 9), 0x222222u);
    EXPECT_EQ(At(pixels, ruler, 499, 9), 0x222222u);
    // Major tick at column 100: rows 1 to 4 (the label may cover row 4); minor at column 110: rows 1 and 2.
    for (int y = 1; y <= 3; ++y) EXPECT_EQ(At(pixels, ruler, 100, y), 0xE0E0E0u) << y;
    EXPECT_EQ(At(pixels, ruler, 110, 2), 0xE0E0E0u);
    EXPECT_EQ(At(pixels, ruler, 110, 3), 0x222222u);
    EXPECT_EQ(At(pixels, ruler, 105, 1), 0x222222u);
}

}  // namespace

namespace {

TEST_F(TimeRulerTest, MouseThroughTheFrame) {
    Load(441000, UI::SampleRange(100000, 100000));
    UI::TimeRuler ruler(&canvas, frame.get(), nullptr, "Time Ruler", &scale);
    ruler.SetGeometry(50, 200, 500, 19);
    // Labels are disabled, so presses over them reach the ruler.
    constexpr uint kLeftDown = 0, kLeftUp = 1, kRightDown = 3, kMove = 6;
    EXPECT_TRUE(frame->OnMouse(kLeftDown, {50 + 250, 208}, 1, 0));
    EXPECT_EQ(frame->CaptureWindow(), &ruler);
    // Captured: a move far outside the ruler still scrolls.
    EXPECT_TRUE(frame->OnMouse(kMove, {50 + 300, 5}, 1, 0));
    EXPECT_EQ(scale.GetVisibleRange(), UI::SampleRange(90100, 100000));
    EXPECT_TRUE(frame->OnMouse(kLeftUp, {50 + 300, 5}, 0, 0));
    EXPECT_EQ(frame->CaptureWindow(), nullptr);
    EXPECT_TRUE(frame->OnMouse(kRightDown, {60, 210}, 4, 0));
    EXPECT_EQ(ruler.GetMode(), 1u);
    EXPECT_EQ(StoredMode(), 1);
}

}  // namespace
