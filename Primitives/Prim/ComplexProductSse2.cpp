// SSE2 builds: (ar br, ai br) + (-ai bi, ar bi), each product rounded to the
// element type; two C32 values or one C64 value a register.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/ComplexProduct.h>

#include <emmintrin.h>

#include <cstddef>

namespace Prim {
namespace {

__m128 Product(__m128 a, __m128 b) {
    const __m128 bRe = _mm_shuffle_ps(b, b, _MM_SHUFFLE(2, 2, 0, 0));
    const __m128 bIm = _mm_shuffle_ps(b, b, _MM_SHUFFLE(3, 3, 1, 1));
    const __m128 aSwapped = _mm_shuffle_ps(a, a, _MM_SHUFFLE(2, 3, 0, 1));
    const __m128 negateReal = _mm_castsi128_ps(_mm_set_epi32(0, INT32_MIN, 0, INT32_MIN));
    return _mm_add_ps(_mm_mul_ps(a, bRe), _mm_xor_ps(_mm_mul_ps(aSwapped, bIm), negateReal));
}

__m128d Product(__m128d a, __m128d b) {
    const __m128d bRe = _mm_unpacklo_pd(b, b), bIm = _mm_unpackhi_pd(b, b);
    const __m128d aSwapped = _mm_shuffle_pd(a, a, 1);
    const __m128d negateReal = _mm_castsi128_pd(_mm_set_epi64x(0, INT64_MIN));
    return _mm_add_pd(_mm_mul_pd(a, bRe), _mm_xor_pd(_mm_mul_pd(aSwapped, bIm), negateReal));
}

Status MultiplyC32(const float* a, const float* b, float* dst, std::int32_t len) {
    if (const Status s = ArithCheck::Vectors(len, a, b, dst); s != StatusOk) return s;
    const std::size_t floats = 2 * static_cast<std::size_t>(len);
    std::size_t i = 0;
    for (; i + 4 <= floats; i += 4) _mm_storeu_ps(dst + i, Product(_mm_loadu_ps(a + i), _mm_loadu_ps(b + i)));
    if (i < floats) {  // the last value: two floats, only 4-byte aligned
        const __m128 x = _mm_castsi128_ps(_mm_loadu_si64(a + i));
        const __m128 y = _mm_castsi128_ps(_mm_loadu_si64(b + i));
        _mm_storeu_si64(dst + i, _mm_castps_si128(Product(x, y)));
    }
    return StatusOk;
}

}  // namespace

Status MulInPlaceC32_sse2(const float* src, float* srcDst, std::int32_t len) {
    return MultiplyC32(srcDst, src, srcDst, len);
}
Status MulInPlaceC64_sse2(const double* src, double* srcDst, std::int32_t len) {
    if (const Status s = ArithCheck::Vectors(len, src, srcDst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < 2 * n; i += 2) {
        _mm_storeu_pd(srcDst + i, Product(_mm_loadu_pd(srcDst + i), _mm_loadu_pd(src + i)));
    }
    return StatusOk;
}
Status MulC32_sse2(const float* src1, const float* src2, float* dst, std::int32_t len) {
    return MultiplyC32(src1, src2, dst, len);
}

}  // namespace Prim
