#pragma once
// In-place reciprocals with a magnitude threshold T (refused with -19 below 0).
// Real: T = 0 gives 1/x, a zero giving infinity and warning 4; T > 0 gives
// +-1/T for |x| <= T (by the sign) and 1/x otherwise. Complex (len values of
// two floats, real part first), p = re^2 + im^2: T = 0 gives 1/z, a zero value
// giving (+inf, 0) and warning 4; T > 0 gives 1/z for p >= T^2, (1/T, 0) for a
// zero value, and the phase of 1/z with magnitude 1/T in between.
// The builds differ on -0: the x87 builds treat it as +0 (+inf, +1/T), the
// SSE2 builds keep its sign (-inf, -1/T). The x87 builds work in double; the
// SSE2 float builds refine the processor's estimates by one Newton step. A NaN
// threshold counts as 0 in the x87 real and C64 builds and is refused by the
// others.
// Listed in Operations.inc: InvThreshInPlaceF32, InvThreshInPlaceF64, InvThreshInPlaceC32,
//    InvThreshInPlaceC64.
#include <Primitives/Prim/Operations.h>
