#pragma once
// Symmetric windows applied in place: x[n] becomes x[n] * w[n], each window
// value serving both mirrored elements; an odd length's middle element stays.
// WinBlackmanF32 with alpha = -0.16 gives the classic Blackman window; the
// Kaiser windows take beta = alpha * (len - 1) / 2.
// Listed in Operations.inc: WinBartlettF32, WinHannF32, WinHammingF32, WinBlackmanF32,
//    WinKaiserF32, WinKaiserF64.
#include <Primitives/Prim/Operations.h>
