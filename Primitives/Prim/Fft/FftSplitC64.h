#pragma once
// The complex FFT of N = 2^order points of doubles held in two arrays, real parts and
// imaginary parts. Its record (tag 8) has the layout of the real FFT record on doubles and
// is built by the same table set-up, for the full order.
//
// Forward: Z_j = sum z_t e^(-2 pi i jt/N); inverse with e^(+2 pi i jt/N); the record's factor
// is applied when its flag for the direction is set. srcRe may be dstRe and srcIm dstIm.
// Checks, in this order: null record (-8), a record that is not a tag-8 record of the
// calling build (-17), any null array (-8), the work buffer's allocation (-9).

#include <Primitives/Prim/Fft/FftSpec.h>

#include <cstdint>

namespace Prim {

inline constexpr int32_t FftTagSplitC64 = 8;
struct FftSplitTable;

// FftSpecSplitC64 and the operations FftInitAllocSplitC64, FftGetBufSizeSplitC64,
// FftForwardSplitC64, FftInverseSplitC64 and FftFreeSplitC64 are declared
// from Operations.inc.

// Creation with the record's own split exponents in place of the built-in ones (kept by
// the caller for the record's life), so that the deeper levels run at small orders.
Status FftInitAllocSplitC64WithSplits_x87(
    FftSpecSplitC64** spec, int32_t order, int32_t flag, int32_t hint, const FftSplitTable* splits);
Status FftInitAllocSplitC64WithSplits_sse2(
    FftSpecSplitC64** spec, int32_t order, int32_t flag, int32_t hint, const FftSplitTable* splits);

}  // namespace Prim
