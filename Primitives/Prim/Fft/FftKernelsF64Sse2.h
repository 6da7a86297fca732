#pragma once
// Kernels of the SSE2 build of the complex half-length transform inside the real FFT on
// doubles. Between passes two neighbouring complex values a, b are held paired, as
// Re a, Re b, Im a, Im b; the outermost pass writes interleaved (re, im) pairs again.
// They never fail and trust their arguments: the tables are those of the record, built for
// the sizes they are called at, and counts are at least 8.

#include <Primitives/Prim/Fft/FftSpec.h>

#include <cstdint>

namespace Prim {

// The work buffer of the large-order path: a leaf of up to 2^13 values is staged at its
// start, the column block of the split step follows.
inline constexpr uint32_t FftSse2LeafValues = 8192;

// dst[k] = src[bitrev(k)] over log2(count) bits, with the SSE2 form of the table.
void FftBitRevCopyC64_sse2(const double* src, double* dst, uint32_t count, const int32_t* table);
void FftBitRevInPlaceC64_sse2(double* data, uint32_t count, const int32_t* table);

// Transform of `count` values given in bit-reversed order, in place. The stages run in data
// when it is 16-byte aligned, else in the buffer (room for count values); the result is
// interleaved or left paired.
void FftRadixFwdF64_sse2(double* data, uint32_t count, const double* twiddles, double* buffer, bool interleaved);
void FftRadixInvF64_sse2(double* data, uint32_t count, const double* twiddles, double* buffer, bool interleaved);

// The permutation fused with all stages: src in natural order, dst interleaved in natural
// order (src may be dst). Count up to 2^13; the buffer has room for count values.
void FftBitRevRadixFwdF64_sse2(
    const double* src, double* dst, uint32_t count, const double* twiddles, const int32_t* bitRev, double* buffer);
void FftBitRevRadixInvF64_sse2(
    const double* src, double* dst, uint32_t count, const double* twiddles, const int32_t* bitRev, double* buffer);

void FftScaleF64_sse2(double factor, double* data, uint32_t count);

// The same on split arrays (count 16 to 2^13), staged in the buffer (room for count values):
// fused with the permutation (src may be dst), or on values already in bit-reversed order.
void FftBitRevRadixSplitFwdF64_sse2(const double* srcRe, const double* srcIm, double* dstRe, double* dstIm,
    uint32_t count, const double* twiddles, const int32_t* bitRev, double* buffer);
void FftBitRevRadixSplitInvF64_sse2(const double* srcRe, const double* srcIm, double* dstRe, double* dstIm,
    uint32_t count, const double* twiddles, const int32_t* bitRev, double* buffer);
void FftRadixSplitLeafFwdF64_sse2(double* re, double* im, uint32_t count, const double* twiddles, double* buffer);
void FftRadixSplitLeafInvF64_sse2(double* re, double* im, uint32_t count, const double* twiddles, double* buffer);

// Large-order path (m above 13): data in bit-reversed order, result interleaved in natural
// order; the leaves are scaled when the record asks for it.
void FftRecursiveFwdF64_sse2(const FftSpecRealF64* spec, double* data, int m, double* buffer);
void FftRecursiveInvF64_sse2(const FftSpecRealF64* spec, double* data, int m, double* buffer);
// The same on split arrays in bit-reversed order; the result stays split.
void FftRecursiveSplitFwdF64_sse2(const FftSpecRealF64* spec, double* re, double* im, int m, double* buffer);
void FftRecursiveSplitInvF64_sse2(const FftSpecRealF64* spec, double* re, double* im, int m, double* buffer);
void FftSplitFwdF64_sse2(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer);
void FftSplitInvF64_sse2(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer);

// Column blocks of the split step: `columns` values of each of `rows` rows (paired, rows
// `rowLength` values apart) to and from a block of rows x columns values.
void FftGatherColumnsC64_sse2(const double* data, uint64_t rowLength, uint32_t rows, uint32_t columns, double* block);
void FftScatterColumnsC64_sse2(
    const double* block, double* data, uint64_t rowLength, uint32_t rows, uint32_t columns, bool interleave);
// One radix-4 step across the rows of a block (sub-columns `quarter` rows apart) and the
// radix-2 tail; the twiddles are read straight through. They return the twiddles that follow.
const double* FftRadixFwdStepF64_sse2(
    double* block, uint32_t rows, uint32_t columns, uint32_t quarter, const double* twiddles);
const double* FftRadixInvStepF64_sse2(
    double* block, uint32_t rows, uint32_t columns, uint32_t quarter, const double* twiddles);
const double* FftRadixFwdTailF64_sse2(double* block, uint32_t rows, uint32_t columns, const double* twiddles);
const double* FftRadixInvTailF64_sse2(double* block, uint32_t rows, uint32_t columns, const double* twiddles);

// Real split around the complex transform of `half` values (direction +1 / -1 only).
void FftRealPostF64_sse2(double* data, uint32_t half, int direction, const double* table);
void FftRealPreF64_sse2(const double* src, double* dst, uint32_t half, int direction, const double* roots);

}  // namespace Prim
