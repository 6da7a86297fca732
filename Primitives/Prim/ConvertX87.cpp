#include <Primitives/Prim/Convert.h>
#include <Primitives/Prim/ConvertRules.h>

#include <array>
#include <limits>

namespace Prim {
namespace {

using namespace ConvertRules;

// The byte-to-float conversion reads a table instead of converting.
constexpr std::array<float, 256> ByteValues = [] {
    std::array<float, 256> t{};
    for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<float>(i);
    return t;
}();

// Integer times a power of two: exact in the destination type (for 32-bit
// integers into floats: one rounding, as in double precision followed by a
// narrowing), so the loop works in the destination type.
template <class S, class D>
Status Widen(const S* src, D* dst, std::int32_t len, double factor) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const D f = static_cast<D>(factor);
    for (std::int32_t i = 0; i < len; ++i) {
        dst[i] = static_cast<D>(src[i]) * f;
    }
    return StatusOk;
}

// Saturation is tested before rounding, upper bound first; a NaN falls through
// both tests and stores the integer-indefinite value (the lower bound), except
// for bytes, where it gives 255.
template <class D>
D ToInteger(double v, RoundMode mode, double lower, double upper, D nanValue) {
    if (v >= upper) return static_cast<D>(upper);
    if (v <= lower) return static_cast<D>(lower);
    if (std::isnan(v)) return nanValue;
    const double r = mode == RoundModeNearest ? RoundHalfEven(v) : std::trunc(v);
    return static_cast<D>(r);
}

template <class S, class D>
Status Narrow(const S* src, D* dst, std::int32_t len, RoundMode mode, std::int32_t scale, double lower, double upper,
    D nanValue) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const int exponent = -BoundedScale(scale);
    for (std::int32_t i = 0; i < len; ++i) {
        double v = static_cast<double>(src[i]);
        if (scale != 0) v = std::ldexp(v, exponent);
        dst[i] = ToInteger<D>(v, mode, lower, upper, nanValue);
    }
    return StatusOk;
}

}  // namespace

Status ConvertU8ToF32_x87(const std::uint8_t* src, float* dst, std::int32_t len) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    for (std::int32_t i = 0; i < len; ++i) dst[i] = ByteValues[src[i]];
    return StatusOk;
}

Status ConvertS16ToF32_x87(const std::int16_t* src, float* dst, std::int32_t len, std::int32_t scale) {
    return Widen(src, dst, len, scale == 0 ? 1.0 : FactorF64(scale, -112, 126));
}
Status ConvertS16ToF64_x87(const std::int16_t* src, double* dst, std::int32_t len, std::int32_t scale) {
    return Widen(src, dst, len, scale == 0 ? 1.0 : FactorF64(scale, -1008, 1022));
}
// The product is exact in double; rounding it to float once gives the nearest float.
Status ConvertS32ToF32_x87(const std::int32_t* src, float* dst, std::int32_t len, std::int32_t scale) {
    return Widen(src, dst, len, scale == 0 ? 1.0 : FactorF64(scale, -96, 126));
}
Status ConvertS32ToF64_x87(const std::int32_t* src, double* dst, std::int32_t len, std::int32_t scale) {
    return Widen(src, dst, len, scale == 0 ? 1.0 : FactorF64(scale, -992, 1022));
}

Status ConvertF32ToU8_x87(
    const float* src, std::uint8_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale) {
    return Narrow<float, std::uint8_t>(src, dst, len, roundMode, scale, 0.0, 255.0, 255);
}
Status ConvertF32ToS16_x87(
    const float* src, std::int16_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale) {
    return Narrow<float, std::int16_t>(src, dst, len, roundMode, scale, -32768.0, 32767.0, -32768);
}
Status ConvertF32ToS32_x87(
    const float* src, std::int32_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale) {
    return Narrow<float, std::int32_t>(
        src, dst, len, roundMode, scale, -2147483648.0, 2147483647.0, std::numeric_limits<std::int32_t>::min());
}
Status ConvertF64ToS32_x87(
    const double* src, std::int32_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale) {
    return Narrow<double, std::int32_t>(
        src, dst, len, roundMode, scale, -2147483648.0, 2147483647.0, std::numeric_limits<std::int32_t>::min());
}

Status ConvertF32ToF64_x87(const float* src, double* dst, std::int32_t len) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    for (std::int32_t i = 0; i < len; ++i) dst[i] = static_cast<double>(src[i]);
    return StatusOk;
}

// Never an infinity: out-of-range values clamp to the largest float, a NaN to its negative.
Status ConvertF64ToF32_x87(const double* src, float* dst, std::int32_t len) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    constexpr double high = static_cast<double>(FloatMax);
    for (std::int32_t i = 0; i < len; ++i) {
        // The first comparison is false for a NaN, which so becomes -FLT_MAX.
        const double x = src[i];
        const double above = x > -high ? x : -high;
        dst[i] = static_cast<float>(above < high ? above : high);
    }
    return StatusOk;
}

}  // namespace Prim
