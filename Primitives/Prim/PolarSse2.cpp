// SSE2 builds, four values a step (the last len mod 4 as one more group).
// Sine and cosine reduce the phase by pi split into five floats and take the
// polynomial in double, the products with the magnitude in single; the phase
// is an arc tangent as a rational function of b/a or a/b, its divisions by the
// refined reciprocal estimate. Values with a zero, infinite or NaN part take
// fixed values; a part below the normal range, for which the estimates are
// undefined, takes the C library's arc tangent.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Estimates.h>
#include <Primitives/Prim/Magnitude.h>
#include <Primitives/Prim/Polar.h>

#include <emmintrin.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

namespace Prim {
namespace {

using Estimates::Select;

constexpr float halfPiF = 1.5707964f, piF = 3.1415927f;

// The sine polynomial with the single-precision coefficients, in double: at
// u = pi/2 it rounds to exactly 1 as a float.
__m128d Sine(__m128d u) {
    const __m128d u2 = _mm_mul_pd(u, u);
    __m128d p = _mm_add_pd(_mm_set1_pd(-0.000198206646f), _mm_mul_pd(u2, _mm_set1_pd(2.6300338e-06f)));
    p = _mm_add_pd(_mm_set1_pd(0.00833321549f), _mm_mul_pd(u2, p));
    p = _mm_add_pd(_mm_set1_pd(-0.166666657f), _mm_mul_pd(u2, p));
    return _mm_add_pd(u, _mm_mul_pd(_mm_mul_pd(u, u2), p));
}

// p - k pi with pi as five floats, each product subtracted in turn. The parts
// have at most 22 significant bits, so the products with any quotient below
// 2^30 are exact in double and only the differences round.
__m128d Reduce(__m128d p, __m128d k) {
    constexpr float parts[5] = {3.140625f, 0.000967502594f, 1.50990672e-07f, 5.1159077e-12f, 1.07806051e-14f};
    for (float part : parts) p = _mm_sub_pd(p, _mm_mul_pd(k, _mm_set1_pd(part)));
    return p;
}

// Sine and cosine of two phases, rounded to float in the low two lanes. The
// quotient by pi is formed in double: in single precision it is off by more
// than the distance to the next half turn at large phases, and the rounded
// and the truncated quotient then disagree on the half turn.
void SineCosine(__m128d p, __m128& sine, __m128& cosine) {
    const __m128d y = _mm_mul_pd(p, _mm_set1_pd(0.3183098861837907));
    const __m128i n = _mm_cvtpd_epi32(y), t = _mm_cvttpd_epi32(y);
    const __m128d sign = _mm_and_pd(p, _mm_set1_pd(-0.0));
    const __m128d half =
        _mm_or_pd(_mm_add_pd(_mm_andnot_pd(_mm_set1_pd(-0.0), _mm_cvtepi32_pd(t)), _mm_set1_pd(0.5)), sign);
    const __m128d r = Reduce(p, _mm_cvtepi32_pd(n));
    const __m128d u = _mm_andnot_pd(_mm_set1_pd(-0.0), Reduce(p, half));
    const __m128d flip = _mm_castsi128_pd(_mm_slli_epi64(_mm_unpacklo_epi32(n, n), 63));  // where n is odd
    sine = _mm_cvtpd_ps(_mm_xor_pd(Sine(r), flip));
    cosine = _mm_cvtpd_ps(_mm_xor_pd(Sine(u), flip));
}

void FromPolar(const float* magn, const float* phase, float* dst) {
    const __m128 p = _mm_loadu_ps(phase), m = _mm_loadu_ps(magn);
    __m128 sineLow, cosineLow, sineHigh, cosineHigh;
    SineCosine(_mm_cvtps_pd(p), sineLow, cosineLow);
    SineCosine(_mm_cvtps_pd(_mm_movehl_ps(p, p)), sineHigh, cosineHigh);
    const __m128 sine = _mm_movelh_ps(sineLow, sineHigh), cosine = _mm_movelh_ps(cosineLow, cosineHigh);
    const __m128 re = _mm_mul_ps(m, cosine), im = _mm_mul_ps(m, sine);
    _mm_storeu_ps(dst, _mm_unpacklo_ps(re, im));
    _mm_storeu_ps(dst + 4, _mm_unpackhi_ps(re, im));
}

// atan(t) / t for 0 <= t <= 1 as P(t^2) / Q(t^2).
__m128 ArcTangent(__m128 t, __m128 (*reciprocal)(__m128)) {
    const __m128 s = _mm_mul_ps(t, t);
    __m128 p = _mm_add_ps(_mm_set1_ps(0.280504555f), _mm_mul_ps(s, _mm_set1_ps(0.008561189f)));
    p = _mm_add_ps(_mm_set1_ps(1.0f), _mm_mul_ps(s, _mm_add_ps(_mm_set1_ps(1.120234013f), _mm_mul_ps(s, p))));
    __m128 q = _mm_add_ps(_mm_set1_ps(0.565030992f), _mm_mul_ps(s, _mm_set1_ps(0.04901759f)));
    q = _mm_add_ps(_mm_set1_ps(1.0f), _mm_mul_ps(s, _mm_add_ps(_mm_set1_ps(1.453567147f), _mm_mul_ps(s, q))));
    return _mm_mul_ps(_mm_mul_ps(t, p), reciprocal(q));
}

__m128 Divide(__m128 b, __m128 a) { return _mm_div_ps(b, a); }

__m128 Phases(__m128 re, __m128 im) {
    const __m128 a = _mm_and_ps(re, Estimates::AbsMask()), b = _mm_and_ps(im, Estimates::AbsMask());
    const bool huge = _mm_movemask_ps(_mm_cmpge_ps(a, _mm_set1_ps(1e36f))) != 0;
    const __m128 t = huge ? Divide(b, a) : _mm_mul_ps(b, Estimates::Reciprocal(a));
    const __m128 small = _mm_cmple_ps(t, _mm_set1_ps(1.0f));
    const __m128 inner = ArcTangent(Select(small, t, Estimates::Reciprocal(t)), Estimates::Reciprocal);
    __m128 theta = Select(small, inner, _mm_sub_ps(_mm_set1_ps(halfPiF), inner));
    theta = Select(_mm_cmplt_ps(re, _mm_setzero_ps()), _mm_sub_ps(_mm_set1_ps(piF), theta), theta);
    return _mm_or_ps(theta, _mm_and_ps(im, _mm_set1_ps(-0.0f)));
}

// The value of a zero, infinite or NaN part, and of a subnormal one.
float Phase(float re, float im) {
    const float sign = std::copysign(1.0f, im);
    if (std::isnan(re) || std::isnan(im)) return std::numeric_limits<float>::quiet_NaN();
    if (re == 0.0f) return im == 0.0f ? 0.0f : sign * halfPiF;
    if (std::isinf(re)) {
        if (re < 0) return sign * (std::isinf(im) ? 3 * piF / 4 : piF);
        return std::isinf(im) ? sign * (piF / 4) : 0.0f;
    }
    if (std::isinf(im)) return sign * halfPiF;
    if (im == 0.0f) return re < 0 ? sign * piF : im;
    return static_cast<float>(std::atan2(double(im), double(re)));  // a subnormal part
}

// A lane whose part is zero, infinite, NaN or subnormal.
int Special(__m128 re, __m128 im) {
    const auto ordinary = [](__m128 v) {
        const __m128 magnitude = _mm_and_ps(v, Estimates::AbsMask());
        return _mm_and_ps(_mm_cmpge_ps(magnitude, Estimates::SmallestNormal()),
            _mm_cmplt_ps(magnitude, _mm_set1_ps(std::numeric_limits<float>::infinity())));
    };
    return ~_mm_movemask_ps(_mm_and_ps(ordinary(re), ordinary(im))) & 0xF;
}

}  // namespace

Status PolarToCartC32_sse2(const float* magn, const float* phase, float* dst, std::int32_t len) {
    if (const Status s = ArithCheck::Vectors(len, magn, phase, dst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) FromPolar(magn + i, phase + i, dst + 2 * i);
    if (i < n) {
        alignas(16) float m[4] = {}, p[4] = {}, out[8];
        std::memcpy(m, magn + i, (n - i) * sizeof(float));
        std::memcpy(p, phase + i, (n - i) * sizeof(float));
        FromPolar(m, p, out);
        std::memcpy(dst + 2 * i, out, 2 * (n - i) * sizeof(float));
    }
    return StatusOk;
}

Status CartToPolarC32_sse2(const float* src, float* magn, float* phase, std::int32_t len) {
    const Status magnitudes = MagnitudeC32_sse2(src, magn, len);
    if (magnitudes != StatusOk) return magnitudes;
    if (const Status s = ArithCheck::Vectors(len, src, phase); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; i += 4) {
        const std::size_t count = std::min<std::size_t>(4, n - i);
        alignas(16) float z[8] = {1, 1, 1, 1, 1, 1, 1, 1}, out[4];
        std::memcpy(z, src + 2 * i, 2 * count * sizeof(float));
        const __m128 a = _mm_load_ps(z), b = _mm_load_ps(z + 4);
        const __m128 re = _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)),
                     im = _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1));
        _mm_store_ps(out, Phases(re, im));
        const int special = Special(re, im);
        for (std::size_t k = 0; k < count; ++k) {
            phase[i + k] = (special & (1 << k)) != 0 ? Phase(z[2 * k], z[2 * k + 1]) : out[k];
        }
    }
    return StatusOk;
}

Status NormL2F32_sse2(const float* src, std::int32_t len, float* norm) {
    if (const Status s = ArithCheck::Vectors(len, src, norm); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    __m128 sums = _mm_setzero_ps();
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128 x = _mm_loadu_ps(src + i);
        sums = _mm_add_ps(sums, _mm_mul_ps(x, x));
    }
    alignas(16) float lanes[4] = {};
    std::memcpy(lanes, src + i, (n - i) * sizeof(float));
    const __m128 x = _mm_load_ps(lanes);
    sums = _mm_add_ps(sums, _mm_mul_ps(x, x));
    _mm_store_ps(lanes, sums);
    *norm = _mm_cvtss_f32(_mm_sqrt_ss(_mm_set_ss((lanes[0] + lanes[1]) + (lanes[2] + lanes[3]))));
    return StatusOk;
}

}  // namespace Prim
