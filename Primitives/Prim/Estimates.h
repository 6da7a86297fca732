#pragma once
#include <emmintrin.h>

// The SSE2 builds' reciprocal and reciprocal square root: the processor's
// estimate (relative error at most 1.5 * 2^-12) refined by one Newton step,
// every operation rounded to single precision. The estimates are defined for
// normal inputs; the callers route zeros, subnormals and the like elsewhere.
namespace Prim::Estimates {

inline __m128 Two() { return _mm_set1_ps(2.0f); }
inline __m128 Three() { return _mm_set1_ps(3.0f); }
inline __m128 Half() { return _mm_set1_ps(0.5f); }
inline __m128 AbsMask() { return _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)); }
inline __m128 SmallestNormal() { return _mm_set1_ps(1.17549435e-38f); }

// y (2 - a y); 0 where the estimate y is 0 (a beyond about 2^126, infinity included).
inline __m128 Reciprocal(__m128 a) {
    const __m128 y = _mm_rcp_ps(a);
    const __m128 refined = _mm_mul_ps(y, _mm_sub_ps(Two(), _mm_mul_ps(a, y)));
    return _mm_andnot_ps(_mm_cmpeq_ps(y, _mm_setzero_ps()), refined);
}

// The square root of p from its reciprocal square root y: m = p y, ((3 - y m) / 2) m.
// A zero lane is given 3 as the estimate's input, so no infinity enters the step.
inline __m128 SquareRoot(__m128 p) {
    const __m128 zero = _mm_cmpeq_ps(p, _mm_setzero_ps());
    const __m128 y = _mm_rsqrt_ps(_mm_or_ps(_mm_and_ps(zero, Three()), _mm_andnot_ps(zero, p)));
    const __m128 m = _mm_mul_ps(p, y);
    return _mm_mul_ps(_mm_mul_ps(_mm_sub_ps(Three(), _mm_mul_ps(y, m)), Half()), m);
}

// y' = y (3 - q y y) / 2: one Newton step on the reciprocal square root of q.
inline __m128 ReciprocalSquareRoot(__m128 q) {
    const __m128 y = _mm_rsqrt_ps(q);
    return _mm_mul_ps(_mm_mul_ps(_mm_sub_ps(Three(), _mm_mul_ps(_mm_mul_ps(q, y), y)), Half()), y);
}

// Lanes where |v| is below the smallest normal float (zero and subnormals), as a compare mask.
inline __m128 Tiny(__m128 v) { return _mm_cmplt_ps(_mm_and_ps(v, AbsMask()), SmallestNormal()); }

inline __m128 Select(__m128 mask, __m128 ifSet, __m128 ifClear) {
    return _mm_or_ps(_mm_and_ps(mask, ifSet), _mm_andnot_ps(mask, ifClear));
}

}  // namespace Prim::Estimates
