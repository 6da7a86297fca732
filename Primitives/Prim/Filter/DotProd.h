#pragma once
// Dot products: *result = sum of src1[i] * src2[i]. Checks: a null pointer -8, then len below 1 -6.
// The x87 build keeps one wide running sum; the SSE2 build several partial sums in the element
// type, so the builds may differ in the last bits.
// Listed in Operations.inc: DotProdF32, DotProdF64.
#include <Primitives/Prim/Operations.h>
