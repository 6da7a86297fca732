#pragma once
// Copy, overlap-safe move, fill and clear of 8-, 16-, 32- and 64-bit vectors.
// Every operation checks its pointers (-8) and then len (-6) before writing.
// The two builds write the same bytes, with one exception: the x87 SetF64
// quietens a signalling NaN, as an x87 load and store would.
// Listed in Operations.inc: CopyU8, CopyS16, CopyF32, CopyF64, MoveU8, MoveS16, MoveF32, MoveF64,
//    SetU8, SetS16, SetS32, SetF32, SetF64, ZeroU8, ZeroS16, ZeroF32, ZeroF64.
#include <Primitives/Prim/Operations.h>
