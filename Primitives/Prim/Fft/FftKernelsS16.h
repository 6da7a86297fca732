#pragma once
// Kernels of the real FFT on 16-bit samples, fixed-point way. Samples are carried as 32-bit
// two's-complement words whose sums and products wrap modulo 2^32; right shifts of signed
// values are arithmetic. Twiddles are Q14 (16384 = 1.0), one entry (c, s, -s, c) per root.
// The kernels never fail and trust their arguments: the tables are the record's own.

#include <cstdint>

namespace Prim {

// What the two builds do differently inside the passes.
struct FftS16Rounding {
    int32_t radix;  // added to the summed low products of the complex pass (4096 or 0)
    int32_t post;  // the same for the forward real split
    bool preFromEnd;  // the inverse real split reads entry N - k and the pair (-D2, D1)
};
inline constexpr FftS16Rounding FftS16RoundingX87{4096, 4096, false};
inline constexpr FftS16Rounding FftS16RoundingSse2{0, 0, true};

// N/4 + 1 entries round(16384 sin(2 pi k / N)), N = 2^order (order at least 1).
int16_t* FftMakeSineTableS16(int order);
// 2^m entries of (c, s, -s, c) for the roots 2 pi j / 2^m, read from a sine table of order
// t >= m; tables of fewer than four entries are left zero (no pass reads them).
int16_t* FftMakeTwiddleS16(int m, const int16_t* sine, int t);

// dst[i] = src[i] * 2^shift, shift 0 to 16.
void FftLoadS16ToS32(const int16_t* src, int32_t* dst, uint32_t len, int shift);
// Forward complex DFT of `count` interleaved values in place: natural order in,
// bit-reversed order out; radix-4 decimation in frequency, a last radix-2 stage for odd
// orders. Twiddles of order log2(count).
void FftRadix4S32(int32_t* data, uint32_t count, const int16_t* twiddles, const FftS16Rounding& rounding);
// The real split after the forward pass (count complex values, table of order log2(2 count))
// and its inverse before the pass, storing in reversed index order.
void FftRealPostS32(int32_t* data, uint32_t count, const int16_t* table, const FftS16Rounding& rounding);
void FftRealPreInvS32(int32_t* data, uint32_t count, const int16_t* table, const FftS16Rounding& rounding);
// Each word times 46340/65536, the low part truncated.
void FftScaleInvSqrt2S32(int32_t* data, uint32_t len);
// Division by 2^shift rounding halves up (shift above 0) or multiplication by 2^-shift,
// saturated to 16 bits. Computed in 64 bits: a shift of 32 or more gives 0.
int16_t FftNarrowS32ToS16(int32_t value, int64_t shift);
void FftStoreS32ToS16(const int32_t* src, int16_t* dst, uint32_t len, int64_t shift);

}  // namespace Prim
