#pragma once
// Between polar and Cartesian complex vectors (len values of two floats,
// real part first; phases in radians), and the Euclidean norm. The x87 builds
// work in double (their own sine polynomial for pairs of values, the C
// library's for an odd last one; the C library's arc tangent); the SSE2
// builds work in single precision, but for the sine and cosine of the polar
// conversion, which reduce the phase and take the polynomial in double. The Cartesian-to-polar conversion runs the
// magnitude (as MagnitudeC32 of the same build) and then the phase, each with
// its own checks, and reports the magnitude's error first.
// Listed in Operations.inc: PolarToCartC32, CartToPolarC32, NormL2F32.
#include <Primitives/Prim/Operations.h>
