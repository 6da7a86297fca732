#pragma once
// The steps of the real FFT that every build of both precisions takes alike: argument
// checks, the codelets of orders 0 to 3, the work buffer, the split of the first value and
// the two output layouts. A build brings its kernels as a policy K:
//   static constexpr FftBuild Build;
//   static const FftCodeletReal* ForwardRow / InverseRow, FftCodeletRealScaled* ...ScaledRow
//                                                 (the rows of its element type)
//   static void Forward(spec, src, dst, m, work)  half-length complex transform, src in natural
//                                                 order (src may be dst), scaled as the record says
//   static void Inverse(spec, data, m, work)      the inverse twin, in place
//   static void Post(data, half, table)           real post-processing (from k = 1)
//   static constexpr bool PostInForward           optional: true when Forward does the real
//                                                 post-processing itself (Post is not called)
//   static void Pre(src, dst, half, roots)        real pre-processing (from k = 1)

#include <Primitives/Prim/Fft/FftCodelets.h>
#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Prim/Fft/FftSpecAccess.h>
#include <Primitives/Prim/Fft/FftWorkBuffer.h>

#include <type_traits>

namespace Prim {

template <class K>
inline constexpr bool FftPostInForward = requires {
    requires K::PostInForward;
};

template <typename T, class K>
struct FftRealSteps {
    using Spec = FftSpecReal<T>;
    static constexpr int32_t Tag = std::is_same_v<T, double> ? FftTagRealF64 : FftTagRealF32;

    static Status Check(const T* src, const T* dst, const Spec* spec) {
        if (!spec) return StatusNullPointer;
        if (spec->tag != Tag || spec->build != K::Build) return StatusWrongContext;
        if (!src || !dst) return StatusNullPointer;
        return StatusOk;
    }

    // Forward transform into the packed layout (N values in dst).
    static Status ForwardPacked(const T* src, T* dst, const Spec* spec, uint8_t* buffer) {
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
        K::Forward(spec, src, dst, m, reinterpret_cast<T*>(work.Data()));
        const T d0 = dst[0], d1 = dst[1];
        dst[0] = d0 + d1;
        dst[1] = d0 - d1;
        if constexpr (!FftPostInForward<K>) K::Post(dst, half, FftTable(spec, FftSlotRealPost));
        return StatusOk;
    }

    // Forward transform into the half-spectrum layout (N + 2 values in dst).
    static Status Forward(const T* src, T* dst, const Spec* spec, uint8_t* buffer) {
        Status status = ForwardPacked(src, dst, spec, buffer);
        if (status != StatusOk) return status;
        const uint32_t n = uint32_t{1} << spec->order;
        if (n > 1) {
            dst[n] = dst[1];
            dst[n + 1] = T(0);
        }
        dst[1] = T(0);
        return StatusOk;
    }

    // Inverse transform from the half-spectrum layout (Nyquist value at src[N]) or from the
    // packed layout (at src[1]). Value 1 of the half spectrum is never read: for N = 1 it
    // is not the Nyquist value but Im X0.
    static Status Inverse(const T* src, T* dst, const Spec* spec, uint8_t* buffer, bool halfSpectrum) {
        if (Status status = Check(src, dst, spec); status != StatusOk) return status;
        const int order = spec->order;
        const uint32_t n = uint32_t{1} << order;
        if (order <= 3) {
            const T* packed = src;
            if (halfSpectrum) {
                const T nyquist = n > 1 ? src[n] : T(0);
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
        const T x0 = src[0];
        const T nyquist = halfSpectrum ? src[n] : src[1];
        K::Pre(src, dst, half, FftTable(spec, FftSlotRealRoots));
        dst[0] = x0 + nyquist;
        dst[1] = x0 - nyquist;
        K::Inverse(spec, dst, m, reinterpret_cast<T*>(work.Data()));
        return StatusOk;
    }
};

// The checks and the real values of a product of packed spectra: value 0, and value 1 (the
// Nyquist value) when len is even; `pairs` multiplies the complex pairs that follow, when
// there are any. -8 for a null pointer comes before -6 for len below 1.
template <typename T, class Pairs>
Status FftMulPack(const T* src, T* srcDst, int32_t len, Pairs pairs) {
    if (!src || !srcDst) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    srcDst[0] *= src[0];
    int32_t first = 1;
    if (len % 2 == 0) {
        srcDst[1] *= src[1];
        first = 2;
    }
    if (len - first >= 2) pairs(src + first, srcDst + first, (len - first) / 2);
    return StatusOk;
}

}  // namespace Prim
