#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Largest and smallest element of a vector (with the index of its first
// occurrence), and the element-wise larger or smaller of two vectors. A later
// element replaces the running extreme only when strictly beyond it, so the
// index is the lowest at which the extreme stands. NaN elements give each
// build's own result: the x87 maximum never takes a NaN, its minimum does.
namespace Prim {

#define PRIM_EXTREMES_BUILDS(suffix)                                                                 \
    Status MaxF32##suffix(const float* src, std::int32_t len, float* max);                           \
    Status MaxF64##suffix(const double* src, std::int32_t len, double* max);                         \
    Status MinF32##suffix(const float* src, std::int32_t len, float* min);                           \
    Status MinF64##suffix(const double* src, std::int32_t len, double* min);                         \
    /* A null index makes these the plain maximum and minimum. */                                    \
    Status MaxIndexF32##suffix(const float* src, std::int32_t len, float* max, std::int32_t* index); \
    Status MinIndexF32##suffix(const float* src, std::int32_t len, float* min, std::int32_t* index); \
    Status MaxEveryInPlaceF32##suffix(const float* src, float* srcDst, std::int32_t len);            \
    Status MinEveryInPlaceF32##suffix(const float* src, float* srcDst, std::int32_t len);

PRIM_EXTREMES_BUILDS(_x87)
PRIM_EXTREMES_BUILDS(_sse2)
#undef PRIM_EXTREMES_BUILDS

}  // namespace Prim
