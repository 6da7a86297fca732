#pragma once
// Kernels of the real FFT on 32-bit floats, both builds. A real signal of N floats is
// transformed as count = N/2 complex values (interleaved re, im); m = log2(count).
// Kernels never fail and trust their arguments: the tables are the record's own, built by
// the same build for the sizes they are called at, and buffers are 16-byte aligned.
// Forward kernels use e^(-2 pi i jk/count), inverse ones the conjugate roots; no pass
// scales: the callers apply the record's factor once.
//
// The SSE2 kernels hold points in the quad layout inside: each block of four consecutive
// points as its four real parts, then its four imaginary parts.

#include <Primitives/Prim/Fft/FftSpec.h>

#include <cstdint>

namespace Prim {

// Bit reversal with the pair-list table, src and dst apart (8-byte elements of any kind).
void FftBitRevCopyC32(const float* src, float* dst, uint32_t count, const int32_t* table);

// --- x87 build: sums carried wider than a float, every stored value rounded to float.

// Transform of `count` values (4 to 1024) in bit-reversed order into natural order.
void FftRadixFwdF32_x87(float* data, uint32_t count, const float* twiddles);
void FftRadixInvF32_x87(float* data, uint32_t count, const float* twiddles);
// The same pass on `vectors` consecutive vectors of `count` values each.
void FftRadixVectorsFwdF32_x87(float* data, uint32_t count, uint32_t vectors, const float* twiddles);
void FftRadixVectorsInvF32_x87(float* data, uint32_t count, uint32_t vectors, const float* twiddles);
void FftScaleF32_x87(float factor, float* data, uint32_t n);

// Real split around the complex transform of `half` = N/2 values: after the forward one
// (first value already X0, X(N/2)), and before the inverse one (floats 2..N-1 of dst from
// src; src may be dst).
void FftRealPostF32_x87(float* data, uint32_t half, int direction, const float* table);
void FftRealPreF32_x87(const float* src, float* dst, uint32_t half, const float* roots);

// Large-order path from m = 11: per-order split into rows and columns, or 1024-point
// blocks joined by radix-2 stages. They scale every value once when the flag is set.
void FftRecursiveFwdF32_x87(const FftSpecRealF32* spec, float* data, int m, float* buffer);
void FftRecursiveInvF32_x87(const FftSpecRealF32* spec, float* data, int m, float* buffer);
void FftSplitFwdF32_x87(const FftSpecRealF32* spec, float* data, int m, int depth, float* buffer);
void FftSplitInvF32_x87(const FftSpecRealF32* spec, float* data, int m, int depth, float* buffer);
void FftBlockedFwdF32_x87(const FftSpecRealF32* spec, float* data, uint32_t count, float* buffer);
void FftBlockedInvF32_x87(const FftSpecRealF32* spec, float* data, uint32_t count, float* buffer);
// Joins count / blockLength transformed blocks; direction 1 forward, 0 inverse; the
// butterflies walk strips of `strip` floats.
void FftRadix2StagesF32_x87(
    float* data, uint32_t count, uint32_t blockLength, const float* quarterRoots, int direction, uint32_t strip);

// --- SSE2 build: floats throughout, four points per operation.

// Bit reversal with the doubled-index table (word i = 2 rev(i)), count of 8 or more.
void FftBitRevCopyC32_sse2(const float* src, float* dst, uint32_t count, const int32_t* table);
void FftBitRevInPlaceC32_sse2(float* data, uint32_t count, const int32_t* table);

// Bit reversal and transform in one (count 8 to 16384): src in natural order, dst
// interleaved in natural order; src may be dst. buffer: count points.
void FftBitRevRadixFwdF32_sse2(
    const float* src, float* dst, uint32_t count, const float* twiddles, const int32_t* bitRev, float* buffer);
void FftBitRevRadixInvF32_sse2(
    const float* src, float* dst, uint32_t count, const float* twiddles, const int32_t* bitRev, float* buffer);
// Transform in place of bit-reversed data (count 8 to 32768); the result is interleaved
// when `interleave` is 1, left in the quad layout when 0. buffer: count points.
void FftRadixFwdF32_sse2(float* data, uint32_t count, const float* twiddles, float* buffer, int interleave);
void FftRadixInvF32_sse2(float* data, uint32_t count, const float* twiddles, float* buffer, int interleave);
void FftScaleF32_sse2(float factor, float* data, uint32_t n);

void FftRealPostF32_sse2(float* data, uint32_t half, int direction, const float* table);
void FftRealPreF32_sse2(const float* src, float* dst, uint32_t half, const float* roots);

// Large-order path from m = 16: rows, then the upper stages over groups of columns
// copied into the buffer. Rows of a nested level stay in the quad layout.
void FftRecursiveFwdF32_sse2(const FftSpecRealF32* spec, float* data, int m, float* buffer);
void FftRecursiveInvF32_sse2(const FftSpecRealF32* spec, float* data, int m, float* buffer);
void FftSplitFwdF32_sse2(const FftSpecRealF32* spec, float* data, int m, int depth, float* buffer);
void FftSplitInvF32_sse2(const FftSpecRealF32* spec, float* data, int m, int depth, float* buffer);
// Copies `width` points of each of `rows` rows (rowLength points apart) into the buffer
// rows, and back; the way back can turn quad blocks into interleaved points.
void FftColumnGatherF32_sse2(const float* data, float* buffer, uint32_t rowLength, uint32_t rows, uint32_t width);
void FftColumnScatterF32_sse2(
    float* data, const float* buffer, uint32_t rowLength, uint32_t rows, uint32_t width, int interleave);
// One radix-4 (radix-2) stage over `groups` groups of 4 (2) spans of quad-layout points.
void FftColumnRadix4F32_sse2(const float* src, float* dst, uint32_t span, uint32_t groups, const float* twiddles);
void FftColumnRadix4InvF32_sse2(const float* src, float* dst, uint32_t span, uint32_t groups, const float* twiddles);
void FftColumnRadix2F32_sse2(const float* src, float* dst, uint32_t span, uint32_t groups, const float* twiddles);
void FftColumnRadix2InvF32_sse2(const float* src, float* dst, uint32_t span, uint32_t groups, const float* twiddles);

}  // namespace Prim
