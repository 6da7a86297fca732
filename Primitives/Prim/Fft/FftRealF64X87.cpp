// The x87 build of the real FFT on doubles: public transforms and packed-layout cores.
#include <Primitives/Prim/Fft/FftSpec.h>

#include <Primitives/Prim/Fft/FftCodelets.h>
#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftKernelsF64X87.h>
#include <Primitives/Prim/Fft/FftPassesX87.h>
#include <Primitives/Prim/Fft/FftRealSteps.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>
#include <Primitives/Prim/Fft/FftTables.h>

namespace Prim {
namespace {

// Complex transform of the M values in dst (already in bit-reversed order).
template <bool Inverse>
void HalfLengthTransform(const FftSpecRealF64* spec, double* dst, int m, double* buffer) {
    const uint32_t half = uint32_t{1} << m;
    const bool scale = FftScaleFlag<Inverse>(spec);
    if (m <= FftX87ThresholdF64) {
        if (Inverse)
            FftRadixInvF64_x87(dst, half, FftTable(spec, FftSlotTwiddle));
        else
            FftRadixFwdF64_x87(dst, half, FftTable(spec, FftSlotTwiddle));
        if (scale) FftScaleF64_x87(spec->factor, dst, 2 * half);
    } else if (Inverse) {
        FftRecursiveInvF64_x87(spec, dst, m, buffer);
    } else {
        FftRecursiveFwdF64_x87(spec, dst, m, buffer);
    }
}

struct X87 {
    static constexpr FftBuild Build = FftBuild::X87;
    static constexpr const FftCodeletReal* ForwardRow = FftRowRealForwardF64_x87;
    static constexpr const FftCodeletRealScaled* ForwardScaledRow = FftRowRealForwardScaledF64_x87;
    static constexpr const FftCodeletReal* InverseRow = FftRowRealInverseF64_x87;
    static constexpr const FftCodeletRealScaled* InverseScaledRow = FftRowRealInverseScaledF64_x87;

    // The half-length transform and the real post-processing. Out of place the passes read src
    // through the bit reversal themselves. The single pass of 16 values or more does the
    // post-processing in its last stage unless the values are to be scaled in between (the
    // blocked path scales its leaves, so its combine of four leaves can do it too).
    static constexpr bool PostInForward = true;
    static void Forward(const FftSpecRealF64* spec, const double* src, double* dst, int m, double* work) {
        const uint32_t half = uint32_t{1} << m;
        const double* twiddles = FftTable(spec, FftSlotTwiddle);
        const double* post = FftTable(spec, FftSlotRealPost);
        const bool scale = spec->scaleForward != 0;
        if (m <= FftX87ThresholdF64 && half >= 16) {
            const double* fusedPost = scale ? nullptr : post;
            if (src != dst) {
                FftX87::RadixSinglePass<false>(FftX87::GatherSource{src, 2}, dst, half, twiddles, fusedPost);
            } else {
                FftBitRevInPlaceC64(dst, half, FftBitRev(spec));
                FftX87::RadixSinglePass<false>(FftX87::PlanesSource{dst, dst + half}, dst, half, twiddles, fusedPost);
            }
            if (!scale) return;
            FftScaleF64_x87(spec->factor, dst, 2 * half);
        } else if (m > FftX87ThresholdF64 && src != dst) {
            if (FftBitRevRecursiveFwdF64_x87(spec, src, dst, m, work, post)) return;
        } else {
            if (src == dst)
                FftBitRevInPlaceC64(dst, half, FftBitRev(spec));
            else
                FftBitRevCopyC64(src, dst, half, FftBitRev(spec));
            HalfLengthTransform<false>(spec, dst, m, work);
        }
        FftRealPostF64_x87(dst, half, +1, post);
    }
    static void Inverse(const FftSpecRealF64* spec, double* data, int m, double* work) {
        FftBitRevInPlaceC64(data, uint32_t{1} << m, FftBitRev(spec));
        HalfLengthTransform<true>(spec, data, m, work);
    }
    static void Pre(const double* src, double* dst, uint32_t half, const double* roots) {
        FftRealPreF64_x87(src, dst, half, -1, roots);
    }
};

using Steps = FftRealSteps<double, X87>;

}  // namespace

Status FftForwardRealF64_x87(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return Steps::Forward(src, dst, spec, buffer);
}

Status FftInverseRealF64_x87(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return Steps::Inverse(src, dst, spec, buffer, true);
}

Status FftForwardRealF64Core_x87(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return Steps::ForwardPacked(src, dst, spec, buffer);
}

Status FftInverseRealF64Core_x87(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return Steps::Inverse(src, dst, spec, buffer, false);
}

Status MulPackF64_x87(const double* src, double* srcDst, int32_t len) {
    return FftMulPack(src, srcDst, len, FftX87::MulPairs<double>);
}

}  // namespace Prim
