// Fixed-point kernels of the real FFT on 16-bit samples, shared by both builds; where the
// builds round differently the caller passes its rounding.
#include <Primitives/Prim/Fft/FftKernelsS16.h>

#include <Primitives/Prim/Fft/FftMemory.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Prim {
namespace {

struct C {
    int32_t re;
    int32_t im;
};

// Wrap-around arithmetic on 32-bit words: every value computed exactly in 64 bits and
// taken modulo 2^32, which is what 32-bit two's-complement instructions leave.
inline int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }
inline int32_t Add(int32_t a, int32_t b) { return Wrap(int64_t{a} + b); }
inline int32_t Sub(int32_t a, int32_t b) { return Wrap(int64_t{a} - b); }
inline int32_t Neg(int32_t a) { return Wrap(-int64_t{a}); }
inline C Add(C a, C b) { return {Add(a.re, b.re), Add(a.im, b.im)}; }
inline C Sub(C a, C b) { return {Sub(a.re, b.re), Sub(a.im, b.im)}; }

inline int64_t Hi(int32_t x) { return x >> 16; }
inline int64_t LoHalf(int32_t x) { return (static_cast<uint32_t>(x) & 0xFFFFu) >> 1; }

// (x w1 + y w2) / 16384: high parts times 4, the two low products summed, rounded by r
// and shifted right by 13. The low sum stays within 31 bits, so only the end wraps.
inline int32_t Dot(int32_t x, int32_t y, int32_t w1, int32_t w2, int32_t r) {
    const int64_t high = 4 * (Hi(x) * w1 + Hi(y) * w2);
    const int64_t low = (LoHalf(x) * w1 + LoHalf(y) * w2 + r) >> 13;
    return Wrap(high + low);
}

// z times the conjugate root of the entry (c, s, -s, c).
inline C Mul(C z, const int16_t* e, int32_t r) {
    return {Dot(z.re, z.im, e[0], e[1], r), Dot(z.re, z.im, e[2], e[3], r)};
}

// (u + v) / sqrt(2) or (u - v) / sqrt(2) through 46340 (Q16) and 11585 (Q14).
inline int32_t HalfTurn(int32_t u, int32_t v, int sign, int32_t r) {
    const int64_t high = 46340 * (Hi(u) + sign * Hi(v));
    const int64_t low = (11585 * (LoHalf(u) + sign * LoHalf(v)) + r) >> 13;
    return Wrap(high + low);
}

inline C Get(const int32_t* d, uint64_t i) { return {d[2 * i], d[2 * i + 1]}; }
inline void Put(int32_t* d, uint64_t i, C z) {
    d[2 * i] = z.re;
    d[2 * i + 1] = z.im;
}

}  // namespace

int16_t* FftMakeSineTableS16(int order) {
    const uint64_t n = uint64_t{1} << order;
    const uint64_t quarter = n / 4;
    int16_t* table = FftAllocArray<int16_t>(quarter + 1);
    if (!table) return nullptr;
    const double h = 6.283185307179586 / static_cast<double>(n);
    for (uint64_t k = 0; k <= quarter; ++k) {
        const double v =
            8 * k <= n ? std::sin(static_cast<double>(k) * h) : std::cos(static_cast<double>(quarter - k) * h);
        table[k] = static_cast<int16_t>(static_cast<int32_t>(v * 16384.0 + 0.5));
    }
    return table;
}

int16_t* FftMakeTwiddleS16(int m, const int16_t* sine, int t) {
    const uint64_t p = uint64_t{1} << m;
    int16_t* table = FftAllocArray<int16_t>(4 * p);
    if (!table) return nullptr;
    if (p < 4) {
        std::memset(table, 0, 8 * p);
        return table;
    }
    const uint64_t r = uint64_t{1} << (t - m);
    const uint64_t q = p / 4;
    auto put = [table](uint64_t k, int32_t c, int32_t s) {
        int16_t* e = table + 4 * k;
        e[0] = static_cast<int16_t>(c);
        e[1] = static_cast<int16_t>(s);
        e[2] = static_cast<int16_t>(-s);
        e[3] = static_cast<int16_t>(c);
    };
    for (uint64_t k = 0; k < q; ++k) put(k, sine[(q - k) * r], sine[k * r]);
    for (uint64_t k = q; k < 2 * q; ++k) put(k, -table[4 * (k - q) + 1], table[4 * (k - q)]);
    for (uint64_t k = 2 * q; k < p; ++k) put(k, -table[4 * (k - 2 * q)], -table[4 * (k - 2 * q) + 1]);
    return table;
}

void FftLoadS16ToS32(const int16_t* src, int32_t* dst, uint32_t len, int shift) {
    for (uint32_t i = 0; i < len; ++i) dst[i] = Wrap(int64_t{src[i]} << shift);
}

void FftRadix4S32(int32_t* data, uint32_t count, const int16_t* twiddles, const FftS16Rounding& rounding) {
    const int32_t r = rounding.radix;
    uint64_t span = count;
    uint64_t stride = 1;
    for (; span > 2; span /= 4, stride *= 4) {
        const uint64_t q = span / 4;
        for (uint64_t g = 0; g < count; g += span) {
            for (uint64_t j = 0; j < q; ++j) {
                const uint64_t i = g + j;
                const C a0 = Get(data, i), a1 = Get(data, i + q), a2 = Get(data, i + 2 * q), a3 = Get(data, i + 3 * q);
                const C s02 = Add(a0, a2), s13 = Add(a1, a3);
                const C d = Sub(a0, a2), e = Sub(a1, a3);
                C p1 = Sub(s02, s13);
                C p2{Add(d.re, e.im), Sub(d.im, e.re)};  // d - i e
                C p3{Sub(d.re, e.im), Add(d.im, e.re)};  // d + i e
                if (j == 0) {
                } else if (8 * j == span) {
                    p1 = {p1.im, Neg(p1.re)};
                    const int32_t P1 = Add(d.im, e.im), P2 = Sub(d.re, e.re);
                    const int32_t P3 = Sub(d.im, e.im), P4 = Neg(Add(d.re, e.re));
                    p2 = {HalfTurn(P1, P2, 1, r), HalfTurn(P3, P4, 1, r)};
                    p3 = {HalfTurn(P1, P2, -1, r), HalfTurn(P4, P3, -1, r)};
                } else {
                    p1 = Mul(p1, twiddles + 4 * (2 * j * stride), r);
                    p2 = Mul(p2, twiddles + 4 * (j * stride), r);
                    p3 = Mul(p3, twiddles + 4 * (3 * j * stride), r);
                }
                Put(data, i, Add(s02, s13));
                Put(data, i + q, p1);
                Put(data, i + 2 * q, p2);
                Put(data, i + 3 * q, p3);
            }
        }
    }
    if (span == 2) {
        for (uint64_t p = 0; p < count; p += 2) {
            const C x0 = Get(data, p), x1 = Get(data, p + 1);
            Put(data, p, Add(x0, x1));
            Put(data, p + 1, Sub(x0, x1));
        }
    }
}

void FftRealPostS32(int32_t* data, uint32_t count, const int16_t* table, const FftS16Rounding& rounding) {
    for (uint64_t k = 1; k < count / 2; ++k) {
        const uint64_t m = count - k;
        const C z = Get(data, k), w = Get(data, m);
        const int32_t eRe = Add(z.re, w.re) >> 1, eIm = Sub(z.im, w.im) >> 1;
        const int32_t u = Sub(z.re, w.re) >> 1, v = Neg(Add(z.im, w.im) >> 1);
        const int16_t* e = table + 4 * k;
        const int32_t f1 = Dot(v, u, e[0], e[1], rounding.post);
        const int32_t f2 = Dot(v, u, e[2], e[3], rounding.post);
        Put(data, k, {Sub(eRe, f1), Sub(eIm, f2)});
        Put(data, m, {Add(eRe, f1), Neg(Add(eIm, f2))});
    }
    if (count >= 2) data[count + 1] = Neg(data[count + 1]);
}

void FftRealPreInvS32(int32_t* data, uint32_t count, const int16_t* table, const FftS16Rounding& rounding) {
    constexpr int32_t r = 4096;
    for (uint64_t k = 1; k < count / 2; ++k) {
        const uint64_t m = count - k;
        const C x = Get(data, k), y = Get(data, m);
        const int32_t d1 = Sub(x.re, y.re), d2 = Add(x.im, y.im);
        int32_t f1, f2;
        if (rounding.preFromEnd) {
            const int16_t* e = table + 4 * (2 * uint64_t{count} - k);
            f1 = Dot(Neg(d2), d1, e[0], e[1], r);
            f2 = Dot(Neg(d2), d1, e[2], e[3], r);
        } else {
            const int16_t* e = table + 4 * k;
            f1 = Dot(Neg(d1), Neg(d2), e[1], e[0], r);
            f2 = Dot(d1, d2, e[3], e[2], r);
        }
        const int32_t sum = Add(x.re, y.re);
        Put(data, k, {Sub(sum, f1), Add(Sub(y.im, x.im), f2)});
        Put(data, m, {Add(sum, f1), Add(Sub(x.im, y.im), f2)});
    }
    const C mid = Get(data, count / 2);
    Put(data, count / 2, {Wrap(2 * int64_t{mid.re}), Wrap(-2 * int64_t{mid.im})});
}

void FftScaleInvSqrt2S32(int32_t* data, uint32_t len) {
    for (uint32_t i = 0; i < len; ++i) {
        const int32_t x = data[i];
        data[i] = Wrap(46340 * Hi(x) + (((static_cast<uint32_t>(x) & 0xFFFFu) * 23170u) >> 15));
    }
}

int16_t FftNarrowS32ToS16(int32_t value, int64_t shift) {
    int64_t v = value;
    if (shift >= 32) return 0;
    if (shift > 0)
        v = (v + (int64_t{1} << (shift - 1))) >> shift;
    else if (shift < 0)
        v *= int64_t{1} << std::min<int64_t>(-shift, 16);
    return static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
}

void FftStoreS32ToS16(const int32_t* src, int16_t* dst, uint32_t len, int64_t shift) {
    for (uint32_t i = 0; i < len; ++i) dst[i] = FftNarrowS32ToS16(src[i], shift);
}

}  // namespace Prim
