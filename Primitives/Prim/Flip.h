#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Reversal of a vector's order. Elements move as bit patterns, NaN payloads
// included; the out-of-place forms take distinct buffers.
namespace Prim {

#define PRIM_FLIP_BUILDS(suffix)                                            \
    Status FlipInPlaceF32##suffix(float* srcDst, std::int32_t len);         \
    Status FlipInPlaceF64##suffix(double* srcDst, std::int32_t len);        \
    Status FlipF32##suffix(const float* src, float* dst, std::int32_t len); \
    Status FlipF64##suffix(const double* src, double* dst, std::int32_t len);

PRIM_FLIP_BUILDS(_x87)
PRIM_FLIP_BUILDS(_sse2)
#undef PRIM_FLIP_BUILDS

}  // namespace Prim
