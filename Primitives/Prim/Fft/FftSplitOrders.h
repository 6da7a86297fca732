#pragma once
// Per-order steering of the large-order path: how far each complex order is split.

#include <Primitives/Prim/Fft/FftSpec.h>

#include <cstdint>

namespace Prim {

inline constexpr int FftX87ThresholdF64 = 9;  // single radix pass up to 2^9 complex values
inline constexpr int FftX87ThresholdF32 = 10;
inline constexpr int FftSse2ThresholdF64 = 13;
inline constexpr int FftSse2ThresholdF32 = 15;

// x87 split order d for complex order p (0: no split, quarter-circle roots instead).
int FftSplitOrderX87F64(int p);
int FftSplitOrderX87F32(int p);

struct FftSse2Split {
    int split;  // d
    int block;  // b
};
FftSse2Split FftSplitSse2F64(int p);
FftSse2Split FftSplitSse2F32(int p);

// A record's own split exponents by order in place of the built-in ones, so that tests reach
// the deeper recursion levels at small orders. The set-up and the drivers read the same.
struct FftSplitTable {
    int8_t x87[FftMaxOrder + 1];
    FftSse2Split sse2[FftMaxOrder + 1];
};

inline int FftSplitOrderX87F64(const FftSpecRealF64* spec, int p) {
    return spec->splits ? spec->splits->x87[p] : FftSplitOrderX87F64(p);
}
inline FftSse2Split FftSplitSse2F64(const FftSpecRealF64* spec, int p) {
    return spec->splits ? spec->splits->sse2[p] : FftSplitSse2F64(p);
}

}  // namespace Prim
