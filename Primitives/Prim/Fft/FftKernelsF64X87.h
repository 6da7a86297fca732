#pragma once
// Kernels of the x87 build of the complex half-length transform inside the real FFT on
// doubles. Complex values are interleaved (re, im) pairs. They never fail and trust their
// arguments: the tables are those of the record, built for the sizes they are called at.

#include <Primitives/Prim/Fft/FftSpec.h>

#include <cstdint>

namespace Prim {

void FftBitRevCopyC64(const double* src, double* dst, uint32_t count, const int32_t* table);

// Transform of `count` values given in bit-reversed order; result in natural order.
void FftRadixFwdF64_x87(double* data, uint32_t count, const double* twiddles);
void FftRadixInvF64_x87(double* data, uint32_t count, const double* twiddles);
// The same pass on `vectors` consecutive vectors of `count` values each.
void FftRadixVectorsFwdF64_x87(double* data, uint32_t count, uint32_t vectors, const double* twiddles);
void FftRadixVectorsInvF64_x87(double* data, uint32_t count, uint32_t vectors, const double* twiddles);

// The complete transform on split arrays (count 4 to 512), its radix-2 stage last for odd
// orders.
void FftRadixSplitFwdF64_x87(double* re, double* im, uint32_t count, const double* twiddles);
void FftRadixSplitInvF64_x87(double* re, double* im, uint32_t count, const double* twiddles);

void FftScaleF64_x87(double factor, double* data, uint32_t count);

// Large-order path: split step, blocked path and radix-2 combine stages.
void FftRecursiveFwdF64_x87(const FftSpecRealF64* spec, double* data, int m, double* buffer);
void FftRecursiveInvF64_x87(const FftSpecRealF64* spec, double* data, int m, double* buffer);
void FftRecursiveSplitFwdF64_x87(const FftSpecRealF64* spec, double* re, double* im, int m, double* buffer);
void FftRecursiveSplitInvF64_x87(const FftSpecRealF64* spec, double* re, double* im, int m, double* buffer);
void FftSplitFwdF64_x87(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer);
void FftSplitInvF64_x87(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer);
void FftBlockedFwdF64_x87(const FftSpecRealF64* spec, double* data, uint32_t count, double* buffer);
void FftBlockedInvF64_x87(const FftSpecRealF64* spec, double* data, uint32_t count, double* buffer);
void FftCombineF64_x87(
    double* data, uint32_t count, uint32_t startSpan, const double* quarterRoots, int forward, uint32_t columnBlock);

// Real split around the complex transform of `half` values (direction +1 / -1 only).
void FftRealPostF64_x87(double* data, uint32_t half, int direction, const double* table);
void FftRealPreF64_x87(const double* src, double* dst, uint32_t half, int direction, const double* roots);

// The half-length complex transform of a forward real FFT of 2^(m+1) values from src in natural
// order (src may be dst), with the real post-processing; and the half-length transform of an
// inverse one, in place from natural order. Both scale as the record says.
void FftForwardHalfF64_x87(const FftSpecRealF64* spec, const double* src, double* dst, int m, double* work);
void FftInverseHalfF64_x87(const FftSpecRealF64* spec, double* data, int m, double* work);

// The passes above exist in two copies with the same results to the bit: one on 16-byte
// vectors for any processor, one on 32-byte vectors used when the processor has AVX. Tests
// turn the wide copy off (false) to reach the other, and back on (true); the result says
// whether the wide copy is in use.
bool FftUseWideKernelsF64_x87(bool allow);

}  // namespace Prim
