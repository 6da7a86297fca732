#pragma once
// The kernels behind the MDCT: its quarter-length complex FFT, the pre- and post-steps that
// fold, twiddle and unfold, and the 3- and 9-point DFTs of lengths 12 and 36. Kernels trust
// their arguments; the public operations check them. N is the MDCT length, q = N/4, h = N/2.

#include <Primitives/Prim/Fft/Mdct.h>

#include <cstdint>

namespace Prim {

// Forward complex FFT of n = 2^order points (n a power of two, at least 8), no scaling.
// Stage s = 2 .. order-1 has 2^s entries of two floats at float offset 2 (2^s - 4) in each
// pair table: (cos t, cos t) and (sin t, -sin t) with t = 2 pi j / 2^(s+1).
// The bit-reversal list holds the pairs (i, rev i) of even i < n/2 with i < rev i, then the
// even i < n/2 that reverse to themselves (0 first, so the first 0 also ends the pairs), then 0.
struct CosFftSpecC32 {
    int32_t order;
    int32_t n;
    float* sinePairs;
    float* cosinePairs;
    float* sineBlock;  // owns sinePairs
    float* cosineBlock;  // owns cosinePairs
    int32_t* bitRev;
};

Status CosFftSpecInit_x87(CosFftSpecC32** spec, int32_t n);
Status CosFftSpecInit_sse2(CosFftSpecC32** spec, int32_t n);
Status CosFftSpecFree(CosFftSpecC32* spec);

// Radix-2 decimation-in-time passes on bit-reversed data, natural order out.
void CosFftRadix2_x87(const CosFftSpecC32* spec, float* data);
void CosFftRadix2_sse2(float* data, int32_t n, int32_t order, const float* cosinePairs, const float* sinePairs);

// The bit-reversal permutation of the record's list, then the passes.
void CosFftRun_x87(const CosFftSpecC32* spec, float* data);
void CosFftRun_sse2(const CosFftSpecC32* spec, float* data);

// Lengths 12, 32 and 36 (interleaved table). Forward pre-step: rotation into the scratch of N
// floats, fold and pre-twiddle into q complex values; post-step: X_2k and X_(h-1-2k).
#define PRIM_MDCT_SMALL_KERNELS(suffix)                                                                  \
    void MdctFwdPreSmall##suffix(const float* src, float* dst, const CosSpecF32* spec, float* scratch);  \
    void MdctFwdPostSmall##suffix(const float* src, float* dst, const CosSpecF32* spec);                 \
    void MdctInvPreSmall##suffix(const float* src, float* dst, const CosSpecF32* spec);                  \
    void MdctInvPostSmall##suffix(const float* src, float* dst, const CosSpecF32* spec, float* scratch); \
    void Dft3C32##suffix(float* data);                                                                   \
    void Dft9C32##suffix(float* data);

PRIM_MDCT_SMALL_KERNELS(_x87)
PRIM_MDCT_SMALL_KERNELS(_sse2)
#undef PRIM_MDCT_SMALL_KERNELS

// Powers of two from 64 (blocked table). The forward pre-steps keep the rotated block
// de-interleaved in their scratch: even samples ascending, then odd samples descending.
void MdctFwdPreLarge_x87(const float* src, float* dst, const CosSpecF32* spec, float* scratch);
void MdctFwdPostLarge_x87(const float* src, float* dst, const CosSpecF32* spec);
void MdctInvPreLarge_x87(const float* src, float* dst, const CosSpecF32* spec);
void MdctInvPostLarge_x87(const float* src, float* dst, const CosSpecF32* spec, float* scratch);

// The SSE2 forward pre-step's scratch is the N floats that follow dst (16-byte aligned, as
// dst is); the post-step reads the mirrored table.
void MdctFwdPreLarge_sse2(const float* src, float* dst, int32_t length, const float* table);
void MdctFwdPostLarge_sse2(const float* src, float* dst, const float* mirrored, int32_t length);
void MdctInvPreLarge_sse2(const float* src, float* dst, const float* table, int32_t length);
void MdctInvPostLarge_sse2(const float* src, float* dst, const float* table, int32_t length, float* scratch);

}  // namespace Prim
