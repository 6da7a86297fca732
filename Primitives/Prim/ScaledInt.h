#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Integer sums and products scaled by 2^-scale: a positive scale divides with
// rounding to nearest (ties to even), a negative one multiplies, and every
// result saturates to the element type. Any scale is accepted; both builds
// give the same results bit for bit.
namespace Prim {

#define PRIM_SCALED_BUILDS(suffix)                                                                             \
    Status AddConstInPlaceScaledS32##suffix(                                                                   \
        std::int32_t value, std::int32_t* srcDst, std::int32_t len, std::int32_t scale);                       \
    Status AddInPlaceScaledS16##suffix(                                                                        \
        const std::int16_t* src, std::int16_t* srcDst, std::int32_t len, std::int32_t scale);                  \
    Status AddConstScaledS32##suffix(                                                                          \
        const std::int32_t* src, std::int32_t value, std::int32_t* dst, std::int32_t len, std::int32_t scale); \
    Status MulConstInPlaceScaledS16##suffix(                                                                   \
        std::int16_t value, std::int16_t* srcDst, std::int32_t len, std::int32_t scale);

PRIM_SCALED_BUILDS(_x87)
PRIM_SCALED_BUILDS(_sse2)
#undef PRIM_SCALED_BUILDS

}  // namespace Prim
