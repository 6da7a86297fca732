#pragma once
#include <cmath>
#include <cstdint>

namespace UI {

// Maps a level in dB linearly onto the bytes 0..255 of the dB range {min, max}.
class SpectrogramLevels {
public:
    SpectrogramLevels() : SpectrogramLevels(-120.0f, 0.0f) {}
    SpectrogramLevels(float minimum, float maximum);

    float Minimum() const { return m_min; }
    float Maximum() const { return m_max; }
    // (255 / (max - min)) * 10 / ln 10: bytes per natural-log unit of power.
    float Factor() const { return m_factor; }
    // Offset for a power taken as it comes from a frame of length L (STFT).
    float RawOffset(std::int64_t frameLength) const;
    // Offset for a power already multiplied by 2 / L.
    float ScaledOffset(std::int64_t frameLength) const;

    // The unclamped byte value of a power: ln(power) * factor + offset, as a float. The
    // logarithm is guarded as the foundation's is (-1e35 near zero), inline: it runs per bin.
    float Value(double power, float offset) const { return ValueOfLog(GuardedLog(power), offset); }
    // Value in its two halves: the guarded logarithm, and what becomes of it.
    static double GuardedLog(double power) { return (power > -1e-36 && power < 1e-36) ? -1e35 : std::log(power); }
    float ValueOfLog(double ln, float offset) const {
        return static_cast<float>(ln * double(m_factor) + double(offset));
    }
    // Value(power[i], offset) for n float powers. The logarithm is computed two at a time;
    // it may differ from the library's in the last bit of a double, which after the
    // conversion to float almost never shows.
    void Values(const float* power, std::int64_t n, float offset, float* out) const;
    // Value(power[i], offset) in single precision, four powers at a time: a quick first
    // answer that a caller checks. Each result is NaN (for a power below 1e-36, above the
    // largest float or not a number) or within kFastTolerance * (|result| + |offset| +
    // |Factor()|) + 1e-30 of Value.
    static constexpr float kFastTolerance = 1e-6f;
    void FastValues(const float* power, std::int64_t n, float offset, float* out) const;
    // 2^23: adding and removing it rounds a float in [0, 2^23] to a whole number, nearest,
    // ties to even, without a library call.
    static constexpr float kRoundingShift = 8388608.0f;
    // Clamped to 0..255 (NaN gives 0), rounded to nearest with ties to even.
    static std::uint8_t ToByte(float value) {
        if (!(value > 0.0f)) return 0;
        if (value > 255.0f) return 255;
        return static_cast<std::uint8_t>((value + kRoundingShift) - kRoundingShift);
    }

private:
    float m_min;
    float m_max;
    float m_factor;
};

}  // namespace UI
