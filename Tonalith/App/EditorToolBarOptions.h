#pragma once

#include <QvBase/Util/Settings.h>
#include <QvBase/Util/String.h>

#include <cstdint>

namespace UI {

// One of the tool bar's five cycling options: its settings key, default index and labels.
struct ToolBarOption {
    const char* key;
    std::int32_t defaultIndex;
    const char* const* labels;
    std::uint32_t count;
};

enum class ToolBarOptionId { Type, FFTSize, FFTZeroPadding, FFTOverlap, FFTWindow };

const ToolBarOption& GetToolBarOption(ToolBarOptionId id);

// The index after a left click (advance) or a right click, wrapping at both ends.
std::uint32_t CycleOptionIndex(std::uint32_t current, std::uint32_t count, bool advance);

// The stored index of an option; one outside the option's range reads as its default.
std::uint32_t StoredOptionIndex(const Settings& settings, const ToolBarOption& option);

// The label the option's button shows for what the store holds.
String StoredOptionLabel(const Settings& settings, const ToolBarOption& option);

// The stored amplitude range in dB; a non-finite or non-positive one reads as the default.
float StoredAmpRange(const Settings& settings);

// A stored opacity clamped to 0..1; NaN reads as the default.
float StoredOpacity(const Settings& settings, const char* key, float defaultValue);

// A display's own transparency for an opacity slider value: round(255 - 255 v), halves away from zero.
std::uint8_t OpacityToTransparency(float opacity);

namespace EditorViewKeys {
inline constexpr const char* WaveformOpacity = "EditorView.WaveformOpacity";
inline constexpr const char* SpectrogramOpacity = "EditorView.SpectrogramOpacity";
inline constexpr const char* AmpRange = "EditorView.Spectrogram.AmpRange";
inline constexpr const char* Bilinear = "EditorView.Spectrogram.BilinearInterpolation";
inline constexpr const char* MelScale = "EditorView.Spectrogram.MelScale";
}  // namespace EditorViewKeys

inline constexpr float DefaultWaveformOpacity = 0.0f;
inline constexpr float DefaultSpectrogramOpacity = 1.0f;
inline constexpr float DefaultAmpRange = 120.0f;
inline constexpr float kMinAmpRange = 60.0f;
inline constexpr float kMaxAmpRange = 300.0f;
inline constexpr bool DefaultBilinear = true;
inline constexpr bool DefaultMelScale = false;

}  // namespace UI
