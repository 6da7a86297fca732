#pragma once
// The steps of the real FFT on 32-bit floats that both builds share: the checks, the
// codelets of orders 0 to 3, the work buffer, the split of the first value and the two
// spectrum layouts. A build supplies its codelet rows, its complex half-length transform
// and its real split (members of `Build` below).

#include <Primitives/Prim/Fft/FftCodelets.h>
#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Prim/Fft/FftWorkBuffer.h>

#include <cstring>

namespace Prim::FftRealF32 {

inline const float* Table(const FftSpecRealF32* spec, int slot) {
    return static_cast<const float*>(spec->tables[slot]);
}

inline const int32_t* BitRev(const FftSpecRealF32* spec) {
    return static_cast<const int32_t*>(spec->tables[FftSlotBitRev]);
}

template <class Build>
struct Driver {
    static Status Check(const float* src, const float* dst, const FftSpecRealF32* spec) {
        if (!spec) return StatusNullPointer;
        if (spec->tag != FftTagRealF32 || spec->build != Build::Kind) return StatusWrongContext;
        if (!src || !dst) return StatusNullPointer;
        return StatusOk;
    }

    // halfSpectrum: N + 2 floats out (public layout), else the packed N floats.
    static Status Forward(
        const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer, bool halfSpectrum) {
        if (Status status = Check(src, dst, spec); status != StatusOk) return status;
        const int order = spec->order;
        const uint64_t n = uint64_t{1} << order;
        if (order <= 3) {
            if (spec->scaleForward)
                Build::ForwardScaled[order](src, dst, spec->factor);
            else
                Build::Forward[order](src, dst);
        } else {
            FftWorkBuffer work(buffer, spec->bufSize);
            if (work.Failed()) return StatusNoMemory;
            const int m = order - 1;
            Build::HalfForward(src, dst, spec, m, reinterpret_cast<float*>(work.Data()));
            const float d0 = dst[0], d1 = dst[1];
            dst[0] = d0 + d1;
            dst[1] = d0 - d1;
            Build::Post(dst, uint32_t{1} << m, Table(spec, FftSlotRealPost));
        }
        if (halfSpectrum) {
            if (n > 1) {
                dst[n] = dst[1];
                dst[n + 1] = 0.0f;
            }
            dst[1] = 0.0f;
        }
        return StatusOk;
    }

    // halfSpectrum: the Nyquist value is float N of src, else float 1.
    static Status Inverse(
        const float* src, float* dst, const FftSpecRealF32* spec, uint8_t* buffer, bool halfSpectrum) {
        if (Status status = Check(src, dst, spec); status != StatusOk) return status;
        const int order = spec->order;
        const uint64_t n = uint64_t{1} << order;
        if (order <= 3) {
            const float* packed = src;
            if (halfSpectrum) {
                // Float 1 is never read: for N = 1 it is not the Nyquist value but Im X0.
                const float nyquist = n > 1 ? src[n] : 0.0f;
                dst[0] = src[0];
                if (n > 2) std::memmove(dst + 2, src + 2, (n - 2) * sizeof(float));
                if (n > 1) dst[1] = nyquist;
                packed = dst;
            }
            if (spec->scaleInverse)
                Build::InverseScaled[order](packed, dst, spec->factor);
            else
                Build::Inverse[order](packed, dst);
            return StatusOk;
        }
        FftWorkBuffer work(buffer, spec->bufSize);
        if (work.Failed()) return StatusNoMemory;
        const int m = order - 1;
        const float x0 = src[0];
        const float nyquist = halfSpectrum ? src[n] : src[1];
        dst[0] = x0 + nyquist;
        dst[1] = x0 - nyquist;
        Build::Pre(src, dst, uint32_t{1} << m, Table(spec, FftSlotRealRoots));
        Build::HalfInverse(dst, spec, m, reinterpret_cast<float*>(work.Data()));
        return StatusOk;
    }
};

}  // namespace Prim::FftRealF32
