// The x87 build of the real FFT on 32-bit floats: public transforms, packed-layout cores
// and the packed product.
#include <Primitives/Prim/Fft/FftRealF32.h>

#include <Primitives/Prim/Fft/FftKernelsF32.h>
#include <Primitives/Prim/Fft/FftRealF32Driver.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>
#include <Primitives/Prim/Fft/FftTables.h>

namespace Prim {
namespace {

using FftRealF32::BitRev;
using FftRealF32::Table;

struct X87 {
    static constexpr FftBuild Kind = FftBuild::X87;
    static constexpr const FftCodeletRealF32* Forward = FftRowRealForwardF32_x87;
    static constexpr const FftCodeletRealScaledF32* ForwardScaled = FftRowRealForwardScaledF32_x87;
    static constexpr const FftCodeletRealF32* Inverse = FftRowRealInverseF32_x87;
    static constexpr const FftCodeletRealScaledF32* InverseScaled = FftRowRealInverseScaledF32_x87;

    static void HalfForward(const float* src, float* dst, const FftSpecRealF32* spec, int m, float* work) {
        const uint32_t count = uint32_t{1} << m;
        if (src == dst)
            FftBitRevInPlaceC32(dst, count, BitRev(spec));
        else
            FftBitRevCopyC32(src, dst, count, BitRev(spec));
        if (m > FftX87ThresholdF32) {
            FftRecursiveFwdF32_x87(spec, dst, m, work);
            return;
        }
        FftRadixFwdF32_x87(dst, count, Table(spec, FftSlotTwiddle));
        if (spec->scaleForward) FftScaleF32_x87(spec->factor, dst, 2 * count);
    }

    static void HalfInverse(float* dst, const FftSpecRealF32* spec, int m, float* work) {
        const uint32_t count = uint32_t{1} << m;
        FftBitRevInPlaceC32(dst, count, BitRev(spec));
        if (m > FftX87ThresholdF32) {
            FftRecursiveInvF32_x87(spec, dst, m, work);
            return;
        }
        FftRadixInvF32_x87(dst, count, Table(spec, FftSlotTwiddle));
        if (spec->scaleInverse) FftScaleF32_x87(spec->factor, dst, 2 * count);
    }

    static void Post(float* dst, uint32_t count, const float* table) { FftRealPostF32_x87(dst, count, 1, table); }
    static void Pre(const float* src, float* dst, uint32_t count, const float* roots) {
        FftRealPreF32_x87(src, dst, count, roots);
    }
};

using Driver = FftRealF32::Driver<X87>;

}  // namespace

Status FftForwardRealF32_x87(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Driver::Forward(src, dst, spec, buffer, true);
}

Status FftInverseRealF32_x87(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Driver::Inverse(src, dst, spec, buffer, true);
}

Status FftForwardRealF32Core_x87(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Driver::Forward(src, dst, spec, buffer, false);
}

Status FftInverseRealF32Core_x87(const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer) {
    return Driver::Inverse(src, dst, spec, buffer, false);
}

Status MulPackF32_x87(const float* src, float* srcDst, int32_t len) {
    if (!src || !srcDst) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    srcDst[0] *= src[0];
    int32_t first = 1;
    if (len % 2 == 0) {
        srcDst[1] *= src[1];
        first = 2;
    }
    for (int32_t i = first; i + 1 < len; i += 2) {
        const double a = src[i], b = src[i + 1];
        const double c = srcDst[i], d = srcDst[i + 1];
        srcDst[i] = static_cast<float>(a * c - b * d);
        srcDst[i + 1] = static_cast<float>(b * c + a * d);
    }
    return StatusOk;
}

}  // namespace Prim
