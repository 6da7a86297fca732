#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Element-wise products of complex vectors: len values of two floats each,
// real part first. (ar, ai) x (br, bi) = (ar br - ai bi, ar bi + ai br), both
// parts from the old values. The x87 build of the C32 forms keeps the products
// in double and rounds once; the SSE2 build rounds each product to float. For
// C64 both builds round each product to double, but the x87 build keeps the
// wide exponent range of its registers for products beyond the double range.
namespace Prim {

#define PRIM_COMPLEX_PRODUCT_BUILDS(suffix)                                            \
    Status MulInPlaceC32##suffix(const float* src, float* srcDst, std::int32_t len);   \
    Status MulInPlaceC64##suffix(const double* src, double* srcDst, std::int32_t len); \
    Status MulC32##suffix(const float* src1, const float* src2, float* dst, std::int32_t len);

PRIM_COMPLEX_PRODUCT_BUILDS(_x87)
PRIM_COMPLEX_PRODUCT_BUILDS(_sse2)
#undef PRIM_COMPLEX_PRODUCT_BUILDS

}  // namespace Prim
