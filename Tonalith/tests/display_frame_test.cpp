#include "display_fixture.h"

#include <Tonalith/Display/AudioDisplayFrame.h>

#include <gtest/gtest.h>

using display_test::DisplayTest;
using display_test::PatternDisplay;

namespace {

constexpr UI::Colour kBackground = 0x102030;
constexpr UI::Colour kBorder = 0x3D4558;
constexpr UI::Colour kShadow = 0x2B2F36;
constexpr UI::Colour kHighlight = 0xAEB5BE;

class DisplayFrameTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        timeRuler = new UI::Window(frame.get(), nullptr, "TimeRuler");
        timeRuler->SetHeight(4);
        ampRuler = new UI::Window(frame.get(), nullptr, "AmpRuler");
        ampRuler->SetWidth(5);
        freqRuler = new UI::Window(frame.get(), nullptr, "FreqRuler");
        freqRuler->SetWidth(3);
        displayFrame = new UI::AudioDisplayFrame(&canvas, frame.get(), nullptr, "DisplayFrame", &timeScale, &ampScale,
            &freqScale, timeRuler, ampRuler, freqRuler);
        waveform = new PatternDisplay(
            &canvas, frame.get(), nullptr, "Waveform", &timeScale, &ampScale, &freqScale, updater.get());
        spectrogram = new PatternDisplay(
            &canvas, frame.get(), nullptr, "Spectrogram", &timeScale, &ampScale, &freqScale, updater.get());
        displayFrame->AddDisplay(waveform);
        displayFrame->AddDisplay(spectrogram);
        displayFrame->SetGeometry(0, 0, 40, 30);
    }

    static UI::Rect At(int x, int y, int w, int h) { return UI::Rect::FromXYWH(x, y, w, h); }

    UI::Window* timeRuler = nullptr;
    UI::Window* ampRuler = nullptr;
    UI::Window* freqRuler = nullptr;
    UI::AudioDisplayFrame* displayFrame = nullptr;
    PatternDisplay* waveform = nullptr;
    PatternDisplay* spectrogram = nullptr;
};

TEST_F(DisplayFrameTest, LaysOutDisplaysAndRulersInsideASixPixelMargin) {
    EXPECT_EQ(timeRuler->Parent(), displayFrame);
    EXPECT_EQ(waveform->Parent(), displayFrame);
    // H = 30 - 12 - 4 = 14, W = 40 - 12 - 5 - 3 = 20.
    EXPECT_EQ(waveform->GetRect(), At(6, 6, 20, 14));
    EXPECT_EQ(spectrogram->GetRect(), At(6, 6, 20, 14));
    EXPECT_EQ(timeRuler->GetRect(), At(6, 20, 20, 4));
    EXPECT_EQ(freqRuler->GetRect(), At(31, 6, 3, 14));
    EXPECT_EQ(ampRuler->GetRect(), At(26, 6, 5, 14));
    EXPECT_EQ(timeScale.GetPixelWidth(), 20);
    EXPECT_EQ(ampScale.GetPixelHeight(), 14);
    EXPECT_EQ(freqScale.GetPixelHeight(), 14);

    // Without the waveform its ruler goes and the displays take its width.
    displayFrame->SetShownDisplays(false, true);
    EXPECT_FALSE(ampRuler->IsVisible());
    EXPECT_TRUE(freqRuler->IsVisible());
    EXPECT_EQ(waveform->GetRect(), At(6, 6, 25, 14));
    EXPECT_EQ(timeRuler->GetRect(), At(6, 20, 25, 4));
    EXPECT_EQ(freqRuler->GetRect(), At(31, 6, 3, 14));

    displayFrame->SetShownDisplays(false, false);
    EXPECT_FALSE(freqRuler->IsVisible());
    EXPECT_EQ(spectrogram->GetRect(), At(6, 6, 28, 14));

    // The stored flags again: no new layout, even though a ruler changed size meanwhile.
    timeRuler->SetHeight(6);
    displayFrame->SetShownDisplays(false, false);
    EXPECT_EQ(spectrogram->GetRect(), At(6, 6, 28, 14));

    // Too small in either direction: the previous layout stays.
    displayFrame->SetGeometry(0, 0, 11, 30);
    EXPECT_EQ(spectrogram->GetRect(), At(6, 6, 28, 14));
    displayFrame->SetGeometry(0, 0, 40, 11);
    EXPECT_EQ(spectrogram->GetRect(), At(6, 6, 28, 14));
    displayFrame->SetGeometry(0, 0, 40, 30);
    EXPECT_EQ(spectrogram->GetRect(), At(6, 6, 28, 12));
}

// The frame of 40 by 30 with rulers 4 high, 5 and 3 wide, worked out from the drawing order.
UI::Colour ExpectedBorder(int x, int y, bool corner) {
    if (x >= 40 || y >= 30) return kBackground;
    if (y <= 4 || y >= 24 || x <= 4 || x >= 34) return kBorder;
    if (x == 33 && y == 5) return kHighlight;
    if (y == 5) return kShadow;
    if (x == 5 && y == 23) return kHighlight;
    if (x == 5) return kShadow;
    if (corner && x >= 26 && y >= 20) return (x == 26 || y == 20) ? kHighlight : kBorder;
    return kBackground;
}

TEST_F(DisplayFrameTest, PaintsTheBevelledBorderAndTheCornerBlock) {
    auto check = [&](bool corner) {
        const auto pixels = PaintOver(*displayFrame, kBackground);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                ASSERT_EQ(pixels[y * 64 + x] & 0xFFFFFF, ExpectedBorder(x, y, corner)) << "pixel " << x << "," << y;
    };
    check(true);
    displayFrame->SetShownDisplays(false, false);
    check(false);
}

}  // namespace
