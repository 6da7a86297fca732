#pragma once
// Two complex doubles side by side: the real parts of both in one pair vector, the imaginary
// parts in another. A complex sum is then two vector operations and a product four
// multiplications and two sums, with no shuffling, so the passes of the portable double
// transform run two sub-transforms (or two butterflies) at once, one per lane. Each lane
// rounds exactly as the interleaved forms of FftComplexX87.h: only the packing differs.
//
// In memory a run of such values lies in two planes: value n's real parts at re + 2n, its
// imaginary parts at im + 2n. When the planes are the places of two runs of interleaved
// values, position n of both holds exactly the two values of lane 0 and lane 1, so a pass can
// turn one form into the other in place.

#include <Primitives/Prim/Fft/FftComplexX87.h>

#include <cstdint>

namespace Prim::FftX87 {

struct Dual {
    Cplx re;
    Cplx im;
};

inline Dual operator+(Dual a, Dual b) { return {a.re + b.re, a.im + b.im}; }
inline Dual operator-(Dual a, Dual b) { return {a.re - b.re, a.im - b.im}; }

inline Cplx Low(Cplx a, Cplx b) { return __builtin_shufflevector(a, b, 0, 2); }
inline Cplx High(Cplx a, Cplx b) { return __builtin_shufflevector(a, b, 1, 3); }

// Two (re, im) values as the lanes of a Dual, and the lanes back as (re, im) values.
inline Dual Zip(Cplx lane0, Cplx lane1) { return {Low(lane0, lane1), High(lane0, lane1)}; }
inline Cplx Lane0(Dual d) { return Low(d.re, d.im); }
inline Cplx Lane1(Dual d) { return High(d.re, d.im); }
inline Dual SwapLanes(Dual d) { return {Swap(d.re), Swap(d.im)}; }

// Lane 0 as the (re, im) value at lane0, lane 1 at lane1: four 8-byte stores, which cost less
// than turning the lanes into values first.
inline void StoreLanes(double* lane0, double* lane1, Dual d) {
    lane0[0] = d.re[0];
    lane0[1] = d.im[0];
    lane1[0] = d.re[1];
    lane1[1] = d.im[1];
}

// One root (re, im) for both lanes.
inline Dual Broadcast(Cplx w) { return {__builtin_shufflevector(w, w, 0, 0), __builtin_shufflevector(w, w, 1, 1)}; }

// b times w, or times conj w: (br wr - bi wi, bi wr + br wi) as Mul of FftComplexX87.h.
template <bool Conjugate>
inline Dual Mul(Dual b, Dual w) {
    if (Conjugate) return {b.re * w.re + b.im * w.im, b.im * w.re - b.re * w.im};
    return {b.re * w.re - b.im * w.im, b.im * w.re + b.re * w.im};
}

inline Dual LoadDual(const double* re, const double* im, uint64_t n) { return {Load(re + 2 * n), Load(im + 2 * n)}; }
inline void StoreDual(double* re, double* im, uint64_t n, Dual d) {
    Store(re + 2 * n, d.re);
    Store(im + 2 * n, d.im);
}

// Radix-4 butterfly on a, b, c, d at j, j + q, j + 2q, j + 3q, the roots already applied
// (b carries the sub-transform of residue 2, c that of residue 1). Forward: the second output
// takes -i (c - d), the fourth +i (c - d); the inverse exchanges them.
template <bool Inverse>
inline void Butterfly4(Dual& a, Dual& b, Dual& c, Dual& d) {
    const Dual s0 = a + b, s1 = a - b;
    const Dual s2 = c + d, s3 = c - d;
    a = s0 + s2;
    c = s0 - s2;
    const Dual minus = {s1.re + s3.im, s1.im - s3.re};  // s1 - i s3
    const Dual plus = {s1.re - s3.im, s1.im + s3.re};  // s1 + i s3
    b = Inverse ? plus : minus;
    d = Inverse ? minus : plus;
}

// The real post-processing of Z_k = z and Z_(M-k) = y into X_k = lo and X_(M-k) = hi with the
// table's pair (p, q) of each lane, rounded as the interleaved form of FftRealSplitF64X87.cpp:
// D = z - conj y, (t, u) = q D - i p D, X_k = (t, u) + conj y, X_(M-k) = conj(z - (t, u)).
inline void PostPair(Dual z, Dual y, Cplx p, Cplx q, Dual& lo, Dual& hi) {
    const Cplx dr = z.re - y.re, di = z.im + y.im;
    const Cplx t = dr * q + di * p;
    const Cplx u = di * q - dr * p;
    lo = {t + y.re, u - y.im};
    hi = {z.re - t, -(z.im - u)};
}

inline Cplx Conj(Cplx v) { return v * Cplx{1.0, -1.0}; }  // exact: a sign change

// The same for one value k (z) and its partner (y), the table's pair at pq.
inline void PostOne(Cplx z, Cplx y, const double* pq, Cplx& lo, Cplx& hi) {
    const Cplx yc = Conj(y);
    const Cplx d = z - yc;
    const Cplx tu = d * Cplx{pq[1], pq[1]} + TimesMinusI(d) * Cplx{pq[0], pq[0]};
    lo = tu + yc;
    hi = Conj(z - tu);
}

// The real post-processing of value k (below the middle) and its partner in place.
inline void PostInPlace(double* data, uint64_t k, uint64_t partner, const double* post) {
    Cplx lo, hi;
    PostOne(Load(data + 2 * k), Load(data + 2 * partner), post + 2 * k, lo, hi);
    Store(data + 2 * k, lo);
    Store(data + 2 * partner, hi);
}

}  // namespace Prim::FftX87
