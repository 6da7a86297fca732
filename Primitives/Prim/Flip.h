#pragma once
// Reversal of a vector's order. Elements move as bit patterns, NaN payloads
// included; the out-of-place forms take distinct buffers.
// Listed in Operations.inc: FlipInPlaceF32, FlipInPlaceF64, FlipF32, FlipF64.
#include <Primitives/Prim/Operations.h>
