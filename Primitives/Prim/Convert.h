#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Conversions between sample formats. Integer to float scales by 2^-scale
// (scale clamped to a range that keeps the factor a normal number); float to
// integer scales by 2^-scale, saturates and rounds per the rounding mode.
// NaN inputs give the build's own values: see the tests.

namespace Prim {

using RoundMode = std::int32_t;
inline constexpr RoundMode RoundModeZero = 0;
inline constexpr RoundMode RoundModeNearest = 1;

#define PRIM_CONVERT_BUILDS(suffix)                                                                             \
    Status ConvertU8ToF32##suffix(const std::uint8_t* src, float* dst, std::int32_t len);                       \
    Status ConvertS16ToF32##suffix(const std::int16_t* src, float* dst, std::int32_t len, std::int32_t scale);  \
    Status ConvertS16ToF64##suffix(const std::int16_t* src, double* dst, std::int32_t len, std::int32_t scale); \
    Status ConvertS32ToF32##suffix(const std::int32_t* src, float* dst, std::int32_t len, std::int32_t scale);  \
    Status ConvertS32ToF64##suffix(const std::int32_t* src, double* dst, std::int32_t len, std::int32_t scale); \
    Status ConvertF32ToU8##suffix(                                                                              \
        const float* src, std::uint8_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale);        \
    Status ConvertF32ToS16##suffix(                                                                             \
        const float* src, std::int16_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale);        \
    Status ConvertF32ToS32##suffix(                                                                             \
        const float* src, std::int32_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale);        \
    Status ConvertF64ToS32##suffix(                                                                             \
        const double* src, std::int32_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale);       \
    Status ConvertF32ToF64##suffix(const float* src, double* dst, std::int32_t len);                            \
    Status ConvertF64ToF32##suffix(const double* src, float* dst, std::int32_t len);

PRIM_CONVERT_BUILDS(_x87)
PRIM_CONVERT_BUILDS(_sse2)
#undef PRIM_CONVERT_BUILDS

// Entry points: the build bound at start-up.
Status ConvertS16ToF32(const std::int16_t* src, float* dst, std::int32_t len, std::int32_t scale);
Status ConvertS16ToF64(const std::int16_t* src, double* dst, std::int32_t len, std::int32_t scale);
Status ConvertS32ToF32(const std::int32_t* src, float* dst, std::int32_t len, std::int32_t scale);
Status ConvertS32ToF64(const std::int32_t* src, double* dst, std::int32_t len, std::int32_t scale);
Status ConvertF32ToS16(const float* src, std::int16_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale);
Status ConvertF32ToF64(const float* src, double* dst, std::int32_t len);
Status ConvertF64ToF32(const double* src, float* dst, std::int32_t len);

}  // namespace Prim
