#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Natural logarithm of a float vector in place and of a double vector out of
// place. An element with its sign bit set (-0 included) gives the negative
// quiet NaN and warning 8, +0 gives -inf and warning 7; the status is the
// warning of the first such element. The x87 builds round the C library's
// double logarithm; the SSE2 builds use their own polynomials (single
// precision for floats, a 65-row table and a degree-7 polynomial for doubles)
// and may differ in the last bits. NaN inputs: see each build.
namespace Prim {

#define PRIM_LOGARITHM_BUILDS(suffix)                             \
    Status LnInPlaceF32##suffix(float* srcDst, std::int32_t len); \
    Status LnF64##suffix(const double* src, double* dst, std::int32_t len);

PRIM_LOGARITHM_BUILDS(_x87)
PRIM_LOGARITHM_BUILDS(_sse2)
#undef PRIM_LOGARITHM_BUILDS

}  // namespace Prim
