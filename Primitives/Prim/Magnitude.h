#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Absolute value of real vectors; magnitude and power of complex ones. A
// complex vector of len values is 2 * len floats, real part first; the split
// form keeps the parts in two arrays. The x87 builds form magnitude and power
// in double and round once; the SSE2 builds work in single precision (the
// magnitude from the reciprocal-square-root estimate and one Newton step).
namespace Prim {

#define PRIM_MAGNITUDE_BUILDS(suffix)                                                                    \
    Status AbsF32##suffix(const float* src, float* dst, std::int32_t len);                               \
    Status AbsF64##suffix(const double* src, double* dst, std::int32_t len);                             \
    Status AbsInPlaceF32##suffix(float* srcDst, std::int32_t len);                                       \
    Status AbsInPlaceF64##suffix(double* srcDst, std::int32_t len);                                      \
    Status MagnitudeC32##suffix(const float* src, float* dst, std::int32_t len);                         \
    Status MagnitudeSplitF64##suffix(const double* re, const double* im, double* dst, std::int32_t len); \
    Status PowerSpectrumC32##suffix(const float* src, float* dst, std::int32_t len);

PRIM_MAGNITUDE_BUILDS(_x87)
PRIM_MAGNITUDE_BUILDS(_sse2)
#undef PRIM_MAGNITUDE_BUILDS

}  // namespace Prim
