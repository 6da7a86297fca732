// SSE2 builds of the sampling operations: the same outputs as the portable builds, with
// factor 2 in dedicated interleave and gather kernels and whole vector groups elsewhere.
#include <Primitives/Prim/BuildServices.h>
#include <Primitives/Prim/Filter/Sample.h>
#include <Primitives/Prim/Filter/SampleRules.h>
#include <Primitives/Prim/SimdLanes.h>

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>

namespace Prim {
namespace {

using SimdLanes::Aligned16;

// Up-sampling of floats by 2: each sample beside a zero, on the side the phase names.
void UpByTwoF32(const float* src, std::size_t n, float* dst, bool second) {
    const __m128 zero = _mm_setzero_ps();
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4) {
        const __m128 x = _mm_loadu_ps(src + k);
        _mm_storeu_ps(dst + 2 * k, second ? _mm_unpacklo_ps(zero, x) : _mm_unpacklo_ps(x, zero));
        _mm_storeu_ps(dst + 2 * k + 4, second ? _mm_unpackhi_ps(zero, x) : _mm_unpackhi_ps(x, zero));
    }
    for (; k < n; ++k) {
        dst[2 * k] = second ? 0.0f : src[k];
        dst[2 * k + 1] = second ? src[k] : 0.0f;
    }
}

void UpByTwoF64(const double* src, std::size_t n, double* dst, bool second) {
    const __m128d zero = _mm_setzero_pd();
    for (std::size_t k = 0; k < n; ++k) {
        const __m128d x = _mm_load_sd(src + k);
        _mm_storeu_pd(dst + 2 * k, second ? _mm_unpacklo_pd(zero, x) : _mm_unpacklo_pd(x, zero));
    }
}

// Other factors for floats: the whole output zeroed, then the samples scattered, in blocks of
// 4096 inputs so that a long call works on a bounded stretch of the output at a time.
void UpScatterF32(const float* src, std::size_t n, float* dst, std::size_t f, std::size_t p) {
    const std::size_t block = n >= 4097 ? 4096 : n;
    for (std::size_t start = 0; start < n; start += block) {
        const std::size_t m = std::min(block, n - start);
        float* out = dst + start * f;
        ZeroF32_sse2(out, static_cast<std::int32_t>(m * f));
        for (std::size_t k = 0; k < m; ++k) out[k * f + p] = src[start + k];
    }
}

void UpGroupsF64(const double* src, std::size_t n, double* dst, std::size_t f, std::size_t p) {
    for (std::size_t k = 0; k < n; ++k) {
        double* group = dst + k * f;
        ZeroF64_sse2(group, static_cast<std::int32_t>(f));
        group[p] = src[k];
    }
}

// Down-sampling by 2: even lanes of pairs of vectors, as long as a whole pair lies inside src.
std::size_t DownByTwoF32(const float* from, std::size_t available, std::size_t kept, float* dst) {
    std::size_t k = 0;
    for (; k + 4 <= kept && 2 * k + 8 <= available; k += 4) {
        const __m128 a = _mm_loadu_ps(from + 2 * k);
        const __m128 b = _mm_loadu_ps(from + 2 * k + 4);
        _mm_storeu_ps(dst + k, _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    }
    return k;
}

std::size_t DownByTwoF64(const double* from, std::size_t available, std::size_t kept, double* dst) {
    std::size_t k = 0;
    for (; k + 2 <= kept && 2 * k + 4 <= available; k += 2) {
        const __m128d a = _mm_loadu_pd(from + 2 * k);
        const __m128d b = _mm_loadu_pd(from + 2 * k + 2);
        _mm_storeu_pd(dst + k, _mm_unpacklo_pd(a, b));
    }
    return k;
}

// Other factors: single samples until dst is 16-byte aligned, then whole vector groups.
std::size_t DownGatherF32(const float* from, std::size_t f, std::size_t kept, float* dst) {
    std::size_t k = 0;
    for (; k < kept && !Aligned16(dst + k); ++k) dst[k] = from[k * f];
    for (; k + 4 <= kept; k += 4) {
        const float* s = from + k * f;
        _mm_store_ps(dst + k, _mm_setr_ps(s[0], s[f], s[2 * f], s[3 * f]));
    }
    return k;
}

std::size_t DownGatherF64(const double* from, std::size_t f, std::size_t kept, double* dst) {
    std::size_t k = 0;
    for (; k < kept && !Aligned16(dst + k); ++k) dst[k] = from[k * f];
    for (; k + 2 <= kept; k += 2) {
        const double* s = from + k * f;
        _mm_store_pd(dst + k, _mm_setr_pd(s[0], s[f]));
    }
    return k;
}

template <class T>
struct Kernels;

template <>
struct Kernels<float> : BuildServices<float, Build::Sse2> {
    static constexpr auto UpByTwo = &UpByTwoF32;
    static constexpr auto UpOther = &UpScatterF32;
    static constexpr auto DownByTwo = &DownByTwoF32;
    static constexpr auto DownOther = &DownGatherF32;
};

template <>
struct Kernels<double> : BuildServices<double, Build::Sse2> {
    static constexpr auto UpByTwo = &UpByTwoF64;
    static constexpr auto UpOther = &UpGroupsF64;
    static constexpr auto DownByTwo = &DownByTwoF64;
    static constexpr auto DownOther = &DownGatherF64;
};

template <class T>
struct Sse2 : Kernels<T> {
    static void Up(const T* src, std::size_t n, T* dst, std::size_t f, std::size_t p) {
        if (f == 2) {
            Kernels<T>::UpByTwo(src, n, dst, p == 1);
        } else {
            Kernels<T>::UpOther(src, n, dst, f, p);
        }
    }

    static void Down(const T* src, std::int32_t srcLen, std::int32_t phase, std::size_t f, std::size_t kept, T* dst) {
        const T* from = src + phase;
        std::size_t k = 0;
        if (srcLen >= 48 || f == 2) {
            k = f == 2 ? Kernels<T>::DownByTwo(from, static_cast<std::size_t>(srcLen - phase), kept, dst)
                       : Kernels<T>::DownOther(from, f, kept, dst);
        }
        for (; k < kept; ++k) dst[k] = from[k * f];
    }
};

using F32 = SampleRules::Steps<float, Sse2<float>>;
using F64 = SampleRules::Steps<double, Sse2<double>>;

}  // namespace

Status UpSampleF32_sse2(
    const float* src, std::int32_t srcLen, float* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase) {
    return F32::Up(src, srcLen, dst, dstLen, factor, phase);
}
Status UpSampleF64_sse2(const double* src, std::int32_t srcLen, double* dst, std::int32_t* dstLen, std::int32_t factor,
    std::int32_t* phase) {
    return F64::Up(src, srcLen, dst, dstLen, factor, phase);
}
Status DownSampleF32_sse2(
    const float* src, std::int32_t srcLen, float* dst, std::int32_t* dstLen, std::int32_t factor, std::int32_t* phase) {
    return F32::Down(src, srcLen, dst, dstLen, factor, phase);
}
Status DownSampleF64_sse2(const double* src, std::int32_t srcLen, double* dst, std::int32_t* dstLen,
    std::int32_t factor, std::int32_t* phase) {
    return F64::Down(src, srcLen, dst, dstLen, factor, phase);
}

}  // namespace Prim
