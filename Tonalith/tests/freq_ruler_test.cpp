#include "ruler_fixture.h"

#include <Tonalith/Display/FreqRuler.h>

#include <gtest/gtest.h>

namespace {

using ruler_test::RulerTest;

class FreqRulerTest : public RulerTest {
protected:
    // One band of `rows` rows showing 0..22050 Hz, as a loaded 44.1 kHz file sets it.
    void Load(std::uint32_t channels, int rows) {
        scale.SetChannelCount(channels);
        scale.SetPixelHeight(rows);
        scale.SetRange({0.0f, 22050.0f});
        scale.SetVisibleRange({0.0f, 22050.0f});
    }
    UI::FreqScale scale{"Freq"};
};

TEST_F(FreqRulerTest, NothingLoadedShowsOnlyTheUnitLabel) {
    UI::FreqRuler ruler(&canvas, frame.get(), nullptr, "Freq Ruler", &scale);
    EXPECT_EQ(ruler.Width(), 41);
    EXPECT_STREQ(ruler.UnitLabel()->GetText().CStr(), "Hz");
    EXPECT_EQ(ruler.UnitLabel()->GetRect().left, 6);
    EXPECT_EQ(ruler.UnitLabel()->GetRect().top, 2);
    EXPECT_TRUE(ruler.Labels().empty());
    EXPECT_TRUE(ruler.MajorTicks().empty());
    EXPECT_FALSE(ruler.IsLaidOut());
    EXPECT_EQ(ruler.ChildCount(), 1u);
}

TEST_F(FreqRulerTest, LinearLabelsOfAFullBand) {
    Load(1, 256);
    UI::FreqRuler ruler(&canvas, frame.get(), nullptr, "Freq Ruler", &scale);
    ruler.SetGeometry(0, 0, 41, 256);
    ASSERT_TRUE(ruler.IsLaidOut());
    // Row 255 shows 43.07 Hz and row 0 22006.9 Hz; the step is 2000 (worked by hand:
    // row = 255 - round((v - 43.066) * 256 / 21963.87)).
    EXPECT_EQ(Texts(ruler.Labels()),
        (std::vector<std::string>{
            "0", "2000", "4000", "6000", "8000", "10000", "12000", "14000", "16000", "18000", "20000", "22000"}));
    EXPECT_EQ(Positions(ruler.Labels()), (std::vector<int>{256, 232, 209, 186, 162, 139, 116, 92, 69, 46, 22, -1}));
    // 0 Hz falls below the band and 22000 above it: neither gets a tick, both are hidden.
    EXPECT_EQ(ruler.MajorTicks(), (std::vector<int>{232, 209, 186, 162, 139, 116, 92, 69, 46, 22}));
    // A two-form step: one minor tick halfway, none after the last label.
    EXPECT_EQ(ruler.MinorTicks(), (std::vector<int>{244, 221, 197, 174, 151, 127, 104, 81, 57, 34, 11}));
    const auto shown = Shown(ruler.Labels());
    EXPECT_FALSE(shown.front());
    EXPECT_FALSE(shown.back());
    EXPECT_TRUE(shown[1]);
    EXPECT_TRUE(shown[5]);

    // Names, colours, placement and stacking of a label and its shadow.
    const UI::RulerLabel& label = ruler.Labels()[5];
    EXPECT_STREQ(label.label->Name().CStr(), "FreqRuler Label 5");
    EXPECT_STREQ(label.shadow->Name().CStr(), "FreqRuler Label 5 Shadow");
    EXPECT_EQ(label.label->GetColour(), 0xE0E0E0u);
    EXPECT_EQ(label.shadow->GetColour(), 0x000000u);
    EXPECT_EQ(label.label->GetRect().left, 6);
    EXPECT_EQ(label.label->GetRect().top, 139 - label.label->Height() / 2);
    EXPECT_EQ(label.shadow->GetRect().left, 7);
    EXPECT_EQ(label.shadow->GetRect().top, label.label->GetRect().top + 1);
    EXPECT_EQ(label.shadow->IsVisible(), label.label->IsVisible());
    int labelIndex = -1, shadowIndex = -1;
    for (uint i = 0; i < ruler.ChildCount(); ++i) {
        if (ruler.GetChild(i) == label.label.Get()) labelIndex = int(i);
        if (ruler.GetChild(i) == label.shadow.Get()) shadowIndex = int(i);
    }
    EXPECT_GT(labelIndex, shadowIndex);
    EXPECT_EQ(ruler.ChildCount(), 1u + 2u * 12u);
}

TEST_F(FreqRulerTest, ALabelUnderTheUnitLabelIsHidden) {
    Load(1, 256);
    scale.SetVisibleRange({0.0f, 21000.0f});  // puts the 20000 label at about row 11
    UI::FreqRuler ruler(&canvas, frame.get(), nullptr, "Freq Ruler", &scale);
    ruler.SetGeometry(0, 0, 41, 256);
    const int unitBottom = ruler.UnitLabel()->GetRect().bottom;
    int underTheUnit = 0;
    for (const auto& label : ruler.Labels()) {
        const UI::Rect r = label.label->GetRect();
        const bool fits = r.top >= unitBottom + 1 && r.bottom + 1 <= 255;
        EXPECT_EQ(label.label->IsVisible(), fits) << label.text.CStr();
        EXPECT_EQ(label.shadow->IsVisible(), fits) << label.text.CStr();
        underTheUnit += r.top <= unitBottom && r.top >= 0;
    }
    EXPECT_EQ(underTheUnit, 1);
}

TEST_F(FreqRulerTest, NarrowSpanGetsDecimalsAndEveryBandItsLabels) {
    Load(2, 203);  // two bands of 100 rows with a 3-row gap
    scale.SetVisibleRange({1000.0f, 1000.9f});
    UI::FreqRuler ruler(&canvas, frame.get(), nullptr, "Freq Ruler", &scale);
    ruler.SetGeometry(0, 0, 41, 203);
    ASSERT_FALSE(ruler.Labels().empty());
    for (const auto& label : ruler.Labels()) {
        const std::string text = label.text.CStr();
        ASSERT_EQ(text.size(), 6u) << text;  // "1000.2": one decimal
        EXPECT_EQ(text.substr(0, 5), "1000.");
        EXPECT_EQ((text[5] - '0') % 2, 0) << "a step of 0.2: " << text;
    }
    // Label numbers restart with the second band.
    int restarts = 0;
    for (const auto& label : ruler.Labels()) restarts += std::string(label.label->Name().CStr()) == "FreqRuler Label 0";
    EXPECT_EQ(restarts, 2);
    for (int row : ruler.MajorTicks()) EXPECT_TRUE((0 <= row && row <= 99) || (103 <= row && row <= 202)) << row;
}

TEST_F(FreqRulerTest, MelLabelsFromTheFixedLists) {
    scale.SetMelScale(true);
    Load(1, 400);
    UI::FreqRuler ruler(&canvas, frame.get(), nullptr, "Freq Ruler", &scale);
    ruler.SetGeometry(0, 0, 41, 400);
    ASSERT_TRUE(ruler.IsLaidOut());
    EXPECT_EQ(ruler.UnitLabel()->GetRect().left, 26);
    EXPECT_EQ(ruler.UnitLabel()->GetRect().top, 399 - 12);
    const std::vector<std::string> texts = {"100", "1000", "10000", "300", "500", "2000", "5000", "20000", "200", "400",
        "700", "1500", "3000", "7000", "15000"};
    EXPECT_EQ(Texts(ruler.Labels()), texts);
    std::vector<int> rows;
    for (const auto& text : texts) rows.push_back(scale.FreqToRowInChannel(0, std::stof(text)).row);
    EXPECT_EQ(Positions(ruler.Labels()), rows);
    // Low labels lie near the bottom, high ones near the top, in order of frequency.
    EXPECT_GT(ruler.Labels()[0].position, ruler.Labels()[4].position);
    EXPECT_GT(ruler.Labels()[4].position, ruler.Labels()[1].position);
    EXPECT_GT(ruler.Labels()[1].position, ruler.Labels()[2].position);
    EXPECT_GE(ruler.Labels()[7].position, 0);
    for (const auto& label : ruler.Labels()) EXPECT_TRUE(label.label->IsVisible());
    EXPECT_STREQ(ruler.Labels()[3].label->Name().CStr(), "FreqRuler Label 0");  // each list counts from 0
    EXPECT_EQ(ruler.MajorTicks().size(), 4u);
    EXPECT_EQ(ruler.MajorTicks()[0], 399);  // 0 Hz at the bottom
    EXPECT_EQ(ruler.MinorTicks().size(), 32u);

    // A shorter band reaches only the first list.
    scale.SetPixelHeight(100);
    ruler.SetGeometry(0, 0, 41, 100);
    EXPECT_EQ(Texts(ruler.Labels()), (std::vector<std::string>{"100", "1000", "10000"}));

    // Zoomed: no labels or ticks, the unit label still moves.
    scale.SetVisibleRange({0.0f, 11025.0f});
    EXPECT_TRUE(ruler.Labels().empty());
    EXPECT_TRUE(ruler.MajorTicks().empty());
    EXPECT_EQ(ruler.UnitLabel()->GetRect().left, 26);
    EXPECT_TRUE(ruler.IsLaidOut());
}

TEST_F(FreqRulerTest, WheelZoomsAboutTheCentreWithinTheFullRange) {
    Load(1, 256);
    UI::FreqRuler ruler(&canvas, frame.get(), nullptr, "Freq Ruler", &scale);
    ruler.SetGeometry(0, 0, 41, 256);
    EXPECT_TRUE(ruler.OnMouseWheel({5, 5}, 0, 0));
    EXPECT_TRUE(ruler.OnMouseWheel({5, 5}, 60, 0));  // less than a notch: nothing
    EXPECT_EQ(scale.GetVisibleRange(), (UI::ValueRange{0.0f, 22050.0f}));

    // One notch in: the span divides by 1.1 about the centre 11025.
    EXPECT_TRUE(ruler.OnMouseWheel({5, 5}, 120, 0));
    const double span = 22050.0 / 1.1;
    EXPECT_FLOAT_EQ(scale.GetVisibleRange().low, float(11025.0 - span / 2));
    EXPECT_FLOAT_EQ(scale.GetVisibleRange().high, float(11025.0 + span / 2));
    // The ruler laid out again through the scale's signal.
    ASSERT_GE(ruler.Labels().size(), 2u);
    EXPECT_NE(ruler.Labels()[1].position, 232);

    // One notch out from the full range clamps both ends.
    scale.SetVisibleRange({0.0f, 22050.0f});
    EXPECT_TRUE(ruler.OnMouseWheel({5, 5}, -120, 0));
    EXPECT_EQ(scale.GetVisibleRange(), (UI::ValueRange{0.0f, 22050.0f}));

    // Near the low end: the low end stops at 0, the high end moves by its own half only.
    scale.SetVisibleRange({100.0f, 1100.0f});
    EXPECT_TRUE(ruler.OnMouseWheel({5, 5}, -120, 0));
    EXPECT_FLOAT_EQ(scale.GetVisibleRange().low, 50.0f);
    EXPECT_FLOAT_EQ(scale.GetVisibleRange().high, 1150.0f);
    scale.SetVisibleRange({10.0f, 1010.0f});
    EXPECT_TRUE(ruler.OnMouseWheel({5, 5}, -120, 0));
    EXPECT_FLOAT_EQ(scale.GetVisibleRange().low, 0.0f);
    EXPECT_FLOAT_EQ(scale.GetVisibleRange().high, 1060.0f);  // from the unclamped low end -40
}

TEST_F(FreqRulerTest, WheelWithNothingLoadedChangesNothing) {
    UI::FreqRuler ruler(&canvas, frame.get(), nullptr, "Freq Ruler", &scale);
    EXPECT_TRUE(ruler.OnMouseWheel({5, 5}, 120, 0));
    EXPECT_EQ(scale.GetVisibleRange(), UI::ValueRange{});
}

TEST_F(FreqRulerTest, PaintsTheBoxTicksAndSeparators) {
    Load(2, 203);
    UI::FreqRuler ruler(&canvas, frame.get(), nullptr, "Freq Ruler", &scale);
    ruler.SetGeometry(20, 10, 41, 203);
    const auto pixels = Paint(ruler);
    const int w = 41, h = 203;
    // Left and right edges (corners included) keep the border; top and bottom rows do not.
    EXPECT_EQ(At(pixels, ruler, 0, 50), 0xAEB5BEu);
    EXPECT_EQ(At(pixels, ruler, w - 1, 50), 0xAEB5BEu);
    EXPECT_EQ(At(pixels, ruler, 0, 0), 0xAEB5BEu);
    EXPECT_EQ(At(pixels, ruler, w - 1, h - 1), 0xAEB5BEu);
    EXPECT_EQ(At(pixels, ruler, 20, 0), 0x222222u);
    EXPECT_EQ(At(pixels, ruler, 20, h - 1), 0x222222u);
    // Nothing outside the ruler.
    EXPECT_EQ(pixels[std::size_t(ruler.FrameY() - 1) * kFrameWidth + std::size_t(ruler.FrameX() + 5)], 0x123456u);
    // Ticks: a major one three pixels wide, a minor one a single pixel.
    ASSERT_FALSE(ruler.MajorTicks().empty());
    ASSERT_FALSE(ruler.MinorTicks().empty());
    const int major = ruler.MajorTicks()[1];
    for (int x = 1; x <= 3; ++x) EXPECT_EQ(At(pixels, ruler, x, major), 0xE0E0E0u);
    EXPECT_NE(At(pixels, ruler, 4, major), 0xE0E0E0u);
    const int minor = ruler.MinorTicks()[1];
    EXPECT_EQ(At(pixels, ruler, 1, minor), 0xE0E0E0u);
    EXPECT_EQ(At(pixels, ruler, 2, minor), 0x222222u);
    // The separator rows above the second band (top row 103); the third stops at w - 2.
    EXPECT_EQ(At(pixels, ruler, 0, 100), 0xAEB5BEu);
    EXPECT_EQ(At(pixels, ruler, 20, 100), 0xAEB5BEu);
    EXPECT_EQ(At(pixels, ruler, 20, 101), 0x626C7Bu);
    EXPECT_EQ(At(pixels, ruler, 20, 102), 0x2B2F36u);
    EXPECT_EQ(At(pixels, ruler, w - 1, 101), 0x626C7Bu);
    EXPECT_EQ(At(pixels, ruler, w - 1, 102), 0xAEB5BEu);
    // A shown label is painted: some pixel in its box is the label colour.
    const UI::RulerLabel* shown = nullptr;
    for (const auto& label : ruler.Labels())
        if (label.label->IsVisible()) {
            shown = &label;
            break;
        }
    ASSERT_NE(shown, nullptr);
    bool inked = false;
    const UI::Rect r = shown->label->GetRect();
    for (int y = r.top; y <= r.bottom; ++y)
        for (int x = r.left; x <= r.right; ++x) inked = inked || At(pixels, ruler, x, y) == 0xE0E0E0u;
    EXPECT_TRUE(inked);
}

TEST_F(FreqRulerTest, GeometryChangeLaysOutOnlyForANewHeight) {
    Load(1, 256);
    UI::FreqRuler ruler(&canvas, frame.get(), nullptr, "Freq Ruler", &scale);
    ruler.SetGeometry(0, 0, 41, 256);
    const UI::Text* first = ruler.Labels()[1].label.Get();
    ruler.SetGeometry(5, 7, 41, 256);  // moved only: the same label windows
    EXPECT_EQ(ruler.Labels()[1].label.Get(), first);
    const uint children = ruler.ChildCount();
    scale.SetPixelHeight(128);
    ruler.SetGeometry(5, 7, 41, 128);
    EXPECT_LT(ruler.Labels().size(), 12u);
    // Old label windows went with their records.
    EXPECT_EQ(ruler.ChildCount(), 1u + 2u * uint(ruler.Labels().size()));
    EXPECT_LT(ruler.ChildCount(), children);
}

}  // namespace
