// The radix-4 pass of the x87 build, on complex doubles and on complex floats alike, held
// interleaved or in split arrays.
#include <Primitives/Prim/Fft/FftKernelsF64X87.h>

#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftKernelsF32.h>

#include <bit>

namespace Prim {
namespace {

using namespace FftX87;

// Radix-4 butterfly on values at a, a + q, a + 2q, a + 3q, the second and third being the
// sub-transforms of residues 2 and 1. Forward: the second output takes -i, the fourth +i;
// the inverse exchanges them (its roots come conjugated).
template <bool Inverse, class V>
inline void Combine4(V v, uint64_t a, uint64_t q, Cplx x, Cplx t1, Cplx t2, Cplx t3) {
    const Cplx s0 = x + t1, s1 = x - t1;
    const Cplx s2 = t2 + t3, s3 = t2 - t3;
    const Cplx r = TimesMinusI(s3);
    v.Put(a, s0 + s2);
    v.Put(a + 2 * q, s0 - s2);
    v.Put(a + q, Inverse ? s1 - r : s1 + r);
    v.Put(a + 3 * q, Inverse ? s1 + r : s1 - r);
}

template <bool Inverse, class V>
inline void Butterfly4(V v, uint64_t a, uint64_t q, const Root& w1, const Root& w2, const Root& w3) {
    Combine4<Inverse>(v, a, q, v.Get(a), Mul(v.Get(a + q), w2), Mul(v.Get(a + 2 * q), w1), Mul(v.Get(a + 3 * q), w3));
}

template <bool Inverse, class V>
inline void Butterfly4Unit(V v, uint64_t a, uint64_t q) {
    Combine4<Inverse>(v, a, q, v.Get(a), v.Get(a + q), v.Get(a + 2 * q), v.Get(a + 3 * q));
}

// The span-4 stage and, for odd orders, the span-8 radix-2 stage in one sweep: each group
// of eight values is loaded once and passes through both stages in registers.
template <bool Inverse>
inline void Unit4(Cplx& z0, Cplx& z1, Cplx& z2, Cplx& z3) {
    const Cplx s0 = z0 + z1, s1 = z0 - z1;
    const Cplx s2 = z2 + z3, s3 = z2 - z3;
    const Cplx r = TimesMinusI(s3);
    z0 = s0 + s2;
    z2 = s0 - s2;
    z1 = Inverse ? s1 - r : s1 + r;
    z3 = Inverse ? s1 + r : s1 - r;
}

template <bool Inverse, class V, typename Tw>
void Span4And8(V v, uint32_t count, uint64_t total, const Tw* twiddles) {
    using T = typename V::Element;
    // W_8^1 = (h, -h) is entry count/8 of the table; W_8^2 = -i and W_8^3 = (-h, -h) follow.
    const double h = twiddles[6 * (count / 8)];
    const double hi = twiddles[6 * (count / 8) + 1];
    const Root w1 = MakeRoot<Inverse>(h, hi);
    const Root w3 = MakeRoot<Inverse>(-h, hi);
    for (uint64_t g = 0; g < total; g += 8) {
        Cplx a0 = v.Get(g), a1 = v.Get(g + 1), a2 = v.Get(g + 2), a3 = v.Get(g + 3);
        Cplx b0 = v.Get(g + 4), b1 = v.Get(g + 5), b2 = v.Get(g + 6), b3 = v.Get(g + 7);
        Unit4<Inverse>(a0, a1, a2, a3);
        Unit4<Inverse>(b0, b1, b2, b3);
        // The span-4 results are stored values of the stage-by-stage walk.
        a0 = Stored<T>(a0), a1 = Stored<T>(a1), a2 = Stored<T>(a2), a3 = Stored<T>(a3);
        b0 = Stored<T>(b0), b1 = Stored<T>(b1), b2 = Stored<T>(b2), b3 = Stored<T>(b3);
        const Cplx t1 = Mul(b1, w1);
        const Cplx t2 = Inverse ? TimesI(b2) : TimesMinusI(b2);
        const Cplx t3 = Mul(b3, w3);
        v.Put(g, a0 + b0);
        v.Put(g + 1, a1 + t1);
        v.Put(g + 2, a2 + t2);
        v.Put(g + 3, a3 + t3);
        v.Put(g + 4, a0 - b0);
        v.Put(g + 5, a1 - t1);
        v.Put(g + 6, a2 - t2);
        v.Put(g + 7, a3 - t3);
    }
}

// The radix-2 stage of span `count` that closes an odd order: offset j takes W^j for j below
// a quarter of the span and -i W^(j - count/4) above (conjugated and +i in the inverse).
template <bool Inverse, class V, typename Tw>
void LastRadix2(V v, uint32_t count, uint64_t total, const Tw* twiddles) {
    const uint64_t h = count / 2;
    for (uint64_t j = 0; j < h; ++j) {
        const bool turned = j >= h / 2;
        const Root w = LoadRoot<Inverse>(twiddles + 6 * (turned ? j - h / 2 : j));
        for (uint64_t g = j; g < total; g += count) {
            Cplx t = Mul(v.Get(g + h), w);
            if (turned) t = Inverse ? TimesI(t) : TimesMinusI(t);
            const Cplx u = v.Get(g);
            v.Put(g, u + t);
            v.Put(g + h, u - t);
        }
    }
}

// Transforms `vectors` consecutive vectors of `count` values each. Every stage works on
// groups of its span, so the vectors simply add groups: each root serves all of them. An
// odd order takes its radix-2 stage second (span 8) or, with Radix2Last, at the end.
template <bool Inverse, bool Radix2Last = false, class V, typename Tw>
void RadixPass(V v, uint32_t count, uint32_t vectors, const Tw* twiddles) {
    const uint64_t total = uint64_t{count} * vectors;
    if (count < 4) {
        if (count == 2) {
            for (uint64_t g = 0; g < total; g += 2) {
                const Cplx z0 = v.Get(g), z1 = v.Get(g + 1);
                v.Put(g, z0 + z1);
                v.Put(g + 1, z0 - z1);
            }
        }
        return;
    }
    const bool odd = std::countr_zero(count) % 2 != 0;
    uint32_t span = 16;
    if (odd && !Radix2Last) {
        Span4And8<Inverse>(v, count, total, twiddles);
        span = 32;
    } else {
        for (uint64_t g = 0; g < total; g += 4) Butterfly4Unit<Inverse>(v, g, 1);
    }
    const uint32_t radix4End = odd && Radix2Last ? count / 2 : count;
    for (; span <= radix4End; span *= 4) {
        const uint32_t quarter = span / 4;
        const uint32_t step = 6 * (count / span);
        // Butterfly j of every group uses the same roots: prepare them once per j.
        for (uint64_t g = 0; g < total; g += span) Butterfly4Unit<Inverse>(v, g, quarter);
        const Tw* w = twiddles + step;
        for (uint32_t j = 1; j < quarter; ++j, w += step) {
            const Root w1 = LoadRoot<Inverse>(w), w2 = LoadRoot<Inverse>(w + 2), w3 = LoadRoot<Inverse>(w + 4);
            for (uint64_t g = 0; g < total; g += span) Butterfly4<Inverse>(v, g + j, quarter, w1, w2, w3);
        }
    }
    if (odd && Radix2Last) LastRadix2<Inverse>(v, count, total, twiddles);
}

template <bool Inverse, typename T>
void RadixPairs(T* data, uint32_t count, uint32_t vectors, const T* twiddles) {
    RadixPass<Inverse>(PairsView<T>{data}, count, vectors, twiddles);
}

}  // namespace

void FftRadixVectorsFwdF64_x87(double* data, uint32_t count, uint32_t vectors, const double* twiddles) {
    RadixPairs<false>(data, count, vectors, twiddles);
}

void FftRadixVectorsInvF64_x87(double* data, uint32_t count, uint32_t vectors, const double* twiddles) {
    RadixPairs<true>(data, count, vectors, twiddles);
}

void FftRadixSplitFwdF64_x87(double* re, double* im, uint32_t count, const double* twiddles) {
    RadixPass<false, true>(SplitView{re, im}, count, 1, twiddles);
}

void FftRadixSplitInvF64_x87(double* re, double* im, uint32_t count, const double* twiddles) {
    RadixPass<true, true>(SplitView{re, im}, count, 1, twiddles);
}

void FftScaleF64_x87(double factor, double* data, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) data[i] *= factor;
}

void FftRadixFwdF32_x87(float* data, uint32_t count, const float* twiddles) {
    RadixPairs<false>(data, count, 1, twiddles);
}

void FftRadixInvF32_x87(float* data, uint32_t count, const float* twiddles) {
    RadixPairs<true>(data, count, 1, twiddles);
}

void FftRadixVectorsFwdF32_x87(float* data, uint32_t count, uint32_t vectors, const float* twiddles) {
    RadixPairs<false>(data, count, vectors, twiddles);
}

void FftRadixVectorsInvF32_x87(float* data, uint32_t count, uint32_t vectors, const float* twiddles) {
    RadixPairs<true>(data, count, vectors, twiddles);
}

void FftScaleF32_x87(float factor, float* data, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) data[i] *= factor;
}

}  // namespace Prim
