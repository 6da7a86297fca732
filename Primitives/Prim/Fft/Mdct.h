#pragma once
// The modified discrete cosine transform on 32-bit floats, in place, through a complex FFT
// of a quarter of the length. With A(n, k) = 2 pi / N (n + 1/2 + N/4)(k + 1/2):
//   forward (tag 55): N samples in, X_k = 2 sum_n x_n cos A(n, k) for k < N/2 out;
//   inverse (tag 56): N/2 coefficients in, y_n = 2/N sum_k X_k cos A(n, k) for n < N out.
// Lengths: 12, 32, 36 and every power of two from 64. Neither direction applies a window.

#include <Primitives/Prim/Operations.h>

#include <cstdint>

namespace Prim {

inline constexpr int32_t MdctTagForward = 55;
inline constexpr int32_t MdctTagInverse = 56;

struct CosFftSpecC32;

// One record per length and direction, read-only once made. The twiddle table holds N/2
// floats: (sine, cosine) pairs for lengths up to 36, else blocks of four sines then four
// cosines. The mirrored copy (forward records from 64 up) pairs each front block with its
// back counterpart for the SSE2 post-step; the inverse record leaves it null.
struct CosSpecF32 {
    int32_t tag;
    int32_t length;
    float* twiddle;
    float* mirrored;
    float* twiddleBlock;  // owns the twiddle table
    float* mirroredBlock;  // owns the mirrored table
    CosFftSpecC32* fft;  // null for 12 and 36, which run straight-line DFTs
};

// The operations on these records, MdctInitAllocFwdF32 to MdctInvF32, are
// listed in Operations.inc.

}  // namespace Prim
