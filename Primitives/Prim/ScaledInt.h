#pragma once
// Integer sums and products scaled by 2^-scale: a positive scale divides with
// rounding to nearest (ties to even), a negative one multiplies, and every
// result saturates to the element type. Any scale is accepted; both builds
// give the same results bit for bit.
// Listed in Operations.inc: AddConstInPlaceScaledS32, AddInPlaceScaledS16, AddConstScaledS32,
//    MulConstInPlaceScaledS16.
#include <Primitives/Prim/Operations.h>
