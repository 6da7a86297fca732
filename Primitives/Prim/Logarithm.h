#pragma once
// Natural logarithm of a float vector in place and of a double vector out of
// place. An element with its sign bit set (-0 included) gives the negative
// quiet NaN and warning 8, +0 gives -inf and warning 7; the status is the
// warning of the first such element. The x87 builds round the C library's
// double logarithm; the SSE2 builds use their own polynomials (single
// precision for floats, a 65-row table and a degree-7 polynomial for doubles)
// and may differ in the last bits. NaN inputs: see each build.
// Listed in Operations.inc: LnInPlaceF32, LnF64.
#include <Primitives/Prim/Operations.h>
