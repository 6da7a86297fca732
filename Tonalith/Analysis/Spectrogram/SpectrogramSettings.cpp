#include <Tonalith/Analysis/Spectrogram/SpectrogramSettings.h>

#include <cstring>

namespace UI {

std::vector<std::uint8_t> SpectrogramSettings::ToBytes() const {
    std::vector<std::uint8_t> bytes(sizeof(SpectrogramSettings));
    std::memcpy(bytes.data(), this, sizeof(SpectrogramSettings));
    return bytes;
}

bool SpectrogramSettings::FromBytes(const std::uint8_t* data, std::size_t size, SpectrogramSettings* out) {
    if (!data || !out || size != sizeof(SpectrogramSettings)) return false;
    std::memcpy(out, data, sizeof(SpectrogramSettings));
    return true;
}

SpectrogramSettings SpectrogramSettings::Sanitised() const {
    using namespace SpectrogramOptions;
    const SpectrogramSettings defaults;
    SpectrogramSettings settings = *this;
    if (type >= kTypeCount) settings.type = defaults.type;
    if (fftSize >= kFftSizeCount) settings.fftSize = defaults.fftSize;
    if (zeroPadding >= kZeroPaddingCount) settings.zeroPadding = defaults.zeroPadding;
    if (overlap >= kOverlapCount) settings.overlap = defaults.overlap;
    if (window >= kWindowCount) settings.window = defaults.window;
    return settings;
}

}  // namespace UI
