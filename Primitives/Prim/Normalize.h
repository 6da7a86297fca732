#pragma once
#include <Primitives/Prim/Operations.h>

#include <cstdint>
#include <limits>

// dst[i] = (src[i] - sub) x (1 / div): a product with the reciprocal, not a
// quotient. A divisor below the smallest normal magnitude (or NaN) is refused
// with -10; an infinite one gives signed zeros. The F64 builds agree; in F32
// the x87 build rounds once, the SSE2 build works in single precision on
// blocks of 8 (and as the x87 build on the trailing elements).
// Listed in Operations.inc: NormalizeF32, NormalizeF64.
namespace Prim {

// The refusal both builds make: |div| below the smallest normal number, or NaN.
template <class T>
bool NormalizeDivisorRefused(T div) {
    return !(div >= std::numeric_limits<T>::min() || div <= -std::numeric_limits<T>::min());
}

}  // namespace Prim
