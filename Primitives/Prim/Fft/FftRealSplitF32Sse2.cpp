// The real split of the SSE2 build of the 32-bit transform: four bins k = 4b+1..4b+4 and
// their partners half - k per step, from the front and the back at once, with one table
// block (four first coefficients, then four second ones) per step. The last step's fourth
// bin is the middle one, its own partner, which each split handles apart.
#include <Primitives/Prim/Fft/FftKernelsF32.h>

#include <Primitives/Prim/Fft/FftComplexF32Sse2.h>

#include <cstring>

namespace Prim {
namespace {

using namespace FftQuad;

// Stores the four bins of `front` at k0.. and the partners in `back` (lane l the partner
// of lane l of `front`) at half - k0 - 3..; the last step leaves the middle bin alone.
void StoreStep(float* data, uint64_t half, uint64_t k0, Quad front, Quad back, bool last) {
    float* lo = data + 2 * k0;
    float* hi = data + 2 * (half - k0 - 3);
    back = Reverse(back);
    if (!last) {
        StoreInterleaved(lo, front, false);
        StoreInterleaved(hi, back, false);
        return;
    }
    alignas(16) float values[8];
    StoreInterleaved(values, front, true);
    std::memcpy(lo, values, 6 * sizeof(float));
    StoreInterleaved(values, back, true);
    std::memcpy(hi + 2, values + 2, 6 * sizeof(float));
}

}  // namespace

// The formulas of the x87 build, four bins at a time.
void FftRealPostF32_sse2(float* data, uint32_t half, int, const float* table) {
    const uint64_t steps = half / 8;
    for (uint64_t b = 0; b < steps; ++b) {
        const uint64_t k0 = 4 * b + 1;
        const Quad a = Quad::LoadInterleaved(data + 2 * k0);
        const Quad p = Reverse(Quad::LoadInterleaved(data + 2 * (half - k0 - 3)));
        // The table's pair: cos/2 and (1 - sin)/2.
        const __m128 c = _mm_load_ps(table + 8 * b), s = _mm_load_ps(table + 8 * b + 4);
        const __m128 dr = _mm_sub_ps(a.re, p.re), si = _mm_add_ps(a.im, p.im);
        const __m128 u = _mm_add_ps(_mm_mul_ps(s, dr), _mm_mul_ps(c, si));
        const __m128 w = _mm_sub_ps(_mm_mul_ps(s, si), _mm_mul_ps(c, dr));
        const Quad front{_mm_add_ps(p.re, u), _mm_sub_ps(w, p.im)};
        const Quad back{_mm_sub_ps(a.re, u), _mm_sub_ps(w, a.im)};
        StoreStep(data, half, k0, front, back, b + 1 == steps);
    }
    const __m128 sign = _mm_set_ss(-0.0f);
    _mm_store_ss(data + half + 1, _mm_xor_ps(_mm_load_ss(data + half + 1), sign));
}

void FftRealPreF32_sse2(const float* src, float* dst, uint32_t half, const float* roots) {
    const __m128 middle =
        _mm_mul_ps(_mm_castpd_ps(_mm_set_sd(LoadPoint(src + half))), _mm_setr_ps(2.0f, -2.0f, 0.0f, 0.0f));
    StorePoint(dst + half, _mm_cvtsd_f64(_mm_castps_pd(middle)));
    const uint64_t steps = half / 8;
    for (uint64_t b = 0; b < steps; ++b) {
        const uint64_t k0 = 4 * b + 1;
        const Quad x = Quad::LoadInterleaved(src + 2 * k0);
        const Quad y = Reverse(Quad::LoadInterleaved(src + 2 * (half - k0 - 3)));
        const __m128 wr = _mm_load_ps(roots + 8 * b), wi = _mm_load_ps(roots + 8 * b + 4);
        const __m128 diff = _mm_sub_ps(x.re, y.re), sum = _mm_add_ps(x.im, y.im);
        const __m128 t = _mm_sub_ps(_mm_mul_ps(wi, diff), _mm_mul_ps(wr, sum));
        const __m128 u = _mm_add_ps(_mm_mul_ps(wr, diff), _mm_mul_ps(wi, sum));
        const __m128 re = _mm_add_ps(x.re, y.re), im = _mm_sub_ps(x.im, y.im);
        const Quad front{_mm_add_ps(re, t), _mm_add_ps(im, u)};
        const Quad back{_mm_sub_ps(re, t), _mm_sub_ps(u, im)};
        StoreStep(dst, half, k0, front, back, b + 1 == steps);
    }
}

}  // namespace Prim
