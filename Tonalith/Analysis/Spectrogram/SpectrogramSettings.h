#pragma once
#include <Tonalith/Analysis/Spectrogram/SpectrogramOptions.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace UI {

// The settings block of the spectrogram analysis. It travels to the calculator as a
// byte vector of exactly this layout (28 bytes; the two spare bytes are zero).
struct SpectrogramSettings {
    std::uint32_t type = SpectrogramOptions::kStft;
    std::uint8_t bBilinear = 1;
    std::uint8_t bMel = 0;
    std::uint8_t spare[2] = {0, 0};
    float ampRange = 120.0f;
    std::uint32_t fftSize = 4;
    std::uint32_t zeroPadding = 0;
    std::uint32_t overlap = 1;
    std::uint32_t window = 6;

    std::vector<std::uint8_t> ToBytes() const;
    // False, with *out untouched, unless size is the block's size.
    static bool FromBytes(const std::uint8_t* data, std::size_t size, SpectrogramSettings* out);
    static bool FromBytes(const std::vector<std::uint8_t>& bytes, SpectrogramSettings* out) {
        return FromBytes(bytes.data(), bytes.size(), out);
    }

    // The block with every index outside its option table replaced by the default, so that
    // no block read from elsewhere can index past a table.
    SpectrogramSettings Sanitised() const;

    // Values behind the indexes; only for a sanitised block.
    std::uint32_t SizeOrder() const { return SpectrogramOptions::kFftSizeOrders[fftSize]; }
    std::uint32_t ExtraOrder() const { return SpectrogramOptions::kZeroPaddingOrders[zeroPadding]; }
    std::uint32_t OverlapFactor() const { return SpectrogramOptions::kOverlapFactors[overlap]; }
    const SpectrogramOptions::Window& WindowOption() const { return SpectrogramOptions::kWindows[window]; }

    // Field by field; the amplitude range compared as floats (NaN always differs).
    friend bool operator==(const SpectrogramSettings& a, const SpectrogramSettings& b) {
        return a.type == b.type && a.bBilinear == b.bBilinear && a.bMel == b.bMel && a.ampRange == b.ampRange &&
            a.fftSize == b.fftSize && a.zeroPadding == b.zeroPadding && a.overlap == b.overlap && a.window == b.window;
    }
};

static_assert(sizeof(SpectrogramSettings) == 28);
static_assert(std::is_standard_layout_v<SpectrogramSettings> && std::is_trivially_copyable_v<SpectrogramSettings>);
static_assert(offsetof(SpectrogramSettings, bBilinear) == 4 && offsetof(SpectrogramSettings, bMel) == 5 &&
    offsetof(SpectrogramSettings, ampRange) == 8 && offsetof(SpectrogramSettings, window) == 24);

}  // namespace UI
