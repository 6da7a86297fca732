// W complex doubles side by side (W = 2 or 4): the real parts of all in one vector, the
// imaginary parts in another. A complex sum is then two vector operations and a product four
// multiplications and two sums, with no shuffling, so the passes of the portable double
// transform run W sub-transforms (or W butterflies) at once, one per lane. Each lane rounds
// exactly as the interleaved forms of FftComplexX87.h: only the packing differs.
//
// In memory a run of such values lies in two planes: value n's real parts at re + W n, its
// imaginary parts at im + W n.
//
// No include guard: FftPassesX87.h includes this once per copy of the passes, inside the
// copy's namespace, with FFT_X87_WIDTH naming the copy's W.

#include <Primitives/Prim/Fft/FftComplexX87.h>

#include <cstdint>

namespace Prim::FftX87::FFT_X87_COPY {

inline constexpr int W = FFT_X87_WIDTH;
static_assert(W == 2 || W == 4);

typedef double Vec __attribute__((vector_size(8 * W)));
typedef long long Mask __attribute__((vector_size(8 * W)));  // lanes all ones or all zeros

struct Lanes {
    Vec re;
    Vec im;
};

inline Lanes operator+(Lanes a, Lanes b) { return {a.re + b.re, a.im + b.im}; }
inline Lanes operator-(Lanes a, Lanes b) { return {a.re - b.re, a.im - b.im}; }

inline Vec LoadVec(const double* p) {
    Vec v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

inline void StoreVec(double* p, Vec v) { __builtin_memcpy(p, &v, sizeof v); }

inline Vec Splat(double x) {
#if FFT_X87_WIDTH == 2
    return Vec{x, x};
#else
    return Vec{x, x, x, x};
#endif
}

// One root (re, im) for every lane.
inline Lanes Broadcast(Cplx w) { return {Splat(w[0]), Splat(w[1])}; }

// Lanes l and l + W/2 exchanged.
inline Vec SwapHalves(Vec v) {
#if FFT_X87_WIDTH == 2
    return __builtin_shufflevector(v, v, 1, 0);
#else
    return __builtin_shufflevector(v, v, 2, 3, 0, 1);
#endif
}
inline Lanes SwapHalves(Lanes d) { return {SwapHalves(d.re), SwapHalves(d.im)}; }

// Lane l from the pair of doubles at p[l]: its first double in re, its second in im.
inline Lanes Pick(const double* const (&p)[W]) {
#if FFT_X87_WIDTH == 2
    const Cplx a = Load(p[0]), b = Load(p[1]);
    return {__builtin_shufflevector(a, b, 0, 2), __builtin_shufflevector(a, b, 1, 3)};
#else
    const Vec x = __builtin_shufflevector(Load(p[0]), Load(p[2]), 0, 1, 2, 3);
    const Vec y = __builtin_shufflevector(Load(p[1]), Load(p[3]), 0, 1, 2, 3);
    return {__builtin_shufflevector(x, y, 0, 4, 2, 6), __builtin_shufflevector(x, y, 1, 5, 3, 7)};
#endif
}

// Lane l as the (re, im) value at p[l]. Two lanes go out as four 8-byte stores, which cost
// less than turning the lanes into values first.
inline void Scatter(double* const (&p)[W], Lanes d) {
#if FFT_X87_WIDTH == 2
    p[0][0] = d.re[0];
    p[0][1] = d.im[0];
    p[1][0] = d.re[1];
    p[1][1] = d.im[1];
#else
    const Vec x = __builtin_shufflevector(d.re, d.im, 0, 4, 2, 6);
    const Vec y = __builtin_shufflevector(d.re, d.im, 1, 5, 3, 7);
    Store(p[0], __builtin_shufflevector(x, x, 0, 1));
    Store(p[2], __builtin_shufflevector(x, x, 2, 3));
    Store(p[1], __builtin_shufflevector(y, y, 0, 1));
    Store(p[3], __builtin_shufflevector(y, y, 2, 3));
#endif
}

// Pick and Scatter with the address of lane l given by at(l).
template <class At>
__attribute__((always_inline)) inline Lanes PickEach(At at) {
#if FFT_X87_WIDTH == 2
    return Pick({at(0), at(1)});
#else
    return Pick({at(0), at(1), at(2), at(3)});
#endif
}

template <class Test>
__attribute__((always_inline)) inline Mask MaskEach(Test test) {
#if FFT_X87_WIDTH == 2
    return Mask{test(0) ? -1 : 0, test(1) ? -1 : 0};
#else
    return Mask{test(0) ? -1 : 0, test(1) ? -1 : 0, test(2) ? -1 : 0, test(3) ? -1 : 0};
#endif
}

template <class At>
__attribute__((always_inline)) inline void ScatterEach(At at, Lanes d) {
#if FFT_X87_WIDTH == 2
    Scatter({at(0), at(1)}, d);
#else
    Scatter({at(0), at(1), at(2), at(3)}, d);
#endif
}

// W consecutive (re, im) values from p: lane l holds value rev(l) (the lane index with its
// bits reversed: 0, 1 for two lanes, 0, 2, 1, 3 for four), the order in which whole vectors
// of values come apart most cheaply. StoreRun writes them back in place.
inline Lanes LoadRun(const double* p) {
#if FFT_X87_WIDTH == 2
    return Pick({p, p + 2});
#else
    const Vec x = LoadVec(p), y = LoadVec(p + 4);
    return {__builtin_shufflevector(x, y, 0, 4, 2, 6), __builtin_shufflevector(x, y, 1, 5, 3, 7)};
#endif
}

inline void StoreRun(double* p, Lanes d) {
#if FFT_X87_WIDTH == 2
    Store(p, __builtin_shufflevector(d.re, d.im, 0, 2));
    Store(p + 2, __builtin_shufflevector(d.re, d.im, 1, 3));
#else
    StoreVec(p, __builtin_shufflevector(d.re, d.im, 0, 4, 2, 6));
    StoreVec(p + 4, __builtin_shufflevector(d.re, d.im, 1, 5, 3, 7));
#endif
}

// Where LoadRun puts value i of a run (i < W): rev(i).
inline constexpr int RunLane(int i) { return W == 2 ? i : (i & 1) * 2 + (i >> 1); }

// b times w, or times conj w: (br wr - bi wi, bi wr + br wi) as Mul of FftComplexX87.h.
template <bool Conjugate>
inline Lanes Mul(Lanes b, Lanes w) {
    if (Conjugate) return {b.re * w.re + b.im * w.im, b.im * w.re - b.re * w.im};
    return {b.re * w.re - b.im * w.im, b.im * w.re + b.re * w.im};
}

// Radix-4 butterfly on a, b, c, d at j, j + q, j + 2q, j + 3q, the roots already applied
// (b carries the sub-transform of residue 2, c that of residue 1). Forward: the second output
// takes -i (c - d), the fourth +i (c - d); the inverse exchanges them.
template <bool Inverse>
inline void Butterfly4(Lanes& a, Lanes& b, Lanes& c, Lanes& d) {
    const Lanes s0 = a + b, s1 = a - b;
    const Lanes s2 = c + d, s3 = c - d;
    a = s0 + s2;
    c = s0 - s2;
    const Lanes minus = {s1.re + s3.im, s1.im - s3.re};  // s1 - i s3
    const Lanes plus = {s1.re - s3.im, s1.im + s3.re};  // s1 + i s3
    b = Inverse ? plus : minus;
    d = Inverse ? minus : plus;
}

// u + t and u - t with t = w l, t turned by -i (forward; +i inverse) when Turned, as the
// combine stages round them.
template <bool Inverse, bool Turned>
inline void Butterfly2(Lanes& u, Lanes& l, Lanes w) {
    const Lanes t = Mul<Inverse>(l, w);
    if constexpr (!Turned) {
        l = u - t;
        u = u + t;
    } else {
        const Lanes minus = {u.re + t.im, u.im - t.re};  // u - i t
        const Lanes plus = {u.re - t.im, u.im + t.re};  // u + i t
        u = Inverse ? plus : minus;
        l = Inverse ? minus : plus;
    }
}

// Lanes l < W/2 of a, the others of b.
inline Vec LowHalfOf(Vec a, Vec b) {
#if FFT_X87_WIDTH == 2
    return __builtin_shufflevector(a, b, 0, 3);
#else
    return __builtin_shufflevector(a, b, 0, 1, 6, 7);
#endif
}

// Butterfly2 turned in the lanes where `turned` is set and plain in the others; without a
// mask, turned in the upper half of the lanes.
template <bool Inverse>
inline void Butterfly2Turned(Lanes& u, Lanes& l, Lanes w, const Mask* turned = nullptr) {
    const Lanes t = Mul<Inverse>(l, w);
    const Lanes r = Inverse ? Lanes{-t.im, t.re} : Lanes{t.im, -t.re};  // t turned: -i t, or +i t
    const Lanes s = turned ? Lanes{*turned ? r.re : t.re, *turned ? r.im : t.im}
                           : Lanes{LowHalfOf(t.re, r.re), LowHalfOf(t.im, r.im)};
    l = u - s;
    u = u + s;
}

// The real post-processing of Z_k = z and Z_(M-k) = y into X_k = lo and X_(M-k) = hi with the
// table's pair (p, q) of each lane, rounded as the interleaved form of PostOne:
// D = z - conj y, (t, u) = q D - i p D, X_k = (t, u) + conj y, X_(M-k) = conj(z - (t, u)).
inline void PostPair(Lanes z, Lanes y, Vec p, Vec q, Lanes& lo, Lanes& hi) {
    const Vec dr = z.re - y.re, di = z.im + y.im;
    const Vec t = dr * q + di * p;
    const Vec u = di * q - dr * p;
    lo = {t + y.re, u - y.im};
    hi = {z.re - t, -(z.im - u)};
}

}  // namespace Prim::FftX87::FFT_X87_COPY
