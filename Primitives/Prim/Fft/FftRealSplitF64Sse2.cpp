// SSE2 real post- and pre-processing: two values of k per step (k, k + 1 with M - k,
// M - k - 1), the tables holding the coefficients of two k side by side. The last step
// reaches the middle value k = M/2, whose results are not stored.
#include <Primitives/Prim/Fft/FftKernelsF64Sse2.h>

#include <Primitives/Prim/Fft/FftComplexF64Sse2.h>

namespace Prim {
namespace {

using namespace FftPair;

// Stores the lanes for k (low) and M - k (high, lanes in the order M - k, M - k - 1).
inline void StoreStep(double* data, uint32_t half, uint32_t k, Pair low, Pair high) {
    if (k + 1 < half / 2) {
        low.StoreInterleaved(data + 2 * k);
        Reverse(high).StoreInterleaved(data + 2 * (half - k - 1));
    } else {
        _mm_storeu_pd(data + 2 * k, _mm_unpacklo_pd(low.re, low.im));
        _mm_storeu_pd(data + 2 * (half - k), _mm_unpacklo_pd(high.re, high.im));
    }
}

}  // namespace

// With z = Z_k = (a, c), y = Z_(M-k) = (b, e) and the table pair (p, q):
// t = q (a - b) + p (c + e), u = q (c + e) - p (a - b); X_k = (b + t, u - e),
// X_(M-k) = (a - t, u - c).
void FftRealPostF64_sse2(double* data, uint32_t half, int, const double* table) {
    for (uint32_t k = 1; k < half / 2; k += 2) {
        const double* w = table + 2 * (k - 1);
        const __m128d p = _mm_loadu_pd(w), q = _mm_loadu_pd(w + 2);
        const Pair z = Pair::LoadInterleaved(data + 2 * k);
        const Pair y = Reverse(Pair::LoadInterleaved(data + 2 * (half - k - 1)));
        const __m128d dr = _mm_sub_pd(z.re, y.re), di = _mm_add_pd(z.im, y.im);
        const __m128d t = _mm_add_pd(_mm_mul_pd(q, dr), _mm_mul_pd(p, di));
        const __m128d u = _mm_sub_pd(_mm_mul_pd(q, di), _mm_mul_pd(p, dr));
        StoreStep(
            data, half, k, {_mm_add_pd(y.re, t), _mm_sub_pd(u, y.im)}, {_mm_sub_pd(z.re, t), _mm_sub_pd(u, z.im)});
    }
    data[half + 1] = -data[half + 1];
}

// With z = X_k = (a, c), y = X_(M-k) = (b, e) and the roots (g, h) = (cos, -sin):
// p = h (a - b) - g (c + e), q = g (a - b) + h (c + e); Z_k = (a + b + p, (c - e) + q),
// Z_(M-k) = (a + b - p, q - (c - e)).
void FftRealPreF64_sse2(const double* src, double* dst, uint32_t half, int, const double* roots) {
    for (uint32_t k = 1; k < half / 2; k += 2) {
        const double* w = roots + 2 * (k - 1);
        const __m128d g = _mm_loadu_pd(w), h = _mm_loadu_pd(w + 2);
        const Pair z = Pair::LoadInterleaved(src + 2 * k);
        const Pair y = Reverse(Pair::LoadInterleaved(src + 2 * (half - k - 1)));
        const __m128d dr = _mm_sub_pd(z.re, y.re), di = _mm_add_pd(z.im, y.im);
        const __m128d sr = _mm_add_pd(z.re, y.re), si = _mm_sub_pd(z.im, y.im);
        const __m128d p = _mm_sub_pd(_mm_mul_pd(h, dr), _mm_mul_pd(g, di));
        const __m128d q = _mm_add_pd(_mm_mul_pd(h, di), _mm_mul_pd(g, dr));
        StoreStep(dst, half, k, {_mm_add_pd(sr, p), _mm_add_pd(si, q)}, {_mm_sub_pd(sr, p), _mm_sub_pd(q, si)});
    }
    dst[half] = 2.0 * src[half];
    dst[half + 1] = -2.0 * src[half + 1];
}

}  // namespace Prim
