// The SSE2 build of the real FFT on 32-bit floats: public transforms, packed-layout cores,
// the packed product and its complex multiply.
#include <Primitives/Prim/Fft/FftRealF32.h>

#include <Primitives/Prim/Fft/FftComplexF32Sse2.h>
#include <Primitives/Prim/Fft/FftKernelsF32.h>
#include <Primitives/Prim/Fft/FftRealSteps.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>

namespace Prim {
namespace {

// Up to this complex order the bit reversal runs inside the first stage.
constexpr int FusedThreshold = 14;

struct Sse2 {
    static constexpr FftBuild Build = FftBuild::Sse2;
    static constexpr const FftCodeletRealF32* ForwardRow = FftRowRealForwardF32_sse2;
    static constexpr const FftCodeletRealScaledF32* ForwardScaledRow = FftRowRealForwardScaledF32_sse2;
    static constexpr const FftCodeletRealF32* InverseRow = FftRowRealInverseF32_sse2;
    static constexpr const FftCodeletRealScaledF32* InverseScaledRow = FftRowRealInverseScaledF32_sse2;

    static void Forward(const FftSpecRealF32* spec, const float* src, float* dst, int m, float* work) {
        const uint32_t half = uint32_t{1} << m;
        const float* twiddles = FftTable(spec, FftSlotTwiddle);
        if (m <= FusedThreshold) {
            FftBitRevRadixFwdF32_sse2(src, dst, half, twiddles, FftBitRev(spec), work);
        } else {
            if (src == dst)
                FftBitRevInPlaceC32_sse2(dst, half, FftBitRev(spec));
            else
                FftBitRevCopyC32_sse2(src, dst, half, FftBitRev(spec));
            if (m > FftSse2ThresholdF32) {
                FftRecursiveFwdF32_sse2(spec, dst, m, work);
                return;
            }
            FftRadixFwdF32_sse2(dst, half, twiddles, work, 1);
        }
        if (spec->scaleForward) FftScaleF32_sse2(spec->factor, dst, 2 * half);
    }

    static void Inverse(const FftSpecRealF32* spec, float* dst, int m, float* work) {
        const uint32_t half = uint32_t{1} << m;
        const float* twiddles = FftTable(spec, FftSlotTwiddle);
        if (m <= FusedThreshold) {
            FftBitRevRadixInvF32_sse2(dst, dst, half, twiddles, FftBitRev(spec), work);
        } else {
            FftBitRevInPlaceC32_sse2(dst, half, FftBitRev(spec));
            if (m > FftSse2ThresholdF32) {
                FftRecursiveInvF32_sse2(spec, dst, m, work);
                return;
            }
            FftRadixInvF32_sse2(dst, half, twiddles, work, 1);
        }
        if (spec->scaleInverse) FftScaleF32_sse2(spec->factor, dst, 2 * half);
    }

    static void Post(float* dst, uint32_t half, const float* table) { FftRealPostF32_sse2(dst, half, 1, table); }
    static void Pre(const float* src, float* dst, uint32_t half, const float* roots) {
        FftRealPreF32_sse2(src, dst, half, roots);
    }
};

using Steps = FftRealSteps<float, Sse2>;

}  // namespace

Status FftForwardRealF32_sse2(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Steps::Forward(src, dst, spec, buffer);
}

Status FftInverseRealF32_sse2(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Steps::Inverse(src, dst, spec, buffer, true);
}

Status FftForwardRealF32Core_sse2(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Steps::ForwardPacked(src, dst, spec, buffer);
}

Status FftInverseRealF32Core_sse2(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Steps::Inverse(src, dst, spec, buffer, false);
}

Status MulPackF32_sse2(const float* src, float* srcDst, int32_t len) {
    return FftMulPack(src, srcDst, len, MulComplexF32_sse2);
}

// Four products per step; the loads take any alignment, the stores are 16 bytes wide
// where srcDst allows. The last n mod 4 values go one by one with the same formula.
void MulComplexF32_sse2(const float* src, float* srcDst, int32_t n) {
    using namespace FftQuad;
    const bool aligned = Aligned16(srcDst);
    int64_t k = 0;
    for (; k + 4 <= n; k += 4) {
        const Quad a = Quad::LoadInterleaved(src + 2 * k), b = Quad::LoadInterleaved(srcDst + 2 * k);
        StoreInterleaved(srcDst + 2 * k, Mul<false>(a, b.re, b.im), aligned);
    }
    for (; k < n; ++k) {
        const float ar = src[2 * k], ai = src[2 * k + 1], br = srcDst[2 * k], bi = srcDst[2 * k + 1];
        srcDst[2 * k] = ar * br - ai * bi;
        srcDst[2 * k + 1] = ar * bi + ai * br;
    }
}

}  // namespace Prim
