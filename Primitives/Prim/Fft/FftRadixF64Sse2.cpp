// SSE2 radix passes: the span-4 stage (and the span-8 stage for odd orders) in one first
// sweep that also converts to the paired layout, then radix-4 stages on the paired values,
// each with its own section of the twiddle table; the last stage writes the result.
#include <Primitives/Prim/Fft/FftKernelsF64Sse2.h>

#include <Primitives/Prim/Fft/FftComplexF64Sse2.h>

#include <bit>

namespace Prim {
namespace {

using namespace FftPair;

constexpr double SqrtHalf = 0.7071067811865476;

template <bool Inverse>
inline void Unit4(__m128d* z) {
    const __m128d s0 = _mm_add_pd(z[0], z[1]), s1 = _mm_sub_pd(z[0], z[1]);
    const __m128d s2 = _mm_add_pd(z[2], z[3]), s3 = _mm_sub_pd(z[2], z[3]);
    const __m128d r = TimesMinusI(s3);
    z[0] = _mm_add_pd(s0, s2);
    z[2] = _mm_sub_pd(s0, s2);
    z[1] = Inverse ? _mm_sub_pd(s1, r) : _mm_add_pd(s1, r);
    z[3] = Inverse ? _mm_add_pd(s1, r) : _mm_sub_pd(s1, r);
}

// W_8^1 and W_8^3 of the span-8 stage; W_8^2 = -i is applied by exchanging parts.
struct Span8Roots {
    Root w1;
    Root w3;
};

template <bool Inverse>
Span8Roots MakeSpan8Roots(uint32_t count, const double* twiddles) {
    double re = SqrtHalf, im = -SqrtHalf;
    if (count >= 32) {  // W_32^4 of the first section (stage order 5); a table of order 3 is empty
        re = twiddles[24];
        im = twiddles[26];
    }
    return {MakeRoot<Inverse>(re, im), MakeRoot<Inverse>(-re, im)};
}

template <bool Inverse>
inline void Span8(__m128d* a, const Span8Roots& w) {
    const __m128d t1 = Mul(a[5], w.w1);
    const __m128d t2 = Inverse ? TimesI(a[6]) : TimesMinusI(a[6]);
    const __m128d t3 = Mul(a[7], w.w3);
    const __m128d t0 = a[4];
    a[4] = _mm_sub_pd(a[0], t0);
    a[0] = _mm_add_pd(a[0], t0);
    a[5] = _mm_sub_pd(a[1], t1);
    a[1] = _mm_add_pd(a[1], t1);
    a[6] = _mm_sub_pd(a[2], t2);
    a[2] = _mm_add_pd(a[2], t2);
    a[7] = _mm_sub_pd(a[3], t3);
    a[3] = _mm_add_pd(a[3], t3);
}

template <bool Inverse, bool Odd>
inline void FirstStages(__m128d* z, const Span8Roots& w) {
    Unit4<Inverse>(z);
    if (Odd) {
        Unit4<Inverse>(z + 4);
        Span8<Inverse>(z, w);
    }
}

// Writes four values at value index v: paired into the aligned target of the stages, or as
// the final result.
struct ToTarget {
    double* target;
    void operator()(uint64_t v, const __m128d* z) const {
        Join(z[0], z[1]).Store(target + 2 * v);
        Join(z[2], z[3]).Store(target + 2 * v + 4);
    }
};

template <Layout Out>
struct ToResult {
    double* dst;
    void operator()(uint64_t v, const __m128d* z) const {
        Put<Out>(dst + 2 * v, Join(z[0], z[1]));
        Put<Out>(dst + 2 * v + 4, Join(z[2], z[3]));
    }
};

// Where the first sweep reads value i: interleaved pairs, or the two split arrays.
struct PairsSource {
    const double* data;
    __m128d operator()(uint64_t i) const { return _mm_loadu_pd(data + 2 * i); }
};

struct SplitSource {
    const double* re;
    const double* im;
    __m128d operator()(uint64_t i) const { return _mm_set_pd(im[i], re[i]); }
};

// First sweep over values already in bit-reversed order.
template <bool Inverse, bool Odd, class Source, class Writer>
void SweepInOrder(const Source& src, uint32_t count, const Span8Roots& w, Writer put) {
    constexpr int Group = Odd ? 8 : 4;
    for (uint64_t v = 0; v < count; v += Group) {
        __m128d z[8];
        for (int i = 0; i < Group; ++i) z[i] = src(v + i);
        FirstStages<Inverse, Odd>(z, w);
        put(v, z);
        if (Odd) put(v + 4, z + 4);
    }
}

// First sweep reading src through the bit-reversal table: entry i = 2 rev(i) places
// src[2 rev(i) + a + b h] at 2i + b + a h (h = count / 2), so each entry feeds both halves.
template <bool Inverse, bool Odd, class Source, class Writer>
void SweepGather(const Source& src, uint32_t count, const int32_t* table, const Span8Roots& w, Writer put) {
    constexpr int Entries = Odd ? 4 : 2;
    const uint64_t h = count / 2;
    for (uint64_t i = 0; i < count / 4; i += Entries) {
        __m128d a[8], b[8];
        for (int e = 0; e < Entries; ++e) {
            const uint64_t s = static_cast<uint64_t>(table[i + e]);
            a[2 * e] = src(s);
            b[2 * e] = src(s + 1);
            a[2 * e + 1] = src(s + h);
            b[2 * e + 1] = src(s + h + 1);
        }
        FirstStages<Inverse, Odd>(a, w);
        FirstStages<Inverse, Odd>(b, w);
        put(2 * i, a);
        put(2 * i + h, b);
        if (Odd) {
            put(2 * i + 4, a + 4);
            put(2 * i + h + 4, b + 4);
        }
    }
}

// Eight values: the permutation is fixed and there is no radix-4 stage.
template <bool Inverse, Layout Out, class Source>
void Eight(const Source& src, bool reversed, double* dst) {
    static constexpr int Reversal[8] = {0, 4, 2, 6, 1, 5, 3, 7};
    __m128d z[8];
    for (int i = 0; i < 8; ++i) z[i] = src(reversed ? i : Reversal[i]);
    FirstStages<Inverse, true>(z, MakeSpan8Roots<Inverse>(8, nullptr));
    ToResult<Out>{dst}(0, z);
    ToResult<Out>{dst}(4, z + 4);
}

// The radix-4 stages from `span` on, in the target; the last one writes dst.
template <bool Inverse, Layout Out>
void Stages(double* target, double* dst, uint32_t count, uint32_t span, const double* twiddles) {
    const double* section = twiddles;
    for (; span <= count; span *= 4) {
        const uint64_t q = span / 4;
        const bool last = 4 * uint64_t{span} > count;
        for (uint64_t base = 0; base < count; base += span) {
            const double* w = section;
            for (uint64_t j = base; j < base + q; j += 2, w += 12) {
                double* p = target + 2 * j;
                Pair a = Pair::Load(p), b = Pair::Load(p + 2 * q), c = Pair::Load(p + 4 * q), d = Pair::Load(p + 6 * q);
                Radix4<Inverse>(a, b, c, d, w);
                if (last) {
                    double* o = dst + 2 * j;
                    Put<Out>(o, a);
                    Put<Out>(o + 2 * q, b);
                    Put<Out>(o + 4 * q, c);
                    Put<Out>(o + 6 * q, d);
                } else {
                    a.Store(p);
                    b.Store(p + 2 * q);
                    c.Store(p + 4 * q);
                    d.Store(p + 6 * q);
                }
            }
        }
        section += 6 * q;
    }
}

template <bool Inverse, Layout Out, bool Odd, class Source>
void Pass(
    const Source& src, const int32_t* table, double* target, double* dst, uint32_t count, const double* twiddles) {
    const Span8Roots w = MakeSpan8Roots<Inverse>(count, twiddles);
    if (table)
        SweepGather<Inverse, Odd>(src, count, table, w, ToTarget{target});
    else
        SweepInOrder<Inverse, Odd>(src, count, w, ToTarget{target});
    Stages<Inverse, Out>(target, dst, count, Odd ? 32 : 16, twiddles);
}

// table: null when src is already in bit-reversed order.
template <bool Inverse, class Source>
void Run(const Source& src, const int32_t* table, double* target, double* dst, uint32_t count, const double* twiddles,
    Layout out) {
    const bool odd = std::countr_zero(count) % 2 != 0;
    if (count == 8) {
        if (out == Layout::Interleaved)
            Eight<Inverse, Layout::Interleaved>(src, table == nullptr, dst);
        else
            Eight<Inverse, Layout::Paired>(src, table == nullptr, dst);
    } else if (out == Layout::Interleaved) {
        if (odd)
            Pass<Inverse, Layout::Interleaved, true>(src, table, target, dst, count, twiddles);
        else
            Pass<Inverse, Layout::Interleaved, false>(src, table, target, dst, count, twiddles);
    } else if (odd) {
        Pass<Inverse, Layout::Paired, true>(src, table, target, dst, count, twiddles);
    } else {
        Pass<Inverse, Layout::Paired, false>(src, table, target, dst, count, twiddles);
    }
}

Layout LayoutOf(bool interleaved) { return interleaved ? Layout::Interleaved : Layout::Paired; }

// Split arrays through the aligned buffer: the stages leave it paired, which holds two
// neighbouring real parts, then their imaginary parts, ready for the two arrays.
template <bool Inverse>
void RunSplit(const double* srcRe, const double* srcIm, const int32_t* table, double* dstRe, double* dstIm,
    uint32_t count, const double* twiddles, double* buffer) {
    Run<Inverse>(SplitSource{srcRe, srcIm}, table, buffer, buffer, count, twiddles, Layout::Paired);
    for (uint64_t i = 0; i < count; i += 2) {
        _mm_storeu_pd(dstRe + i, _mm_load_pd(buffer + 2 * i));
        _mm_storeu_pd(dstIm + i, _mm_load_pd(buffer + 2 * i + 2));
    }
}

}  // namespace

void FftRadixFwdF64_sse2(double* data, uint32_t count, const double* twiddles, double* buffer, bool interleaved) {
    Run<false>(
        PairsSource{data}, nullptr, Aligned16(data) ? data : buffer, data, count, twiddles, LayoutOf(interleaved));
}

void FftRadixInvF64_sse2(double* data, uint32_t count, const double* twiddles, double* buffer, bool interleaved) {
    Run<true>(
        PairsSource{data}, nullptr, Aligned16(data) ? data : buffer, data, count, twiddles, LayoutOf(interleaved));
}

void FftBitRevRadixFwdF64_sse2(
    const double* src, double* dst, uint32_t count, const double* twiddles, const int32_t* bitRev, double* buffer) {
    double* target = src != dst && Aligned16(dst) ? dst : buffer;
    Run<false>(PairsSource{src}, bitRev, target, dst, count, twiddles, Layout::Interleaved);
}

void FftBitRevRadixInvF64_sse2(
    const double* src, double* dst, uint32_t count, const double* twiddles, const int32_t* bitRev, double* buffer) {
    double* target = src != dst && Aligned16(dst) ? dst : buffer;
    Run<true>(PairsSource{src}, bitRev, target, dst, count, twiddles, Layout::Interleaved);
}

void FftBitRevRadixSplitFwdF64_sse2(const double* srcRe, const double* srcIm, double* dstRe, double* dstIm,
    uint32_t count, const double* twiddles, const int32_t* bitRev, double* buffer) {
    RunSplit<false>(srcRe, srcIm, bitRev, dstRe, dstIm, count, twiddles, buffer);
}

void FftBitRevRadixSplitInvF64_sse2(const double* srcRe, const double* srcIm, double* dstRe, double* dstIm,
    uint32_t count, const double* twiddles, const int32_t* bitRev, double* buffer) {
    RunSplit<true>(srcRe, srcIm, bitRev, dstRe, dstIm, count, twiddles, buffer);
}

void FftRadixSplitLeafFwdF64_sse2(double* re, double* im, uint32_t count, const double* twiddles, double* buffer) {
    RunSplit<false>(re, im, nullptr, re, im, count, twiddles, buffer);
}

void FftRadixSplitLeafInvF64_sse2(double* re, double* im, uint32_t count, const double* twiddles, double* buffer) {
    RunSplit<true>(re, im, nullptr, re, im, count, twiddles, buffer);
}

void FftScaleF64_sse2(double factor, double* data, uint32_t count) {
    const __m128d f = _mm_set1_pd(factor);
    uint32_t i = 0;
    for (; i + 2 <= count; i += 2) _mm_storeu_pd(data + i, _mm_mul_pd(_mm_loadu_pd(data + i), f));
    for (; i < count; ++i) data[i] *= factor;
}

}  // namespace Prim
