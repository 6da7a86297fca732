// The x87 build of the real FFT on 32-bit floats: public transforms, packed-layout cores
// and the packed product.
#include <Primitives/Prim/Fft/FftRealF32.h>

#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftKernelsF32.h>
#include <Primitives/Prim/Fft/FftRealSteps.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>
#include <Primitives/Prim/Fft/FftTables.h>

namespace Prim {
namespace {

struct X87 {
    static constexpr FftBuild Build = FftBuild::X87;
    static constexpr const FftCodeletRealF32* ForwardRow = FftRowRealForwardF32_x87;
    static constexpr const FftCodeletRealScaledF32* ForwardScaledRow = FftRowRealForwardScaledF32_x87;
    static constexpr const FftCodeletRealF32* InverseRow = FftRowRealInverseF32_x87;
    static constexpr const FftCodeletRealScaledF32* InverseScaledRow = FftRowRealInverseScaledF32_x87;

    static void Forward(const FftSpecRealF32* spec, const float* src, float* dst, int m, float* work) {
        const uint32_t half = uint32_t{1} << m;
        if (src == dst)
            FftBitRevInPlaceC32(dst, half, FftBitRev(spec));
        else
            FftBitRevCopyC32(src, dst, half, FftBitRev(spec));
        if (m > FftX87ThresholdF32) {
            FftRecursiveFwdF32_x87(spec, dst, m, work);
            return;
        }
        FftRadixFwdF32_x87(dst, half, FftTable(spec, FftSlotTwiddle));
        if (spec->scaleForward) FftScaleF32_x87(spec->factor, dst, 2 * half);
    }

    static void Inverse(const FftSpecRealF32* spec, float* dst, int m, float* work) {
        const uint32_t half = uint32_t{1} << m;
        FftBitRevInPlaceC32(dst, half, FftBitRev(spec));
        if (m > FftX87ThresholdF32) {
            FftRecursiveInvF32_x87(spec, dst, m, work);
            return;
        }
        FftRadixInvF32_x87(dst, half, FftTable(spec, FftSlotTwiddle));
        if (spec->scaleInverse) FftScaleF32_x87(spec->factor, dst, 2 * half);
    }

    static void Post(float* dst, uint32_t half, const float* table) { FftRealPostF32_x87(dst, half, 1, table); }
    static void Pre(const float* src, float* dst, uint32_t half, const float* roots) {
        FftRealPreF32_x87(src, dst, half, roots);
    }
};

using Steps = FftRealSteps<float, X87>;

}  // namespace

Status FftForwardRealF32_x87(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Steps::Forward(src, dst, spec, buffer);
}

Status FftInverseRealF32_x87(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Steps::Inverse(src, dst, spec, buffer, true);
}

Status FftForwardRealF32Core_x87(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Steps::ForwardPacked(src, dst, spec, buffer);
}

Status FftInverseRealF32Core_x87(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Steps::Inverse(src, dst, spec, buffer, false);
}

Status MulPackF32_x87(const float* src, float* srcDst, int32_t len) {
    return FftMulPack(src, srcDst, len, FftX87::MulPairs<float>);
}

}  // namespace Prim
