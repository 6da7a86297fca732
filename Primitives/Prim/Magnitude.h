#pragma once
// Absolute value of real vectors; magnitude and power of complex ones. A
// complex vector of len values is 2 * len floats, real part first; the split
// form keeps the parts in two arrays. The x87 builds form magnitude and power
// in double and round once; the SSE2 builds work in single precision (the
// magnitude from the reciprocal-square-root estimate and one Newton step).
// Listed in Operations.inc: AbsF32, AbsF64, AbsInPlaceF32, AbsInPlaceF64, MagnitudeC32,
//    MagnitudeSplitF64, PowerSpectrumC32.
#include <Primitives/Prim/Operations.h>
