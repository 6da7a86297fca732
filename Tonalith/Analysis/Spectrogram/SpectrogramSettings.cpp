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

bool SpectrogramSettings::IndexesValid() const {
    using namespace SpectrogramOptions;
    return type < kTypeCount && fftSize < kFftSizeCount && zeroPadding < kZeroPaddingCount && overlap < kOverlapCount &&
        window < kWindowCount;
}

}  // namespace UI
