#pragma once
// Largest and smallest element of a vector (with the index of its first
// occurrence), and the element-wise larger or smaller of two vectors. A later
// element replaces the running extreme only when strictly beyond it, so the
// index is the lowest at which the extreme stands. NaN elements give each
// build's own result: the x87 maximum never takes a NaN, its minimum does.
// A null index makes MaxIndexF32 and MinIndexF32 the plain maximum and minimum.
// Listed in Operations.inc: MaxF32, MaxF64, MinF32, MinF64, MaxIndexF32, MinIndexF32,
//    MaxEveryInPlaceF32, MinEveryInPlaceF32.
#include <Primitives/Prim/Operations.h>
