// The SSE2 build of the real FFT on doubles: public transforms and packed-layout cores.
// Up to 2^13 complex values the permutation and every stage run as one fused pass; above,
// the permutation runs alone and the split step follows.
#include <Primitives/Prim/Fft/FftSpec.h>

#include <Primitives/Prim/Fft/FftCodeletsSse2.h>
#include <Primitives/Prim/Fft/FftComplexF64Sse2.h>
#include <Primitives/Prim/Fft/FftKernelsF64Sse2.h>
#include <Primitives/Prim/Fft/FftRealSteps.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>

namespace Prim {
namespace {

struct Sse2 {
    static constexpr FftBuild Build = FftBuild::Sse2;
    static constexpr const FftCodeletReal* ForwardRow = FftRowRealForwardF64_sse2;
    static constexpr const FftCodeletRealScaled* ForwardScaledRow = FftRowRealForwardScaledF64_sse2;
    static constexpr const FftCodeletReal* InverseRow = FftRowRealInverseF64_sse2;
    static constexpr const FftCodeletRealScaled* InverseScaledRow = FftRowRealInverseScaledF64_sse2;

    static void Forward(const FftSpecRealF64* spec, const double* src, double* dst, int m, double* work) {
        const uint32_t half = uint32_t{1} << m;
        if (m <= FftSse2ThresholdF64) {
            FftBitRevRadixFwdF64_sse2(src, dst, half, FftTable(spec, FftSlotTwiddle), FftBitRev(spec), work);
            if (spec->scaleForward) FftScaleF64_sse2(spec->factor, dst, 2 * half);
            return;
        }
        if (src == dst)
            FftBitRevInPlaceC64_sse2(dst, half, FftBitRev(spec));
        else
            FftBitRevCopyC64_sse2(src, dst, half, FftBitRev(spec));
        FftRecursiveFwdF64_sse2(spec, dst, m, work);
    }
    static void Inverse(const FftSpecRealF64* spec, double* data, int m, double* work) {
        const uint32_t half = uint32_t{1} << m;
        if (m <= FftSse2ThresholdF64) {
            FftBitRevRadixInvF64_sse2(data, data, half, FftTable(spec, FftSlotTwiddle), FftBitRev(spec), work);
            if (spec->scaleInverse) FftScaleF64_sse2(spec->factor, data, 2 * half);
            return;
        }
        FftBitRevInPlaceC64_sse2(data, half, FftBitRev(spec));
        FftRecursiveInvF64_sse2(spec, data, m, work);
    }
    static void Post(double* data, uint32_t half, const double* table) { FftRealPostF64_sse2(data, half, +1, table); }
    static void Pre(const double* src, double* dst, uint32_t half, const double* roots) {
        FftRealPreF64_sse2(src, dst, half, -1, roots);
    }
};

using Steps = FftRealSteps<double, Sse2>;

// The pairs of a packed spectrum, one complex value per register: (a, b) (c, d) gives
// (a c - b d, b c + a d).
void MulPairs(const double* src, double* srcDst, int32_t count) {
    for (int32_t k = 0; k < count; ++k) {
        const __m128d ab = _mm_loadu_pd(src + 2 * k);
        const FftPair::Root cd = FftPair::MakeRoot<false>(srcDst[2 * k], srcDst[2 * k + 1]);
        _mm_storeu_pd(srcDst + 2 * k, FftPair::Mul(ab, cd));
    }
}

}  // namespace

Status FftForwardRealF64_sse2(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return Steps::Forward(src, dst, spec, buffer);
}

Status FftInverseRealF64_sse2(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return Steps::Inverse(src, dst, spec, buffer, true);
}

Status FftForwardRealF64Core_sse2(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return Steps::ForwardPacked(src, dst, spec, buffer);
}

Status FftInverseRealF64Core_sse2(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return Steps::Inverse(src, dst, spec, buffer, false);
}

Status MulPackF64_sse2(const double* src, double* srcDst, int32_t len) {
    return FftMulPack(src, srcDst, len, MulPairs);
}

}  // namespace Prim
