#pragma once
// The steps of the real FFT on doubles that both builds take alike: argument checks, the
// codelets of orders 0 to 3, the work buffer, the real split and the two output layouts.
// A build brings its kernels as a policy K:
//   static constexpr FftBuild Build;
//   static const FftCodeletReal* ForwardRow / InverseRow, FftCodeletRealScaled* ...ScaledRow;
//   static void Forward(spec, src, dst, m, work)  half-length complex transform, src in natural
//                                                 order (src may be dst), scaled as the record says
//   static void Inverse(spec, data, m, work)      the inverse twin, in place
//   static void Post(data, half, table)           real post-processing (from k = 1)
//   static void Pre(src, dst, half, roots)        real pre-processing (from k = 1)

#include <Primitives/Prim/Fft/FftCodelets.h>
#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Prim/Fft/FftWorkBuffer.h>

namespace Prim {

inline const double* FftTableF64(const FftSpecRealF64* spec, int slot) {
    return static_cast<const double*>(spec->tables[slot]);
}

inline const int32_t* FftBitRevF64(const FftSpecRealF64* spec) {
    return static_cast<const int32_t*>(spec->tables[FftSlotBitRev]);
}

template <class K>
struct FftRealF64Steps {
    static Status Check(const double* src, const double* dst, const FftSpecRealF64* spec) {
        if (!spec) return StatusNullPointer;
        if (spec->tag != FftTagRealF64 || spec->build != K::Build) return StatusWrongContext;
        if (!src || !dst) return StatusNullPointer;
        return StatusOk;
    }

    // Forward transform into the packed layout (N doubles in dst).
    static Status ForwardPacked(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
        if (Status status = Check(src, dst, spec); status != StatusOk) return status;
        const int order = spec->order;
        if (order <= 3) {
            if (spec->scaleForward)
                K::ForwardScaledRow[order](src, dst, spec->factor);
            else
                K::ForwardRow[order](src, dst);
            return StatusOk;
        }
        FftWorkBuffer work(buffer, spec->bufSize);
        if (work.Failed()) return StatusNoMemory;
        const int m = order - 1;
        const uint32_t half = uint32_t{1} << m;
        K::Forward(spec, src, dst, m, work.Data());
        const double d0 = dst[0], d1 = dst[1];
        dst[0] = d0 + d1;
        dst[1] = d0 - d1;
        K::Post(dst, half, FftTableF64(spec, FftSlotRealPost));
        return StatusOk;
    }

    // Forward transform into the half-spectrum layout (N + 2 doubles in dst).
    static Status Forward(const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer) {
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

    // Inverse transform from the half-spectrum layout (Nyquist value at src[N]) or from the
    // packed layout (at src[1]).
    static Status Inverse(
        const double* src, double* dst, const FftSpecRealF64* spec, uint8_t* buffer, bool halfSpectrum) {
        if (Status status = Check(src, dst, spec); status != StatusOk) return status;
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
                K::InverseScaledRow[order](packed, dst, spec->factor);
            else
                K::InverseRow[order](packed, dst);
            return StatusOk;
        }
        FftWorkBuffer work(buffer, spec->bufSize);
        if (work.Failed()) return StatusNoMemory;
        const int m = order - 1;
        const uint32_t half = uint32_t{1} << m;
        const double x0 = src[0];
        const double nyquist = halfSpectrum ? src[n] : src[1];
        K::Pre(src, dst, half, FftTableF64(spec, FftSlotRealRoots));
        dst[0] = x0 + nyquist;
        dst[1] = x0 - nyquist;
        K::Inverse(spec, dst, m, work.Data());
        return StatusOk;
    }
};

}  // namespace Prim
