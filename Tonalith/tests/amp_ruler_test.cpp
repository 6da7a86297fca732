#include "ruler_fixture.h"

#include <Tonalith/Display/AmpRuler.h>

#include <gtest/gtest.h>

namespace {

using ruler_test::RulerTest;

class AmpRulerTest : public RulerTest {
protected:
    void Load(std::uint32_t channels, int rows) {
        scale.SetChannelCount(channels);
        scale.SetPixelHeight(rows);
        scale.SetRange({-1.0f, 1.0f});
        scale.SetVisibleRange({-1.0f, 1.0f});
    }
    std::int32_t StoredMode() { return app->GetSettings().GetInt("AmpRuler.Mode", -99); }

    UI::AmpScale scale{"Amp"};
};

TEST_F(AmpRulerTest, LabelsOfEachModeOverMinusOneToOne) {
    Load(1, 100);
    UI::AmpRuler ruler(&canvas, frame.get(), nullptr, "Amp Ruler", &scale);
    ruler.SetGeometry(0, 0, 41, 100);
    EXPECT_EQ(ruler.Width(), 41);
    ASSERT_EQ(ruler.GetMode(), 0u);
    EXPECT_STREQ(ruler.UnitLabel()->GetText().CStr(), "dB");
    // raw 0.24 gives the step 0.5 with one decimal. The zero line is row 49 (49.5 cut);
    // 0.5 lies 24.75 rows up, rounded to 25.
    EXPECT_EQ(Positions(ruler.Labels()), (std::vector<int>{99, 74, 49, 24, -1}));
    EXPECT_EQ(Texts(ruler.Labels()), (std::vector<std::string>{"0.0", "-6.0", "-oo", "-6.0", "0.0"}));
    // 1.0 maps to row -1 (49 - 50): outside the band, so no tick and the label is hidden.
    EXPECT_EQ(ruler.MajorTicks(), (std::vector<int>{99, 74, 49, 24}));
    EXPECT_FALSE(ruler.Labels()[4].label->IsVisible());
    EXPECT_FALSE(ruler.Labels()[0].label->IsVisible());  // its bottom passes the band's
    EXPECT_TRUE(ruler.Labels()[2].label->IsVisible());
    // Four minor ticks every 0.1 between labels: row = 99 - round((v + 1) * 50).
    EXPECT_EQ(ruler.MinorTicks(), (std::vector<int>{94, 89, 84, 79, 69, 64, 59, 54, 44, 39, 34, 29, 19, 14, 9, 4}));
    EXPECT_STREQ(ruler.Labels()[2].label->Name().CStr(), "AmpRuler Label 2");
    EXPECT_STREQ(ruler.Labels()[2].shadow->Name().CStr(), "AmpRuler Label 2 Shadow");

    ruler.SetMode(1);
    EXPECT_STREQ(ruler.UnitLabel()->GetText().CStr(), "samp");
    EXPECT_EQ(Texts(ruler.Labels()), (std::vector<std::string>{"-1.0", "-0.5", "0.0", "0.5", "1.0"}));
    ruler.SetMode(2);
    EXPECT_STREQ(ruler.UnitLabel()->GetText().CStr(), "16-bit");
    EXPECT_EQ(Texts(ruler.Labels()), (std::vector<std::string>{"-32767", "-16384", "0", "16384", "32767"}));
    ruler.SetMode(3);
    EXPECT_STREQ(ruler.UnitLabel()->GetText().CStr(), "%");
    EXPECT_EQ(Texts(ruler.Labels()), (std::vector<std::string>{"-100", "-50", "0", "50", "100"}));
}

TEST_F(AmpRulerTest, LabelTextsByHand) {
    EXPECT_STREQ(UI::AmpRuler::LabelText(0, 0.1f, 1).CStr(), "-20.0");
    EXPECT_STREQ(UI::AmpRuler::LabelText(0, -0.01f, 2).CStr(), "-40.00");
    EXPECT_STREQ(UI::AmpRuler::LabelText(0, 1e-25f, 0).CStr(), "-oo");
    EXPECT_STREQ(UI::AmpRuler::LabelText(1, -0.25f, 2).CStr(), "-0.25");
    EXPECT_STREQ(UI::AmpRuler::LabelText(2, -0.5f, 1).CStr(), "-16384");  // half away from zero
    EXPECT_STREQ(UI::AmpRuler::LabelText(2, 1e-5f, 5).CStr(), "0");
    EXPECT_STREQ(UI::AmpRuler::LabelText(3, 0.25f, 3).CStr(), "25.0");
    EXPECT_STREQ(UI::AmpRuler::LabelText(3, 0.25f, 1).CStr(), "25");
    EXPECT_STREQ(UI::AmpRuler::LabelText(4, 0.25f, 1).CStr(), "");
    EXPECT_STREQ(UI::AmpRuler::UnitText(9).CStr(), "");
}

TEST_F(AmpRulerTest, RightClicksCycleTheModesAndEachIsStored) {
    Load(1, 100);
    UI::AmpRuler ruler(&canvas, frame.get(), nullptr, "Amp Ruler", &scale);
    EXPECT_EQ(StoredMode(), -99);  // nothing written until the mode changes
    const char* units[] = {"samp", "16-bit", "%", "dB"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(ruler.OnRightDown({3, 3}, 0));
        EXPECT_EQ(ruler.GetMode(), std::uint32_t((i + 1) & 3));
        EXPECT_EQ(StoredMode(), (i + 1) & 3);
        EXPECT_STREQ(ruler.UnitLabel()->GetText().CStr(), units[i]);
    }
    // Setting the current mode writes nothing.
    app->GetSettings().SetInt("AmpRuler.Mode", 77);
    ruler.SetMode(0);
    EXPECT_EQ(StoredMode(), 77);
}

TEST_F(AmpRulerTest, TheModeSurvivesANewRuler) {
    Load(1, 100);
    {
        UI::AmpRuler ruler(&canvas, frame.get(), nullptr, "Amp Ruler", &scale);
        ruler.SetMode(2);
    }
    UI::AmpRuler again(&canvas, frame.get(), nullptr, "Amp Ruler", &scale);
    EXPECT_EQ(again.GetMode(), 2u);
    EXPECT_STREQ(again.UnitLabel()->GetText().CStr(), "16-bit");

    // A stored value out of range reads as dB.
    for (const int stored : {6, 4, -1}) {
        app->GetSettings().SetInt("AmpRuler.Mode", stored);
        UI::AmpRuler odd(&canvas, frame.get(), nullptr, "Amp Ruler", &scale);
        EXPECT_EQ(odd.GetMode(), 0u) << stored;
        EXPECT_STREQ(odd.UnitLabel()->GetText().CStr(), "dB");
        odd.OnRightDown({1, 1}, 0);
        EXPECT_EQ(StoredMode(), 1);
    }
}

TEST_F(AmpRulerTest, ZoomAndEmptyRanges) {
    UI::AmpRuler ruler(&canvas, frame.get(), nullptr, "Amp Ruler", &scale);
    EXPECT_TRUE(ruler.Labels().empty());  // nothing loaded
    EXPECT_TRUE(ruler.OnMouseWheel({1, 1}, 120, 0));
    EXPECT_EQ(scale.GetVisibleRange(), UI::ValueRange{});

    Load(2, 203);
    ruler.SetGeometry(0, 0, 41, 203);
    EXPECT_FALSE(ruler.Labels().empty());
    EXPECT_TRUE(ruler.OnMouseWheel({1, 1}, 240, 0));  // two notches: span / 1.15
    EXPECT_FLOAT_EQ(scale.GetVisibleRange().high, float(1.0 / 1.15));
    EXPECT_FLOAT_EQ(scale.GetVisibleRange().low, float(-1.0 / 1.15));
    // The signal laid the ruler out again, each band from -1.0 (outside the range: hidden) to 0.5.
    EXPECT_EQ(
        Texts(ruler.Labels()), (std::vector<std::string>{"0.0", "-6.0", "-oo", "-6.0", "0.0", "-6.0", "-oo", "-6.0"}));
    EXPECT_FALSE(ruler.Labels()[0].label->IsVisible());
    EXPECT_FALSE(ruler.Labels()[4].label->IsVisible());
}

TEST_F(AmpRulerTest, PaintsLikeTheFrequencyRuler) {
    Load(2, 203);
    UI::AmpRuler ruler(&canvas, frame.get(), nullptr, "Amp Ruler", &scale);
    ruler.SetGeometry(30, 20, 41, 203);
    const auto pixels = Paint(ruler);
    EXPECT_EQ(At(pixels, ruler, 0, 30), 0xAEB5BEu);
    EXPECT_EQ(At(pixels, ruler, 20, 0), 0x222222u);
    EXPECT_EQ(At(pixels, ruler, 20, 101), 0x626C7Bu);
    ASSERT_FALSE(ruler.MajorTicks().empty());
    EXPECT_EQ(At(pixels, ruler, 3, ruler.MajorTicks()[0]), 0xE0E0E0u);
    // Half transparent: the border is blended with what lies beneath.
    ruler.SetTransparency(128);
    const auto faded = Paint(ruler, 0x000000);
    EXPECT_NE(At(faded, ruler, 0, 30), 0xAEB5BEu);
    EXPECT_NE(At(faded, ruler, 0, 30), 0x000000u);
}

}  // namespace
