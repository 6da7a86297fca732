#pragma once
// Clamping in place. Lt: every element not above level becomes level (NaN
// included). Gt: every element not below level becomes level; a NaN element
// stays in the x87 build and becomes level in the SSE2 build. LtGt: below
// levelLT (or NaN) becomes valueLT, above levelGT becomes valueGT; refused
// with -18 unless levelGT >= levelLT.
// Listed in Operations.inc: ThresholdLtGtInPlaceF32, ThresholdLtInPlaceF32, ThresholdLtInPlaceF64,
//    ThresholdGtInPlaceF32, ThresholdGtInPlaceF64.
#include <Primitives/Prim/Operations.h>
