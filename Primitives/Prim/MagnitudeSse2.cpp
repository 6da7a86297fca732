// SSE2 builds, single precision throughout (the power's trailing values
// excepted). The magnitude takes the reciprocal-square-root estimate and one
// Newton step; a square sum below the normal range, for which the estimate
// is undefined, takes the exact root instead.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Estimates.h>
#include <Primitives/Prim/Magnitude.h>
#include <Primitives/Prim/SimdLanes.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace Prim {
namespace {

using ArithCheck::Vectors;
using SimdLanes::Aligned16;

template <class T>
Status AbsOf(const T* src, T* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    using L = SimdLanes::Of<T>;
    const auto mask = [] {
        if constexpr (sizeof(T) == 4) {
            return _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
        } else {
            return _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
        }
    }();
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    for (; i + 2 * L::width <= n; i += 2 * L::width) {
        const typename L::V a = L::LoadU(src + i), b = L::LoadU(src + i + L::width);
        if constexpr (sizeof(T) == 4) {
            L::StoreU(dst + i, _mm_and_ps(a, mask));
            L::StoreU(dst + i + L::width, _mm_and_ps(b, mask));
        } else {
            L::StoreU(dst + i, _mm_and_pd(a, mask));
            L::StoreU(dst + i + L::width, _mm_and_pd(b, mask));
        }
    }
    for (; i < n; ++i) dst[i] = std::fabs(src[i]);
    return StatusOk;
}

// Four complex values from 8 floats: their real parts and their imaginary parts.
using Parts = SimdLanes::Complex<float>;

__m128 SquareSum(__m128 re, __m128 im) { return _mm_add_ps(_mm_mul_ps(re, re), _mm_mul_ps(im, im)); }

__m128 Magnitudes(__m128 re, __m128 im) {
    const __m128 p = SquareSum(re, im);
    const __m128 m = Estimates::SquareRoot(p);
    const __m128 tiny = Estimates::Tiny(p);
    return _mm_movemask_ps(tiny) == 0 ? m : Estimates::Select(tiny, _mm_sqrt_ps(p), m);
}

// Up to four values through the vector step, so single values round as groups do.
void MagnitudesOfFew(const float* src, float* dst, std::size_t count) {
    alignas(16) float in[8] = {}, out[4];
    std::memcpy(in, src, count * 2 * sizeof(float));
    const Parts z = Parts::LoadInterleaved(in);
    _mm_store_ps(out, Magnitudes(z.re, z.im));
    std::memcpy(dst, out, count * sizeof(float));
}

}  // namespace

Status AbsF32_sse2(const float* src, float* dst, std::int32_t len) { return AbsOf(src, dst, len); }
Status AbsF64_sse2(const double* src, double* dst, std::int32_t len) { return AbsOf(src, dst, len); }
Status AbsInPlaceF32_sse2(float* srcDst, std::int32_t len) { return AbsOf<float>(srcDst, srcDst, len); }
Status AbsInPlaceF64_sse2(double* srcDst, std::int32_t len) { return AbsOf<double>(srcDst, srcDst, len); }

Status MagnitudeC32_sse2(const float* src, float* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    for (; i < n && !Aligned16(dst + i); ++i) MagnitudesOfFew(src + 2 * i, dst + i, 1);
    for (; i + 8 <= n; i += 8) {
        const Parts z = Parts::LoadInterleaved(src + 2 * i);
        _mm_storeu_ps(dst + i, Magnitudes(z.re, z.im));
        const Parts y = Parts::LoadInterleaved(src + 2 * i + 8);
        _mm_storeu_ps(dst + i + 4, Magnitudes(y.re, y.im));
    }
    for (; i < n; i += 4) MagnitudesOfFew(src + 2 * i, dst + i, std::min<std::size_t>(4, n - i));
    return StatusOk;
}

Status MagnitudeSplitF64_sse2(const double* re, const double* im, double* dst, std::int32_t len) {
    if (const Status s = Vectors(len, re, im, dst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    for (; i + 2 <= n; i += 2) {
        const __m128d r = _mm_loadu_pd(re + i), m = _mm_loadu_pd(im + i);
        _mm_storeu_pd(dst + i, _mm_sqrt_pd(_mm_add_pd(_mm_mul_pd(r, r), _mm_mul_pd(m, m))));
    }
    for (; i < n; ++i) dst[i] = std::sqrt(re[i] * re[i] + im[i] * im[i]);
    return StatusOk;
}

Status PowerSpectrumC32_sse2(const float* src, float* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    const std::size_t grouped = n / 8 * 8;
    for (std::size_t i = 0; i < grouped; i += 4) {
        const Parts z = Parts::LoadInterleaved(src + 2 * i);
        _mm_storeu_ps(dst + i, SquareSum(z.re, z.im));
    }
    // The trailing values as the x87 build forms them.
    for (std::size_t i = grouped; i < n; ++i) {
        const double re = src[2 * i], im = src[2 * i + 1];
        dst[i] = static_cast<float>(re * re + im * im);
    }
    return StatusOk;
}

}  // namespace Prim
