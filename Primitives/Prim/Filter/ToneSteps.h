#pragma once
// The checks, the phase update and the double-precision recurrence shared by both builds.
#include <Primitives/Prim/Status.h>

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace Prim::ToneSteps {

inline constexpr double TwoPi = 6.283185307179586;
inline constexpr double InvTwoPi = 0.15915494309189535;

inline Status Check(const float* dst, std::int32_t len, float magnitude, float rFreq, const float* phase) {
    if (phase == nullptr) return StatusNullPointer;
    if (!(magnitude > 0.0f)) return StatusToneMagnitudeError;
    if (!(rFreq >= 0.0f && rFreq < 0.5f)) return StatusToneFrequencyError;
    if (!(*phase >= 0.0f && static_cast<double>(*phase) < TwoPi)) return StatusTonePhaseError;
    if (dst == nullptr) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    return StatusOk;
}

// The phase after len samples. A value that rounds up to 2 pi as a float is stored as 0, so
// that the next call does not refuse it.
inline float NextPhase(double omega, std::int32_t len, float phase) {
    const double t = omega * static_cast<double>(len) + static_cast<double>(phase);
    double p = t - TwoPi * std::floor(t * InvTwoPi);
    if (!(p >= 0.0 && p < TwoPi)) p = 0.0;
    const float stored = static_cast<float>(p);
    return static_cast<double>(stored) < TwoPi ? stored : 0.0f;
}

// Even and odd samples as two interleaved recurrences of step 2 omega, carried in doubles.
inline void Recurrence(float* dst, std::size_t n, double magnitude, double omega, double phase) {
    double y[4];
    y[0] = magnitude * std::cos(phase);
    dst[0] = static_cast<float>(y[0]);
    if (n == 1) return;
    y[1] = magnitude * std::cos(omega + phase);
    dst[1] = static_cast<float>(y[1]);
    if (n == 2) return;
    const double c = 2.0 * std::cos(omega);
    y[2] = c * y[1] - y[0];
    dst[2] = static_cast<float>(y[2]);
    if (n == 3) return;
    y[3] = c * y[2] - y[1];
    dst[3] = static_cast<float>(y[3]);
    const double d = c * c - 2.0;
    for (std::size_t k = 4; k < n; ++k) {
        double& slot = y[k % 4];  // holds y[k - 4]
        slot = d * y[(k - 2) % 4] - slot;
        dst[k] = static_cast<float>(slot);
    }
}

}  // namespace Prim::ToneSteps
