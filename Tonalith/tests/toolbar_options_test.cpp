#include "editor_fixture.h"

#include <Tonalith/App/EditorToolBarOptions.h>

#include <limits>

namespace {

using namespace UI;
using editor_test::kKeyPath;

class ToolBarOptionsTest : public editor_test::TempStoreTest {};

TEST(ToolBarOptionCycling, LeftAdvancesRightGoesBackAndBothWrap) {
    const auto& size = GetToolBarOption(ToolBarOptionId::FFTSize);
    ASSERT_EQ(size.count, 12u);
    EXPECT_EQ(CycleOptionIndex(4, size.count, true), 5u);
    EXPECT_EQ(CycleOptionIndex(4, size.count, false), 3u);
    EXPECT_STREQ(size.labels[CycleOptionIndex(11, size.count, true)], "32");
    EXPECT_STREQ(size.labels[CycleOptionIndex(0, size.count, false)], "65536");

    const auto& overlap = GetToolBarOption(ToolBarOptionId::FFTOverlap);
    EXPECT_STREQ(overlap.labels[CycleOptionIndex(0, overlap.count, false)], "87.5%");
    // A full round in either direction comes back where it started.
    for (const auto id : {ToolBarOptionId::Type, ToolBarOptionId::FFTSize, ToolBarOptionId::FFTZeroPadding,
             ToolBarOptionId::FFTOverlap, ToolBarOptionId::FFTWindow}) {
        const auto& option = GetToolBarOption(id);
        std::uint32_t forward = 2, back = 2;
        for (std::uint32_t i = 0; i < option.count; ++i) {
            forward = CycleOptionIndex(forward, option.count, true);
            back = CycleOptionIndex(back, option.count, false);
            EXPECT_LT(forward, option.count);
            EXPECT_LT(back, option.count);
        }
        EXPECT_EQ(forward, 2u % option.count);
        EXPECT_EQ(back, 2u % option.count);
    }
}

TEST_F(ToolBarOptionsTest, FirstRunShowsTheDefaults) {
    Settings settings(kKeyPath);
    EXPECT_EQ(StoredOptionLabel(settings, GetToolBarOption(ToolBarOptionId::Type)), "STFT");
    EXPECT_EQ(StoredOptionLabel(settings, GetToolBarOption(ToolBarOptionId::FFTSize)), "512");
    EXPECT_EQ(StoredOptionLabel(settings, GetToolBarOption(ToolBarOptionId::FFTZeroPadding)), "None");
    EXPECT_EQ(StoredOptionLabel(settings, GetToolBarOption(ToolBarOptionId::FFTOverlap)), "50%");
    EXPECT_EQ(StoredOptionLabel(settings, GetToolBarOption(ToolBarOptionId::FFTWindow)), "Hann");
    EXPECT_EQ(settings.GetBool(EditorViewKeys::Bilinear, DefaultBilinear), true);
    EXPECT_EQ(settings.GetBool(EditorViewKeys::MelScale, DefaultMelScale), false);
    EXPECT_EQ(OpacityToTransparency(settings.GetFloat(EditorViewKeys::WaveformOpacity, DefaultWaveformOpacity)), 255);
    EXPECT_EQ(
        OpacityToTransparency(settings.GetFloat(EditorViewKeys::SpectrogramOpacity, DefaultSpectrogramOpacity)), 0);
}

TEST_F(ToolBarOptionsTest, OutOfRangeStoredIndexesReadAsTheDefault) {
    {
        Settings settings(kKeyPath);
        settings.SetInt("EditorView.Spectrogram.FFTWindow", 9);
        settings.SetInt("EditorView.Spectrogram.FFTSize", -1);
        settings.SetInt("EditorView.Spectrogram.Type", 3);
        settings.SetInt("EditorView.Spectrogram.FFTOverlap", 3);
    }
    Settings settings(kKeyPath);
    const auto& window = GetToolBarOption(ToolBarOptionId::FFTWindow);
    EXPECT_EQ(StoredOptionIndex(settings, window), 6u);
    EXPECT_EQ(StoredOptionLabel(settings, window), "Hann");
    EXPECT_EQ(StoredOptionIndex(settings, GetToolBarOption(ToolBarOptionId::FFTSize)), 4u);
    EXPECT_EQ(StoredOptionIndex(settings, GetToolBarOption(ToolBarOptionId::Type)), 0u);
    EXPECT_EQ(StoredOptionLabel(settings, GetToolBarOption(ToolBarOptionId::FFTOverlap)), "87.5%");

    // A left click from the default shown stores the next index, and a new store reads it back.
    settings.SetInt(
        window.key, std::int32_t(CycleOptionIndex(StoredOptionIndex(settings, window), window.count, true)));
    EXPECT_EQ(StoredOptionLabel(Settings(kKeyPath), window), "Hamming");
    EXPECT_EQ(Settings(kKeyPath).GetInt(window.key, -5), 0);
}

// Values stored by hand or by damage: what the tool bar and the spectrogram are given.
TEST_F(ToolBarOptionsTest, StoredRangesAndOpacitiesOutOfRangeReadAsUsableValues) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const struct {
        float stored, ampRange, opacity;
    } cases[] = {
        {nan, 120.0f, 0.25f},
        {inf, 120.0f, 1.0f},
        {-inf, 120.0f, 0.0f},
        {0.0f, 120.0f, 0.0f},
        {-1.0f, 120.0f, 0.0f},
        {7.0f, 7.0f, 1.0f},
        {0.5f, 0.5f, 0.5f},
        {200.0f, 200.0f, 1.0f},
    };
    Settings settings(kKeyPath);
    for (const auto& c : cases) {
        settings.SetFloat(EditorViewKeys::AmpRange, c.stored);
        settings.SetFloat(EditorViewKeys::WaveformOpacity, c.stored);
        EXPECT_EQ(StoredAmpRange(settings), c.ampRange) << c.stored;
        EXPECT_EQ(StoredOpacity(settings, EditorViewKeys::WaveformOpacity, 0.25f), c.opacity) << c.stored;
    }
}

TEST(ToolBarOpacity, TransparencyRoundsHalvesAwayFromZeroAndStaysInRange) {
    EXPECT_EQ(OpacityToTransparency(0.5f), 128);
    EXPECT_EQ(OpacityToTransparency(0.01f), 252);
    EXPECT_EQ(OpacityToTransparency(0.0f), 255);
    EXPECT_EQ(OpacityToTransparency(1.0f), 0);
    EXPECT_EQ(OpacityToTransparency(-3.0f), 255);
    EXPECT_EQ(OpacityToTransparency(7.0f), 0);
    EXPECT_EQ(OpacityToTransparency(std::numeric_limits<float>::quiet_NaN()), 255);
}

}  // namespace
