#pragma once
// Full linear convolution: dst[n] = sum over j of src1[n - j] * src2[j], len1 + len2 - 1 values.
// Short outputs or short operands are summed directly; comparable lengths go through one real
// FFT of the next power of two; an operand at least three times the other through overlap-save
// blocks. Checks: a null pointer -8, a length below 1 -6, an output longer than 2^31 - 1 -6,
// transform blocks past 2^31 - 1 bytes -9. dst must not overlap the operands.
// Listed in Operations.inc: ConvolveF32, ConvolveF64.
#include <Primitives/Prim/Operations.h>
