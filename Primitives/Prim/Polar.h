#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Between polar and Cartesian complex vectors (len values of two floats,
// real part first; phases in radians), and the Euclidean norm. The x87 builds
// work in double (their own sine polynomial for pairs of values, the C
// library's for an odd last one; the C library's arc tangent); the SSE2
// builds work in single precision, but for the sine and cosine of the polar
// conversion, which reduce the phase and take the polynomial in double. The Cartesian-to-polar conversion runs the
// magnitude (as MagnitudeC32 of the same build) and then the phase, each with
// its own checks, and reports the magnitude's error first.
namespace Prim {

#define PRIM_POLAR_BUILDS(suffix)                                                                       \
    Status PolarToCartC32##suffix(const float* magn, const float* phase, float* dst, std::int32_t len); \
    Status CartToPolarC32##suffix(const float* src, float* magn, float* phase, std::int32_t len);       \
    Status NormL2F32##suffix(const float* src, std::int32_t len, float* norm);

PRIM_POLAR_BUILDS(_x87)
PRIM_POLAR_BUILDS(_sse2)
#undef PRIM_POLAR_BUILDS

}  // namespace Prim
