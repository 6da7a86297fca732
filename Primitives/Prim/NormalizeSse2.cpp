// SSE2 builds: one reciprocal per call, rounded to the element type; floats
// in single precision eight a step, the trailing ones as the x87 build.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Normalize.h>

#include <emmintrin.h>

#include <cstddef>

namespace Prim {

Status NormalizeF32_sse2(const float* src, float* dst, std::int32_t len, float sub, float div) {
    if (const Status s = ArithCheck::Vectors(len, src, dst); s != StatusOk) return s;
    if (NormalizeDivisorRefused(div)) return StatusDivideByZero;
    const std::size_t n = static_cast<std::size_t>(len);
    const std::size_t blocked = n / 8 * 8;
    const __m128 subtrahend = _mm_set1_ps(sub), r = _mm_set1_ps(1.0f / div);
    for (std::size_t i = 0; i < blocked; i += 4) {
        _mm_storeu_ps(dst + i, _mm_mul_ps(_mm_sub_ps(_mm_loadu_ps(src + i), subtrahend), r));
    }
    const double wide = 1.0 / double(div);
    for (std::size_t i = blocked; i < n; ++i) dst[i] = static_cast<float>((double(src[i]) - double(sub)) * wide);
    return StatusOk;
}

Status NormalizeF64_sse2(const double* src, double* dst, std::int32_t len, double sub, double div) {
    if (const Status s = ArithCheck::Vectors(len, src, dst); s != StatusOk) return s;
    if (NormalizeDivisorRefused(div)) return StatusDivideByZero;
    const std::size_t n = static_cast<std::size_t>(len);
    const __m128d subtrahend = _mm_set1_pd(sub), r = _mm_set1_pd(1.0 / div);
    std::size_t i = 0;
    for (; i + 2 <= n; i += 2) _mm_storeu_pd(dst + i, _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(src + i), subtrahend), r));
    if (i < n) dst[i] = (src[i] - sub) * (1.0 / div);
    return StatusOk;
}

}  // namespace Prim
