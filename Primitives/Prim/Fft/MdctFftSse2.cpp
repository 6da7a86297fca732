// The SSE2 passes of the MDCT's complex FFT: the first two stages fused into one radix-4
// stage, then four butterflies per step in single precision. The pair tables let one complex
// product be b (cos, cos) + swap(b) (sin, -sin), with no shuffles of the coefficients.
#include <Primitives/Prim/Fft/MdctKernels.h>

#include <emmintrin.h>

#include <cstddef>

namespace Prim {
namespace {

__m128 Signs(float a, float b, float c, float d) { return _mm_set_ps(d, c, b, a); }

__m128 SwapReIm(__m128 v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 3, 0, 1)); }

// Two butterflies: t = b e^(-i theta), then a + t and a - t.
void Butterflies(float* a, float* b, const float* cosine, const float* sine) {
    const __m128 bv = _mm_load_ps(b);
    const __m128 t = _mm_add_ps(_mm_mul_ps(bv, _mm_load_ps(cosine)), _mm_mul_ps(SwapReIm(bv), _mm_load_ps(sine)));
    const __m128 av = _mm_load_ps(a);
    _mm_store_ps(a, _mm_add_ps(av, t));
    _mm_store_ps(b, _mm_sub_ps(av, t));
}

}  // namespace

void CosFftRadix2_sse2(float* data, int32_t n, int32_t order, const float* cosinePairs, const float* sinePairs) {
    const size_t count = static_cast<size_t>(n);
    // (a, b) -> (a + b, a - b) on both halves of a group of four, then
    // x0 + x2, x1 - i x3, x0 - x2, x1 + i x3.
    const __m128 plusMinus = Signs(1, 1, -1, -1);
    const __m128 lastImNegated = Signs(1, 1, 1, -1);
    for (size_t i = 0; i < count; i += 4) {
        float* x = data + 2 * i;
        const __m128 x01 = _mm_load_ps(x), x23 = _mm_load_ps(x + 4);
        const __m128 y01 = _mm_add_ps(_mm_movelh_ps(x01, x01), _mm_mul_ps(_mm_movehl_ps(x01, x01), plusMinus));
        const __m128 y23 = _mm_add_ps(_mm_movelh_ps(x23, x23), _mm_mul_ps(_mm_movehl_ps(x23, x23), plusMinus));
        // (y2, -i y3) = (y2.re, y2.im, y3.im, -y3.re)
        const __m128 t = _mm_mul_ps(_mm_shuffle_ps(y23, y23, _MM_SHUFFLE(2, 3, 1, 0)), lastImNegated);
        _mm_store_ps(x, _mm_add_ps(y01, t));
        _mm_store_ps(x + 4, _mm_sub_ps(y01, t));
    }
    for (int32_t s = 2; s < order; ++s) {
        const size_t half = size_t{1} << s;
        const float* cosine = cosinePairs + 2 * (half - 4);
        const float* sine = sinePairs + 2 * (half - 4);
        for (size_t g = 0; g < count; g += 2 * half) {
            float* a = data + 2 * g;
            float* b = a + 2 * half;
            for (size_t j = 0; j < 2 * half; j += 8) {
                Butterflies(a + j, b + j, cosine + j, sine + j);
                Butterflies(a + j + 4, b + j + 4, cosine + j + 4, sine + j + 4);
            }
        }
    }
}

}  // namespace Prim
