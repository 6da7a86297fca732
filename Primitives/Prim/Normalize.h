#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>
#include <limits>

// dst[i] = (src[i] - sub) x (1 / div): a product with the reciprocal, not a
// quotient. A divisor below the smallest normal magnitude (or NaN) is refused
// with -10; an infinite one gives signed zeros. The F64 builds agree; in F32
// the x87 build rounds once, the SSE2 build works in single precision on
// blocks of 8 (and as the x87 build on the trailing elements).
namespace Prim {

#define PRIM_NORMALIZE_BUILDS(suffix)                                                                  \
    Status NormalizeF32##suffix(const float* src, float* dst, std::int32_t len, float sub, float div); \
    Status NormalizeF64##suffix(const double* src, double* dst, std::int32_t len, double sub, double div);

PRIM_NORMALIZE_BUILDS(_x87)
PRIM_NORMALIZE_BUILDS(_sse2)
#undef PRIM_NORMALIZE_BUILDS

// The refusal both builds make: |div| below the smallest normal number, or NaN.
template <class T>
bool NormalizeDivisorRefused(T div) {
    return !(div >= std::numeric_limits<T>::min() || div <= -std::numeric_limits<T>::min());
}

}  // namespace Prim
