// The x87 build of the real FFT on doubles: public transforms and packed-layout cores.
#include <Primitives/Prim/Fft/FftSpec.h>

#include <Primitives/Prim/Fft/FftCodelets.h>
#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftKernelsX87.h>
#include <Primitives/Prim/Fft/FftRealSteps.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>
#include <Primitives/Prim/Fft/FftTables.h>

namespace Prim {
namespace {

// Complex transform of the M values in dst (already in bit-reversed order).
template <bool Inverse>
void HalfLengthTransform(const FftSpecRealF64* spec, double* dst, int m, double* buffer) {
    const uint32_t half = uint32_t{1} << m;
    const bool scale = (Inverse ? spec->scaleInverse : spec->scaleForward) != 0;
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

    static void Forward(const FftSpecRealF64* spec, const double* src, double* dst, int m, double* work) {
        const uint32_t half = uint32_t{1} << m;
        if (src == dst)
            FftBitRevInPlaceC64(dst, half, FftBitRev(spec));
        else
            FftBitRevCopyC64(src, dst, half, FftBitRev(spec));
        HalfLengthTransform<false>(spec, dst, m, work);
    }
    static void Inverse(const FftSpecRealF64* spec, double* data, int m, double* work) {
        FftBitRevInPlaceC64(data, uint32_t{1} << m, FftBitRev(spec));
        HalfLengthTransform<true>(spec, data, m, work);
    }
    static void Post(double* data, uint32_t half, const double* table) { FftRealPostF64_x87(data, half, +1, table); }
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
