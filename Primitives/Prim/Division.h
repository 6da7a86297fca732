#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Division by a constant (refused with -10 for 0 or NaN; a product with the
// rounded reciprocal, so both builds agree), element-wise division and a
// constant divided by a vector. A zero divisor gives warning 6 and a value
// that depends on the build:
//   x87:  +inf or -inf by the dividend's sign, 0xFFC00000 / 0xFFF8000000000000
//         for 0 / 0, -inf for NaN / 0; a NaN divisor counts as a zero one.
//   SSE2: F32 as x87 but 0x7FC00000 for 0 / 0 and NaN / 0; F64 always
//         0x7FF8000000000000; a NaN divisor gives a NaN and no warning.
// The x87 builds divide exactly. The SSE2 F32 build refines the reciprocal
// estimate (last bits may differ); its F64 build inverts four divisors from
// one division and rounds each quotient to a multiple of four units in the
// last place.
namespace Prim {

#define PRIM_DIVISION_BUILDS(suffix)                                                   \
    Status DivConstInPlaceF32##suffix(float value, float* srcDst, std::int32_t len);   \
    Status DivConstInPlaceF64##suffix(double value, double* srcDst, std::int32_t len); \
    Status DivInPlaceF32##suffix(const float* src, float* srcDst, std::int32_t len);   \
    Status DivInPlaceF64##suffix(const double* src, double* srcDst, std::int32_t len); \
    Status DivConstRevF32##suffix(const float* src, float value, float* dst, std::int32_t len);

PRIM_DIVISION_BUILDS(_x87)
PRIM_DIVISION_BUILDS(_sse2)
#undef PRIM_DIVISION_BUILDS

}  // namespace Prim
