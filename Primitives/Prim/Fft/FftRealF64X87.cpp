// The x87 build of the real FFT on doubles: public transforms and packed-layout cores.
#include <Primitives/Prim/Fft/FftSpec.h>

#include <Primitives/Prim/Fft/FftCodelets.h>
#include <Primitives/Prim/Fft/FftKernelsX87.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>
#include <Primitives/Prim/Fft/FftTables.h>
#include <Primitives/Prim/Fft/FftWorkBuffer.h>

namespace Prim {
namespace {

const double* Table(const FftSpecRealF64* spec, int slot) { return static_cast<const double*>(spec->tables[slot]); }

const int32_t* BitRev(const FftSpecRealF64* spec) { return static_cast<const int32_t*>(spec->tables[FftSlotBitRev]); }

Status CheckArguments(const double* src, const double* dst, const FftSpecRealF64* spec) {
    if (!spec) return StatusNullPointer;
    if (spec->tag != FftTagRealF64 || spec->build != FftBuild::X87) return StatusWrongContext;
    if (!src || !dst) return StatusNullPointer;
    return StatusOk;
}

// Complex transform of the M values in dst (already in bit-reversed order).
template <bool Inverse>
void HalfLengthTransform(const FftSpecRealF64* spec, double* dst, int m, double* buffer) {
    const uint32_t half = uint32_t{1} << m;
    const bool scale = (Inverse ? spec->scaleInverse : spec->scaleForward) != 0;
    if (m <= FftX87ThresholdF64) {
        if (Inverse)
            FftRadixInvF64_x87(dst, half, Table(spec, FftSlotTwiddle));
        else
            FftRadixFwdF64_x87(dst, half, Table(spec, FftSlotTwiddle));
        if (scale) FftScaleF64_x87(spec->factor, dst, 2 * half);
    } else if (Inverse) {
        FftRecursiveInvF64_x87(spec, dst, m, buffer);
    } else {
        FftRecursiveFwdF64_x87(spec, dst, m, buffer);
    }
}

// Forward transform into the packed layout (N doubles in dst).
Status ForwardPacked(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    if (Status status = CheckArguments(src, dst, spec); status != StatusOk) return status;
    const int order = spec->order;
    if (order <= 3) {
        if (spec->scaleForward)
            FftRowRealForwardScaledF64_x87[order](src, dst, spec->factor);
        else
            FftRowRealForwardF64_x87[order](src, dst);
        return StatusOk;
    }
    FftWorkBuffer work(buffer, spec->bufSize);
    if (work.Failed()) return StatusNoMemory;
    const int m = order - 1;
    const uint32_t half = uint32_t{1} << m;
    if (src == dst)
        FftBitRevInPlaceC64(dst, half, BitRev(spec));
    else
        FftBitRevCopyC64(src, dst, half, BitRev(spec));
    HalfLengthTransform<false>(spec, dst, m, work.Data());
    const double d0 = dst[0], d1 = dst[1];
    dst[0] = d0 + d1;
    dst[1] = d0 - d1;
    FftRealPostF64_x87(dst, half, +1, Table(spec, FftSlotRealPost));
    return StatusOk;
}

// Inverse transform from the packed layout; the Nyquist value is read from src[nyquist].
Status InversePacked(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer, bool halfSpectrum) {
    if (Status status = CheckArguments(src, dst, spec); status != StatusOk) return status;
    const int order = spec->order;
    const uint32_t n = uint32_t{1} << order;
    if (order <= 3) {
        const double* packed = src;
        if (halfSpectrum) {
            const double nyquist = n > 1 ? src[n] : 0.0;
            dst[0] = src[0];
            for (uint32_t k = 2; k < n; ++k) dst[k] = src[k];
            if (n > 1) dst[1] = nyquist;
            packed = dst;
        }
        if (spec->scaleInverse)
            FftRowRealInverseScaledF64_x87[order](packed, dst, spec->factor);
        else
            FftRowRealInverseF64_x87[order](packed, dst);
        return StatusOk;
    }
    FftWorkBuffer work(buffer, spec->bufSize);
    if (work.Failed()) return StatusNoMemory;
    const int m = order - 1;
    const uint32_t half = uint32_t{1} << m;
    const double x0 = src[0];
    const double nyquist = halfSpectrum ? src[n] : src[1];
    FftRealPreF64_x87(src, dst, half, -1, Table(spec, FftSlotRealRoots));
    dst[0] = x0 + nyquist;
    dst[1] = x0 - nyquist;
    FftBitRevInPlaceC64(dst, half, BitRev(spec));
    HalfLengthTransform<true>(spec, dst, m, work.Data());
    return StatusOk;
}

}  // namespace

Status FftForwardRealF64_x87(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    Status status = ForwardPacked(src, dst, spec, buffer);
    if (status != StatusOk) return status;
    const uint32_t n = uint32_t{1} << spec->order;
    if (n > 1) {
        dst[n] = dst[1];
        dst[n + 1] = 0.0;
    }
    dst[1] = 0.0;
    return StatusOk;
}

Status FftInverseRealF64_x87(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return InversePacked(src, dst, spec, buffer, true);
}

Status FftForwardRealF64Core_x87(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return ForwardPacked(src, dst, spec, buffer);
}

Status FftInverseRealF64Core_x87(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
    return InversePacked(src, dst, spec, buffer, false);
}

Status MulPackF64_x87(const double* src, double* srcDst, int32_t len) {
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
        srcDst[i] = a * c - b * d;
        srcDst[i + 1] = b * c + a * d;
    }
    return StatusOk;
}

}  // namespace Prim
