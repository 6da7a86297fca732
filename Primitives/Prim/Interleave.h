#pragma once
// Conversion between the interleaved layout (frame f, channel c at
// f * channels + c) and one buffer per channel. Elements move as bit patterns.
// A buffer or channel pointer off a 16-byte boundary gives the warning
// StatusMisalignedWarning after a complete move.
// Listed in Operations.inc: InterleaveS16, InterleaveF32, DeinterleaveS16, DeinterleaveF32.
#include <Primitives/Prim/Operations.h>
