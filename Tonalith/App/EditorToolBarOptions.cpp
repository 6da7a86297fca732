#include <Tonalith/App/EditorToolBarOptions.h>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace UI {
namespace {

constexpr const char* kTypeLabels[] = {"STFT", "Multires. STFT", "MDL STFT"};
constexpr const char* kFFTSizeLabels[] = {
    "32", "64", "128", "256", "512", "1024", "2048", "4096", "8192", "16384", "32768", "65536"};
constexpr const char* kZeroPaddingLabels[] = {"None", "2x Padding", "4x Padding", "8x Padding", "16x Padding"};
constexpr const char* kOverlapLabels[] = {"None", "50%", "75%", "87.5%"};
constexpr const char* kWindowLabels[] = {
    "Hamming", "Blackman", "Bartlett", "Kaiser-10", "Kaiser-15", "Kaiser-20", "Hann"};

constexpr ToolBarOption kOptions[] = {
    {"EditorView.Spectrogram.Type", 0, kTypeLabels, std::size(kTypeLabels)},
    {"EditorView.Spectrogram.FFTSize", 4, kFFTSizeLabels, std::size(kFFTSizeLabels)},
    {"EditorView.Spectrogram.FFTZeroPadding", 0, kZeroPaddingLabels, std::size(kZeroPaddingLabels)},
    {"EditorView.Spectrogram.FFTOverlap", 1, kOverlapLabels, std::size(kOverlapLabels)},
    {"EditorView.Spectrogram.FFTWindow", 6, kWindowLabels, std::size(kWindowLabels)},
};

}  // namespace

const ToolBarOption& GetToolBarOption(ToolBarOptionId id) { return kOptions[static_cast<int>(id)]; }

std::uint32_t CycleOptionIndex(std::uint32_t current, std::uint32_t count, bool advance) {
    if (count == 0) return 0;
    current %= count;
    return advance ? (current + 1) % count : (current + count - 1) % count;
}

std::uint32_t StoredOptionIndex(const Settings& settings, const ToolBarOption& option) {
    const auto stored = static_cast<std::uint32_t>(settings.GetInt(option.key, option.defaultIndex));
    return stored < option.count ? stored : static_cast<std::uint32_t>(option.defaultIndex);
}

String StoredOptionLabel(const Settings& settings, const ToolBarOption& option) {
    return String(option.labels[StoredOptionIndex(settings, option)]);
}

float StoredAmpRange(const Settings& settings) {
    const float range = settings.GetFloat(EditorViewKeys::AmpRange, DefaultAmpRange);
    return std::isfinite(range) && range > 0.0f ? range : DefaultAmpRange;
}

float StoredOpacity(const Settings& settings, const char* key, float defaultValue) {
    const float opacity = settings.GetFloat(key, defaultValue);
    return std::isnan(opacity) ? defaultValue : std::clamp(opacity, 0.0f, 1.0f);
}

std::uint8_t OpacityToTransparency(float opacity) {
    // A value outside the slider's range (stored by hand) still gives a valid level.
    const double level = std::round(255.0 - 255.0 * double(opacity));
    if (!(level >= 0.0)) return std::isnan(level) ? 255 : 0;
    return level > 255.0 ? 255 : static_cast<std::uint8_t>(level);
}

}  // namespace UI
