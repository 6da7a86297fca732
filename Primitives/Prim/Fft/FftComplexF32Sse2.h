#pragma once
// Four complex floats in two registers (the quad layout: four real parts, then four
// imaginary parts) and the butterflies of the SSE2 build of the 32-bit transform.

#include <Primitives/Prim/SimdLanes.h>

#include <cstring>

namespace Prim::FftQuad {

using Quad = SimdLanes::Complex<float>;
using SimdLanes::Aligned16;

// x times (wr + i wi), or times its conjugate.
template <bool Conjugate>
inline Quad Mul(Quad x, __m128 wr, __m128 wi) {
    if (Conjugate)
        return {_mm_add_ps(_mm_mul_ps(x.re, wr), _mm_mul_ps(x.im, wi)),
            _mm_sub_ps(_mm_mul_ps(x.im, wr), _mm_mul_ps(x.re, wi))};
    return {
        _mm_sub_ps(_mm_mul_ps(x.re, wr), _mm_mul_ps(x.im, wi)), _mm_add_ps(_mm_mul_ps(x.re, wi), _mm_mul_ps(x.im, wr))};
}

// w: four real parts, then four imaginary parts.
template <bool Conjugate>
inline Quad Mul(Quad x, const float* w) {
    return Mul<Conjugate>(x, _mm_load_ps(w), _mm_load_ps(w + 4));
}

inline Quad TimesMinusI(Quad x) { return {x.im, _mm_sub_ps(_mm_setzero_ps(), x.re)}; }

// The radix-4 butterfly on a, b, c, d at quarter-span distance (b and c the sub-transforms
// of residues 2 and 1) after their twiddles: b' takes -i and d' +i forward, the reverse
// in the inverse.
template <bool Inverse>
inline void Combine4(Quad& a, Quad& b, Quad& c, Quad& d) {
    const Quad s0 = a + b, s1 = a - b;
    const Quad s2 = c + d, s3 = c - d;
    const Quad r = TimesMinusI(s3);
    a = s0 + s2;
    c = s0 - s2;
    b = Inverse ? s1 - r : s1 + r;
    d = Inverse ? s1 + r : s1 - r;
}

// tw: 24 floats, W^j, W^2j and W^3j of four positions; W^j goes to c, W^2j to b, W^3j to d.
template <bool Inverse>
inline void Butterfly4(Quad& a, Quad& b, Quad& c, Quad& d, const float* tw) {
    b = Mul<Inverse>(b, tw + 8);
    c = Mul<Inverse>(c, tw);
    d = Mul<Inverse>(d, tw + 16);
    Combine4<Inverse>(a, b, c, d);
}

// The radix-2 butterfly of the last stage of an odd order; tw: 8 floats, W^j of four positions.
template <bool Inverse>
inline void Butterfly2(Quad& a, Quad& b, const float* tw) {
    const Quad v = Mul<Inverse>(b, tw);
    b = a - v;
    a = a + v;
}

inline void Transpose(Quad& a, Quad& b, Quad& c, Quad& d) {
    _MM_TRANSPOSE4_PS(a.re, b.re, c.re, d.re);
    _MM_TRANSPOSE4_PS(a.im, b.im, c.im, d.im);
}

// 16-byte stores at an aligned address, else 8-byte ones.
inline void Store4(float* p, __m128 v, bool aligned) {
    if (aligned) {
        _mm_store_ps(p, v);
        return;
    }
    double points[2];
    _mm_storeu_pd(points, _mm_castps_pd(v));
    std::memcpy(p, &points[0], 8);
    std::memcpy(p + 2, &points[1], 8);
}

// A quad back to four interleaved points (8 floats at p), stored as Store4 does.
inline void StoreInterleaved(float* p, Quad q, bool aligned) {
    Store4(p, _mm_unpacklo_ps(q.re, q.im), aligned);
    Store4(p + 4, _mm_unpackhi_ps(q.re, q.im), aligned);
}

// One complex float (8 bytes at any address of a float).
inline double LoadPoint(const float* p) {
    double v;
    std::memcpy(&v, p, 8);
    return v;
}

inline void StorePoint(float* p, double v) { std::memcpy(p, &v, 8); }

// Points p0..p3 into a quad.
inline Quad LoadPoints(const float* p0, const float* p1, const float* p2, const float* p3) {
    const __m128 lo = _mm_castpd_ps(_mm_set_pd(LoadPoint(p1), LoadPoint(p0)));
    const __m128 hi = _mm_castpd_ps(_mm_set_pd(LoadPoint(p3), LoadPoint(p2)));
    return {Quad::L::Evens(lo, hi), Quad::L::Odds(lo, hi)};
}

// Lanes in reverse order.
inline __m128 Reverse(__m128 v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3)); }
inline Quad Reverse(Quad q) { return {Reverse(q.re), Reverse(q.im)}; }

}  // namespace Prim::FftQuad
