#pragma once
// Element-wise products of complex vectors: len values of two floats each,
// real part first. (ar, ai) x (br, bi) = (ar br - ai bi, ar bi + ai br), both
// parts from the old values. The x87 build of the C32 forms keeps the products
// in double and rounds once; the SSE2 build rounds each product to float. For
// C64 both builds round each product to double, but the x87 build keeps the
// wide exponent range of its registers for products beyond the double range.
// Listed in Operations.inc: MulInPlaceC32, MulInPlaceC64, MulC32.
#include <Primitives/Prim/Operations.h>
