#pragma once
// SSE2 registers of the double-precision FFT. A complex value alone is one register
// (re, im); two neighbouring values a, b in the paired layout are two registers
// (Re a, Re b) and (Im a, Im b), so that each lane runs one butterfly. Products round
// exactly as the textbook formula (wr*br - wi*bi, wr*bi + wi*br), like the x87 build.

#include <emmintrin.h>

#include <cstdint>

namespace Prim::FftSse2 {

inline bool Aligned16(const void* p) { return (reinterpret_cast<uintptr_t>(p) & 15) == 0; }

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

struct Pair {
    __m128d re;
    __m128d im;
};

inline Pair Add(Pair a, Pair b) { return {_mm_add_pd(a.re, b.re), _mm_add_pd(a.im, b.im)}; }
inline Pair Sub(Pair a, Pair b) { return {_mm_sub_pd(a.re, b.re), _mm_sub_pd(a.im, b.im)}; }

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

inline Pair LoadPair(const double* p) { return {_mm_load_pd(p), _mm_load_pd(p + 2)}; }
inline void StorePair(double* p, Pair v) {
    _mm_store_pd(p, v.re);
    _mm_store_pd(p + 2, v.im);
}
inline Pair LoadPairU(const double* p) { return {_mm_loadu_pd(p), _mm_loadu_pd(p + 2)}; }
inline void StorePairU(double* p, Pair v) {
    _mm_storeu_pd(p, v.re);
    _mm_storeu_pd(p + 2, v.im);
}

// Two complex values stored interleaved: (Re a, Im a, Re b, Im b).
inline Pair LoadInterleaved(const double* p) {
    const __m128d a = _mm_loadu_pd(p), b = _mm_loadu_pd(p + 2);
    return {_mm_unpacklo_pd(a, b), _mm_unpackhi_pd(a, b)};
}
inline void StoreInterleaved(double* p, Pair v) {
    _mm_storeu_pd(p, _mm_unpacklo_pd(v.re, v.im));
    _mm_storeu_pd(p + 2, _mm_unpackhi_pd(v.re, v.im));
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
    const Pair s0 = Add(a, t1), s1 = Sub(a, t1), s2 = Add(t2, t3), s3 = Sub(t2, t3);
    a = Add(s0, s2);
    c = Sub(s0, s2);
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
        StoreInterleaved(p, v);
    else
        StorePairU(p, v);
}

}  // namespace Prim::FftSse2
