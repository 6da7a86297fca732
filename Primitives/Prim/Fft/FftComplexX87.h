#pragma once
// One complex double (re, im) held in a pair vector, so that a complex addition is one
// operation. Products round exactly as the textbook formula (wr*br - wi*bi, wr*bi + wi*br),
// so results do not depend on this packing. Complex floats of the 32-bit transform are
// carried the same way: widened on load and rounded to float only when stored, as the x87
// build keeps its sums in registers wider than a float.

#include <cstdint>

namespace Prim::FftX87 {

typedef double Cplx __attribute__((vector_size(16)));

inline Cplx Load(const double* p) {
    Cplx v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

inline void Store(double* p, Cplx v) { __builtin_memcpy(p, &v, sizeof v); }

typedef float Pair32 __attribute__((vector_size(8)));

inline Cplx Load(const float* p) {
    Pair32 v;
    __builtin_memcpy(&v, p, sizeof v);
    return __builtin_convertvector(v, Cplx);
}

inline void Store(float* p, Cplx v) {
    const Pair32 f = __builtin_convertvector(v, Pair32);
    __builtin_memcpy(p, &f, sizeof f);
}

// The value that a store into a T and a reload would give.
template <typename T>
inline Cplx Stored(Cplx v) {
    if constexpr (sizeof(T) == sizeof(double)) return v;
    return __builtin_convertvector(__builtin_convertvector(v, Pair32), Cplx);
}

inline Cplx TimesI(Cplx v)  // (-im, re)
{
    const Cplx n = -v;
    return __builtin_shufflevector(n, v, 1, 2);
}

inline Cplx TimesMinusI(Cplx v)  // (im, -re)
{
    const Cplx n = -v;
    return __builtin_shufflevector(v, n, 1, 2);
}

inline Cplx Swap(Cplx v) { return __builtin_shufflevector(v, v, 1, 0); }

// Where the complex values of a pass live: interleaved pairs of one array, or the real
// and imaginary parts in two arrays. Values are addressed by index.
template <typename T>
struct PairsView {
    using Element = T;
    T* data;
    Cplx Get(uint64_t i) const { return Load(data + 2 * i); }
    void Put(uint64_t i, Cplx v) const { Store(data + 2 * i, v); }
    PairsView At(uint64_t i) const { return {data + 2 * i}; }
};

struct SplitView {
    using Element = double;
    double* re;
    double* im;
    Cplx Get(uint64_t i) const { return Cplx{re[i], im[i]}; }
    void Put(uint64_t i, Cplx v) const {
        re[i] = v[0];
        im[i] = v[1];
    }
    SplitView At(uint64_t i) const { return {re + i, im + i}; }
};

// A root prepared for multiplication: the real part broadcast, the imaginary part as
// (-im, im) (conjugated for the inverse), so that w*b = re*b + im*swap(b).
struct Root {
    Cplx re;
    Cplx im;
};

template <bool Conjugate>
inline Root MakeRoot(double re, double im) {
    const double i = Conjugate ? -im : im;
    return {Cplx{re, re}, Cplx{-i, i}};
}

template <bool Conjugate, typename T>
inline Root LoadRoot(const T* w) {
    return MakeRoot<Conjugate>(w[0], w[1]);
}

inline Cplx Mul(Cplx b, const Root& w) { return b * w.re + Swap(b) * w.im; }

inline Cplx Conj(Cplx v) { return v * Cplx{1.0, -1.0}; }  // exact: a sign change

// The real post-processing of one value k (z) and its partner M - k (y) with the table's pair
// (p, q) at pq: D = z - conj y, (t, u) = q D - i p D, X_k = (t, u) + conj y and
// X_(M-k) = conj(z - (t, u)).
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

// The complex pairs of packed spectra: srcDst = src * srcDst, two values a pair, each
// product formed in doubles and rounded once on store.
template <typename T>
void MulPairs(const T* src, T* srcDst, int32_t pairs) {
    for (int32_t k = 0; k < pairs; ++k) {
        const double a = src[2 * k], b = src[2 * k + 1];
        const double c = srcDst[2 * k], d = srcDst[2 * k + 1];
        srcDst[2 * k] = static_cast<T>(a * c - b * d);
        srcDst[2 * k + 1] = static_cast<T>(b * c + a * d);
    }
}

}  // namespace Prim::FftX87
