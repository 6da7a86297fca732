// The x87 build of the real FFT on doubles: public transforms and packed-layout cores.
#include <Primitives/Prim/Fft/FftSpec.h>

#include <Primitives/Prim/Fft/FftCodelets.h>
#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftKernelsF64X87.h>
#include <Primitives/Prim/Fft/FftRealSteps.h>

namespace Prim {
namespace {

struct X87 {
    static constexpr FftBuild Build = FftBuild::X87;
    static constexpr const FftCodeletReal* ForwardRow = FftRowRealForwardF64_x87;
    static constexpr const FftCodeletRealScaled* ForwardScaledRow = FftRowRealForwardScaledF64_x87;
    static constexpr const FftCodeletReal* InverseRow = FftRowRealInverseF64_x87;
    static constexpr const FftCodeletRealScaled* InverseScaledRow = FftRowRealInverseScaledF64_x87;

    // The half-length transform does the real post-processing itself.
    static constexpr bool PostInForward = true;
    static void Forward(const FftSpecRealF64* spec, const double* src, double* dst, int m, double* work) {
        FftForwardHalfF64_x87(spec, src, dst, m, work);
    }
    static void Inverse(const FftSpecRealF64* spec, double* data, int m, double* work) {
        FftInverseHalfF64_x87(spec, data, m, work);
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
