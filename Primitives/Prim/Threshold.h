#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Clamping in place. Lt: every element not above level becomes level (NaN
// included). Gt: every element not below level becomes level; a NaN element
// stays in the x87 build and becomes level in the SSE2 build. LtGt: below
// levelLT (or NaN) becomes valueLT, above levelGT becomes valueGT; refused
// with -18 unless levelGT >= levelLT.
namespace Prim {

#define PRIM_THRESHOLD_BUILDS(suffix)                                                                 \
    Status ThresholdLtGtInPlaceF32##suffix(                                                           \
        float* srcDst, std::int32_t len, float levelLT, float valueLT, float levelGT, float valueGT); \
    Status ThresholdLtInPlaceF32##suffix(float* srcDst, std::int32_t len, float level);               \
    Status ThresholdLtInPlaceF64##suffix(double* srcDst, std::int32_t len, double level);             \
    Status ThresholdGtInPlaceF32##suffix(float* srcDst, std::int32_t len, float level);               \
    Status ThresholdGtInPlaceF64##suffix(double* srcDst, std::int32_t len, double level);

PRIM_THRESHOLD_BUILDS(_x87)
PRIM_THRESHOLD_BUILDS(_sse2)
#undef PRIM_THRESHOLD_BUILDS

}  // namespace Prim
