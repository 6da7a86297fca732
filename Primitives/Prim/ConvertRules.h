#pragma once
#include <Primitives/Prim/Status.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

// Rules shared by both builds of the format conversions.

namespace Prim::ConvertRules {

inline constexpr float FloatMax = 3.4028234663852886e+38f;

template <class S, class D>
Status Check(const S* src, const D* dst, std::int32_t len) {
    if (src == nullptr || dst == nullptr) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    return StatusOk;
}

// 2^-scale from exponent bits, scale clamped so the factor stays a normal number.
inline float FactorF32(std::int32_t scale, std::int32_t low, std::int32_t high) {
    const std::int32_t s = std::clamp(scale, low, high);
    return std::bit_cast<float>(static_cast<std::uint32_t>(127 - s) << 23);
}
inline double FactorF64(std::int32_t scale, std::int32_t low, std::int32_t high) {
    const std::int32_t s = std::clamp(scale, low, high);
    return std::bit_cast<double>(static_cast<std::uint64_t>(1023 - s) << 52);
}

// 2^-scale for the float-to-integer conversions, without looping over the scale.
// Beyond +-2200 every finite float input already gives 0 or saturates.
inline std::int32_t BoundedScale(std::int32_t scale) { return std::clamp(scale, -2200, 2200); }
inline float ScaleFactorSingle(std::int32_t scale) { return std::ldexp(1.0f, -BoundedScale(scale)); }

// Round half to even without the floating-point environment's rounding mode.
inline double RoundHalfEven(double v) {
    double r = std::trunc(v);
    const double f = v - r;  // exact
    const bool odd = std::fmod(r, 2.0) != 0.0;
    if (f > 0.5 || (f == 0.5 && odd)) {
        r += 1.0;
    } else if (f < -0.5 || (f == -0.5 && odd)) {
        r -= 1.0;
    }
    return r;
}

}  // namespace Prim::ConvertRules
