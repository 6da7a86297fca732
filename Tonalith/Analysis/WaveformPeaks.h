#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

namespace UI {

// The lowest and highest sample of a stretch, in units of 1/32768. The empty pair
// {32767, -32768} draws nothing.
struct PeakPair {
    std::int16_t min = 32767;
    std::int16_t max = -32768;

    void Add(std::int16_t v) {
        if (v < min) min = v;
        if (v > max) max = v;
    }
    void Add(const PeakPair& other) {
        if (other.min < min) min = other.min;
        if (other.max > max) max = other.max;
    }
    friend bool operator==(const PeakPair&, const PeakPair&) = default;
};

// One vector of pairs per channel.
using ChannelPeaks = std::vector<std::vector<PeakPair>>;

// round(x · 32768) to nearest, ties to even, clamped to -32768..32767; NaN gives 0.
inline std::int16_t SampleToPeak(float x) {
    const float v = std::nearbyint(x * 32768.0f);
    if (!(v == v)) return 0;
    if (v <= -32768.0f) return -32768;
    if (v >= 32767.0f) return 32767;
    return static_cast<std::int16_t>(v);
}

// The amplitude a peak value stands for.
inline float PeakToAmp(std::int16_t v) { return static_cast<float>(v + 32768) * 3.0517578e-5f - 1.0f; }

}  // namespace UI
