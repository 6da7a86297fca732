// Transforms of the split-complex FFT on doubles, both builds: codelets up to order 3, one
// complete pass up to each build's direct limit, the large-order drivers above it.
#include <Primitives/Prim/Fft/FftSplitC64.h>

#include <Primitives/Prim/Fft/FftBitRevPoints.h>
#include <Primitives/Prim/Fft/FftCodeletsSse2.h>
#include <Primitives/Prim/Fft/FftKernelsF64Sse2.h>
#include <Primitives/Prim/Fft/FftKernelsF64X87.h>
#include <Primitives/Prim/Fft/FftSpecAccess.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>
#include <Primitives/Prim/Fft/FftWorkBuffer.h>

namespace Prim {
namespace {

// The arrays of one call; each array is permuted in place when its source is its destination.
struct Arrays {
    const double* srcRe;
    const double* srcIm;
    double* dstRe;
    double* dstIm;
};

template <typename Copy, typename InPlace>
void BitReverse(const Arrays& a, uint32_t count, const int32_t* table, Copy copy, InPlace inPlace) {
    auto one = [&](const double* src, double* dst) {
        if (src == dst)
            inPlace(dst, count, table);
        else
            copy(src, dst, count, table);
    };
    one(a.srcRe, a.dstRe);
    one(a.srcIm, a.dstIm);
}

struct X87 {
    static constexpr FftBuild Build = FftBuild::X87;
    static constexpr const FftCodeletSplit* Rows[2] = {FftRowSplitForwardF64_x87, FftRowSplitInverseF64_x87};
    static constexpr const FftCodeletSplitScaled* ScaledRows[2] = {
        FftRowSplitForwardScaledF64_x87, FftRowSplitInverseScaledF64_x87};

    template <bool Inverse>
    static void Run(const FftSpecSplitC64* spec, const Arrays& a, int order, double* work) {
        const uint32_t count = uint32_t{1} << order;
        BitReverse(a, count, FftBitRev(spec), FftBitRevCopyF64, FftBitRevInPlaceF64);
        if (order > FftX87ThresholdF64) {
            if (Inverse)
                FftRecursiveSplitInvF64_x87(spec, a.dstRe, a.dstIm, order, work);
            else
                FftRecursiveSplitFwdF64_x87(spec, a.dstRe, a.dstIm, order, work);
            return;
        }
        if (Inverse)
            FftRadixSplitInvF64_x87(a.dstRe, a.dstIm, count, FftTable(spec, FftSlotTwiddle));
        else
            FftRadixSplitFwdF64_x87(a.dstRe, a.dstIm, count, FftTable(spec, FftSlotTwiddle));
        if (FftScaleFlag<Inverse>(spec)) {
            FftScaleF64_x87(spec->factor, a.dstRe, count);
            FftScaleF64_x87(spec->factor, a.dstIm, count);
        }
    }
};

struct Sse2 {
    static constexpr FftBuild Build = FftBuild::Sse2;
    static constexpr const FftCodeletSplit* Rows[2] = {FftRowSplitForwardF64_sse2, FftRowSplitInverseF64_sse2};
    static constexpr const FftCodeletSplitScaled* ScaledRows[2] = {
        FftRowSplitForwardScaledF64_sse2, FftRowSplitInverseScaledF64_sse2};

    template <bool Inverse>
    static void Run(const FftSpecSplitC64* spec, const Arrays& a, int order, double* work) {
        const uint32_t count = uint32_t{1} << order;
        if (order > FftSse2ThresholdF64) {
            BitReverse(a, count, FftBitRev(spec), FftBitRevCopyF64_sse2, FftBitRevInPlaceF64_sse2);
            if (Inverse)
                FftRecursiveSplitInvF64_sse2(spec, a.dstRe, a.dstIm, order, work);
            else
                FftRecursiveSplitFwdF64_sse2(spec, a.dstRe, a.dstIm, order, work);
            return;
        }
        const double* twiddles = FftTable(spec, FftSlotTwiddle);
        if (Inverse)
            FftBitRevRadixSplitInvF64_sse2(a.srcRe, a.srcIm, a.dstRe, a.dstIm, count, twiddles, FftBitRev(spec), work);
        else
            FftBitRevRadixSplitFwdF64_sse2(a.srcRe, a.srcIm, a.dstRe, a.dstIm, count, twiddles, FftBitRev(spec), work);
        if (FftScaleFlag<Inverse>(spec)) {
            FftScaleF64_sse2(spec->factor, a.dstRe, count);
            FftScaleF64_sse2(spec->factor, a.dstIm, count);
        }
    }
};

template <class B, bool Inverse>
Status Transform(const Arrays& a, const FftSpecSplitC64* spec, uint8_t* buffer) {
    if (!spec) return StatusNullPointer;
    if (spec->tag != FftTagSplitC64 || spec->build != B::Build) return StatusWrongContext;
    if (!a.srcRe || !a.srcIm || !a.dstRe || !a.dstIm) return StatusNullPointer;
    const int order = spec->order;
    if (order <= 3) {
        if (FftScaleFlag<Inverse>(spec))
            B::ScaledRows[Inverse][order](a.srcRe, a.srcIm, a.dstRe, a.dstIm, spec->factor);
        else
            B::Rows[Inverse][order](a.srcRe, a.srcIm, a.dstRe, a.dstIm);
        return StatusOk;
    }
    FftWorkBuffer work(buffer, spec->bufSize);
    if (work.Failed()) return StatusNoMemory;
    B::template Run<Inverse>(spec, a, order, work.Data());
    return StatusOk;
}

}  // namespace

Status FftForwardSplitC64_x87(const double* srcRe, const double* srcIm, double* dstRe, double* dstIm,
    const FftSpecSplitC64* spec, uint8_t* buffer) {
    return Transform<X87, false>({srcRe, srcIm, dstRe, dstIm}, spec, buffer);
}
Status FftInverseSplitC64_x87(const double* srcRe, const double* srcIm, double* dstRe, double* dstIm,
    const FftSpecSplitC64* spec, uint8_t* buffer) {
    return Transform<X87, true>({srcRe, srcIm, dstRe, dstIm}, spec, buffer);
}
Status FftForwardSplitC64_sse2(const double* srcRe, const double* srcIm, double* dstRe, double* dstIm,
    const FftSpecSplitC64* spec, uint8_t* buffer) {
    return Transform<Sse2, false>({srcRe, srcIm, dstRe, dstIm}, spec, buffer);
}
Status FftInverseSplitC64_sse2(const double* srcRe, const double* srcIm, double* dstRe, double* dstIm,
    const FftSpecSplitC64* spec, uint8_t* buffer) {
    return Transform<Sse2, true>({srcRe, srcIm, dstRe, dstIm}, spec, buffer);
}

}  // namespace Prim
