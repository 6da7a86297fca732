#pragma once
// SSE2 registers of the double-precision FFT. A complex value alone is one register
// (re, im); two neighbouring values a, b in the paired layout are two registers
// (Re a, Re b) and (Im a, Im b), so that each lane runs one butterfly. Products round
// exactly as the textbook formula (wr*br - wi*bi, wr*bi + wi*br), like the x87 build.

#include <Primitives/Prim/SimdLanes.h>

namespace Prim::FftPair {

using SimdLanes::Aligned16;

// ---- one complex value per register

inline __m128d Swap(__m128d v) { return _mm_shuffle_pd(v, v, 1); }
inline __m128d TimesMinusI(__m128d v) { return _mm_xor_pd(Swap(v), _mm_set_pd(-0.0, 0.0)); }  // (im, -re)
inline __m128d TimesI(__m128d v) { return _mm_xor_pd(Swap(v), _mm_set_pd(0.0, -0.0)); }  // (-im, re)

// A root prepared for multiplication: (re, re) and (-im, im), conjugated for the inverse.
struct Root {
    __m128d re;
    __m128d im;
};

template <bool Conjugate>
inline Root MakeRoot(double re, double im) {
    const double i = Conjugate ? -im : im;
    return {_mm_set1_pd(re), _mm_set_pd(i, -i)};
}

inline __m128d Mul(__m128d b, const Root& w) { return _mm_add_pd(_mm_mul_pd(b, w.re), _mm_mul_pd(Swap(b), w.im)); }

// ---- two complex values in the paired layout

using Pair = SimdLanes::Complex<double>;

// b times the roots (wr, wi) of its two lanes, or times their conjugates.
template <bool Conjugate>
inline Pair Mul(Pair b, __m128d wr, __m128d wi) {
    if (Conjugate)
        return {_mm_add_pd(_mm_mul_pd(b.re, wr), _mm_mul_pd(b.im, wi)),
            _mm_sub_pd(_mm_mul_pd(b.im, wr), _mm_mul_pd(b.re, wi))};
    return {
        _mm_sub_pd(_mm_mul_pd(b.re, wr), _mm_mul_pd(b.im, wi)), _mm_add_pd(_mm_mul_pd(b.im, wr), _mm_mul_pd(b.re, wi))};
}

// Roots stored as (Re a, Re b, Im a, Im b), the layout of the SSE2 tables.
template <bool Conjugate>
inline Pair MulTable(Pair b, const double* w) {
    return Mul<Conjugate>(b, _mm_loadu_pd(w), _mm_loadu_pd(w + 2));
}

// Two single values as one pair.
inline Pair Join(__m128d a, __m128d b) { return {_mm_unpacklo_pd(a, b), _mm_unpackhi_pd(a, b)}; }

// Lane order exchanged: (b, a).
inline Pair Reverse(Pair v) { return {Swap(v.re), Swap(v.im)}; }

// Radix-4 butterfly of decimation in time on values a, b, c, d a quarter span apart, in
// the paired layout. b and c hold the sub-transforms of residues 2 and 1, so b takes w^2 and
// c takes w^1; w holds (w^1, w^2, w^3) for the two lanes, each as Re pair then Im pair.
// Forward: b = s1 - i s3, d = s1 + i s3; the inverse conjugates the roots and exchanges them.
template <bool Inverse>
inline void Radix4(Pair& a, Pair& b, Pair& c, Pair& d, const double* w) {
    const Pair t1 = MulTable<Inverse>(b, w + 4), t2 = MulTable<Inverse>(c, w), t3 = MulTable<Inverse>(d, w + 8);
    const Pair s0 = a + t1, s1 = a - t1, s2 = t2 + t3, s3 = t2 - t3;
    a = s0 + s2;
    c = s0 - s2;
    const Pair plus = {_mm_add_pd(s1.re, s3.im), _mm_sub_pd(s1.im, s3.re)};  // s1 - i s3
    const Pair minus = {_mm_sub_pd(s1.re, s3.im), _mm_add_pd(s1.im, s3.re)};  // s1 + i s3
    b = Inverse ? minus : plus;
    d = Inverse ? plus : minus;
}

// How a pass writes its result.
enum class Layout { Paired, Interleaved };

template <Layout Out>
inline void Put(double* p, Pair v) {
    if (Out == Layout::Interleaved)
        v.StoreInterleaved(p);
    else
        v.StoreU(p);
}

}  // namespace Prim::FftPair
