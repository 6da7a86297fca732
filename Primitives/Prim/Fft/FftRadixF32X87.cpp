// The radix-4 pass of the x87 build of the 32-bit transform, and its scaling.
#include <Primitives/Prim/Fft/FftKernelsF32.h>

#include <Primitives/Prim/Fft/FftComplexF32X87.h>

#include <bit>

namespace Prim {
namespace {

using namespace FftX87;

// Radix-4 butterfly on values a, b, c, d at quarter-span distance, b and c being the
// sub-transforms of residues 2 and 1. Forward: the second output takes -i, the fourth +i;
// the inverse exchanges them (its roots come conjugated).
template <bool Inverse>
inline void Combine4(float* pa, float* pb, float* pc, float* pd, Cplx a, Cplx t1, Cplx t2, Cplx t3) {
    const Cplx s0 = a + t1, s1 = a - t1;
    const Cplx s2 = t2 + t3, s3 = t2 - t3;
    const Cplx r = TimesMinusI(s3);
    StoreF32(pa, s0 + s2);
    StoreF32(pc, s0 - s2);
    StoreF32(pb, Inverse ? s1 - r : s1 + r);
    StoreF32(pd, Inverse ? s1 + r : s1 - r);
}

template <bool Inverse>
inline void Butterfly4(float* a, float* b, float* c, float* d, const Root& w1, const Root& w2, const Root& w3) {
    Combine4<Inverse>(a, b, c, d, LoadF32(a), Mul(LoadF32(b), w2), Mul(LoadF32(c), w1), Mul(LoadF32(d), w3));
}

template <bool Inverse>
inline void Butterfly4Unit(float* a, float* b, float* c, float* d) {
    Combine4<Inverse>(a, b, c, d, LoadF32(a), LoadF32(b), LoadF32(c), LoadF32(d));
}

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

// The span-4 stage and, for odd orders, the span-8 radix-2 stage in one sweep. W_8^1 is
// entry count/8 of the table; W_8^2 = -i and W_8^3 = (-c, -c) follow from it.
template <bool Inverse>
void Span4And8(float* data, uint32_t count, uint64_t total, const float* twiddles) {
    const double h = twiddles[6 * (count / 8)];
    const double hi = twiddles[6 * (count / 8) + 1];
    const Root w1 = MakeRoot<Inverse>(h, hi);
    const Root w3 = MakeRoot<Inverse>(-h, hi);
    for (uint64_t g = 0; g < total; g += 8) {
        float* a = data + 2 * g;
        Cplx a0 = LoadF32(a), a1 = LoadF32(a + 2), a2 = LoadF32(a + 4), a3 = LoadF32(a + 6);
        Cplx b0 = LoadF32(a + 8), b1 = LoadF32(a + 10), b2 = LoadF32(a + 12), b3 = LoadF32(a + 14);
        Unit4<Inverse>(a0, a1, a2, a3);
        Unit4<Inverse>(b0, b1, b2, b3);
        // The first stage's results are stored values: round them before the second.
        a0 = RoundToFloat(a0), a1 = RoundToFloat(a1), a2 = RoundToFloat(a2), a3 = RoundToFloat(a3);
        b0 = RoundToFloat(b0), b1 = RoundToFloat(b1), b2 = RoundToFloat(b2), b3 = RoundToFloat(b3);
        const Cplx t1 = Mul(b1, w1);
        const Cplx t2 = Inverse ? TimesI(b2) : TimesMinusI(b2);
        const Cplx t3 = Mul(b3, w3);
        StoreF32(a, a0 + b0);
        StoreF32(a + 2, a1 + t1);
        StoreF32(a + 4, a2 + t2);
        StoreF32(a + 6, a3 + t3);
        StoreF32(a + 8, a0 - b0);
        StoreF32(a + 10, a1 - t1);
        StoreF32(a + 12, a2 - t2);
        StoreF32(a + 14, a3 - t3);
    }
}

// Transforms `vectors` consecutive vectors of `count` values each: every stage works on
// groups of its span, so the vectors simply add groups and each root serves all of them.
template <bool Inverse>
void RadixPass(float* data, uint32_t count, uint32_t vectors, const float* twiddles) {
    const uint64_t total = uint64_t{count} * vectors;
    if (count < 4) {
        if (count == 2) {
            for (uint64_t g = 0; g < total; g += 2) {
                float* z = data + 2 * g;
                const Cplx z0 = LoadF32(z), z1 = LoadF32(z + 2);
                StoreF32(z, z0 + z1);
                StoreF32(z + 2, z0 - z1);
            }
        }
        return;
    }
    uint32_t span = 16;
    if (std::countr_zero(count) % 2 != 0) {
        Span4And8<Inverse>(data, count, total, twiddles);
        span = 32;
    } else {
        for (uint64_t g = 0; g < total; g += 4) {
            float* z = data + 2 * g;
            Butterfly4Unit<Inverse>(z, z + 2, z + 4, z + 6);
        }
    }
    for (; span <= count; span *= 4) {
        const uint32_t quarter = span / 4;
        const uint32_t step = 6 * (count / span);
        for (uint64_t g = 0; g < total; g += span) {
            float* a = data + 2 * g;
            Butterfly4Unit<Inverse>(a, a + 2 * quarter, a + 4 * quarter, a + 6 * quarter);
        }
        const float* w = twiddles + step;
        for (uint32_t j = 1; j < quarter; ++j, w += step) {
            const Root w1 = LoadRootF32<Inverse>(w), w2 = LoadRootF32<Inverse>(w + 2), w3 = LoadRootF32<Inverse>(w + 4);
            for (uint64_t g = 0; g < total; g += span) {
                float* a = data + 2 * (g + j);
                Butterfly4<Inverse>(a, a + 2 * quarter, a + 4 * quarter, a + 6 * quarter, w1, w2, w3);
            }
        }
    }
}

}  // namespace

void FftRadixFwdF32_x87(float* data, uint32_t count, const float* twiddles) {
    RadixPass<false>(data, count, 1, twiddles);
}

void FftRadixInvF32_x87(float* data, uint32_t count, const float* twiddles) {
    RadixPass<true>(data, count, 1, twiddles);
}

void FftRadixVectorsFwdF32_x87(float* data, uint32_t count, uint32_t vectors, const float* twiddles) {
    RadixPass<false>(data, count, vectors, twiddles);
}

void FftRadixVectorsInvF32_x87(float* data, uint32_t count, uint32_t vectors, const float* twiddles) {
    RadixPass<true>(data, count, vectors, twiddles);
}

void FftScaleF32_x87(float factor, float* data, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) data[i] *= factor;
}

}  // namespace Prim
