#pragma once
// Per-order steering of the large-order path: how far each complex order is split.

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

}  // namespace Prim
