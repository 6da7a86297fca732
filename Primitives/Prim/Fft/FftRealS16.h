#pragma once
// The real FFT on 16-bit samples. A record (tag 3) runs one of two ways, chosen at creation:
// fixed point (32-bit words with headroom, Q14 twiddles) for hints 0 and 1 at small orders,
// or through a nested record of the real FFT on 32-bit floats otherwise.
//
// Forward output: N + 2 values, Re X0, 0, Re X1, Im X1, ..., Re X(N/2), 0. Every transform
// divides its result by 2^scale (a negative scale multiplies), rounds and saturates to
// 16 bits. Checks, in this order: null record (-8), a record that is not a tag-3 record of
// the calling build (-17), null data (-8), the work buffer's allocation (-9), then the
// nested transform's status. A record is only read, so threads may share one.

#include <Primitives/Prim/Fft/FftSpec.h>

#include <cstdint>

namespace Prim {

inline constexpr int32_t FftTagRealS16 = 3;

struct FftSpecRealS16 {
    int32_t tag;
    int32_t order;
    int32_t shiftForward;
    int32_t shiftInverse;
    int32_t halfStep;  // both directions also multiply by 1/sqrt(2)
    int32_t hint;
    int32_t bufSize;
    int32_t ownTables;  // 1: fixed point; 0: through the nested record
    int32_t* bitRev;  // order - 1
    int16_t* twiddleHalf;  // order - 1, read by the complex pass
    int16_t* twiddleFull;  // order, read by the real split
    FftSpecRealF32* nested;
    FftBuild build;  // private: set by the creating build, checked by the transforms
};

// The largest order each build runs in fixed point (for hints 0 and 1).
inline constexpr int32_t FftS16FixedMaxOrderX87 = 8;
inline constexpr int32_t FftS16FixedMaxOrderSse2 = 3;

// Listed in Operations.inc: FftInitAllocRealS16, FftGetBufSizeRealS16,
// FftForwardRealS16, FftInverseRealS16 (N + 2 values in the forward layout in, element 1 never
// read; N samples out) and FftFreeRealS16.

}  // namespace Prim
