#pragma once
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
// Listed in Operations.inc: DivConstInPlaceF32, DivConstInPlaceF64, DivInPlaceF32, DivInPlaceF64,
//    DivConstRevF32.
#include <Primitives/Prim/Operations.h>
