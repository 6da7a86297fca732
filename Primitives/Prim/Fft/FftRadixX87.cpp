// The radix-4 pass of the x87 build, on complex doubles and on complex floats alike.
#include <Primitives/Prim/Fft/FftKernelsX87.h>

#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftKernelsF32.h>

#include <bit>

namespace Prim {
namespace {

using namespace FftX87;

// Radix-4 butterfly on values a, b, c, d at quarter-span distance, b and c being the
// sub-transforms of residues 2 and 1. Forward: the second output takes -i, the fourth +i;
// the inverse exchanges them (its roots come conjugated).
template <bool Inverse, typename T>
inline void Combine4(T* pa, T* pb, T* pc, T* pd, Cplx a, Cplx t1, Cplx t2, Cplx t3) {
    const Cplx s0 = a + t1, s1 = a - t1;
    const Cplx s2 = t2 + t3, s3 = t2 - t3;
    const Cplx r = TimesMinusI(s3);
    Store(pa, s0 + s2);
    Store(pc, s0 - s2);
    Store(pb, Inverse ? s1 - r : s1 + r);
    Store(pd, Inverse ? s1 + r : s1 - r);
}

template <bool Inverse, typename T>
inline void Butterfly4(T* a, T* b, T* c, T* d, const Root& w1, const Root& w2, const Root& w3) {
    Combine4<Inverse>(a, b, c, d, Load(a), Mul(Load(b), w2), Mul(Load(c), w1), Mul(Load(d), w3));
}

template <bool Inverse, typename T>
inline void Butterfly4Unit(T* a, T* b, T* c, T* d) {
    Combine4<Inverse>(a, b, c, d, Load(a), Load(b), Load(c), Load(d));
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

template <bool Inverse, typename T>
void Span4And8(T* data, uint32_t count, uint64_t total, const T* twiddles) {
    // W_8^1 = (h, -h) is entry count/8 of the table; W_8^2 = -i and W_8^3 = (-h, -h) follow.
    const double h = twiddles[6 * (count / 8)];
    const double hi = twiddles[6 * (count / 8) + 1];
    const Root w1 = MakeRoot<Inverse>(h, hi);
    const Root w3 = MakeRoot<Inverse>(-h, hi);
    for (uint64_t g = 0; g < total; g += 8) {
        T* a = data + 2 * g;
        Cplx a0 = Load(a), a1 = Load(a + 2), a2 = Load(a + 4), a3 = Load(a + 6);
        Cplx b0 = Load(a + 8), b1 = Load(a + 10), b2 = Load(a + 12), b3 = Load(a + 14);
        Unit4<Inverse>(a0, a1, a2, a3);
        Unit4<Inverse>(b0, b1, b2, b3);
        // The span-4 results are stored values of the stage-by-stage walk.
        a0 = Stored<T>(a0), a1 = Stored<T>(a1), a2 = Stored<T>(a2), a3 = Stored<T>(a3);
        b0 = Stored<T>(b0), b1 = Stored<T>(b1), b2 = Stored<T>(b2), b3 = Stored<T>(b3);
        const Cplx t1 = Mul(b1, w1);
        const Cplx t2 = Inverse ? TimesI(b2) : TimesMinusI(b2);
        const Cplx t3 = Mul(b3, w3);
        Store(a, a0 + b0);
        Store(a + 2, a1 + t1);
        Store(a + 4, a2 + t2);
        Store(a + 6, a3 + t3);
        Store(a + 8, a0 - b0);
        Store(a + 10, a1 - t1);
        Store(a + 12, a2 - t2);
        Store(a + 14, a3 - t3);
    }
}

// Transforms `vectors` consecutive vectors of `count` values each. Every stage works on
// groups of its span, so the vectors simply add groups: each root serves all of them.
template <bool Inverse, typename T>
void RadixPass(T* data, uint32_t count, uint32_t vectors, const T* twiddles) {
    const uint64_t total = uint64_t{count} * vectors;
    if (count < 4) {
        if (count == 2) {
            for (uint64_t g = 0; g < total; g += 2) {
                T* z = data + 2 * g;
                const Cplx z0 = Load(z), z1 = Load(z + 2);
                Store(z, z0 + z1);
                Store(z + 2, z0 - z1);
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
            T* z = data + 2 * g;
            Butterfly4Unit<Inverse>(z, z + 2, z + 4, z + 6);
        }
    }
    for (; span <= count; span *= 4) {
        const uint32_t quarter = span / 4;
        const uint32_t step = 6 * (count / span);
        // Butterfly j of every group uses the same roots: prepare them once per j.
        for (uint64_t g = 0; g < total; g += span) {
            T* a = data + 2 * g;
            Butterfly4Unit<Inverse>(a, a + 2 * quarter, a + 4 * quarter, a + 6 * quarter);
        }
        const T* w = twiddles + step;
        for (uint32_t j = 1; j < quarter; ++j, w += step) {
            const Root w1 = LoadRoot<Inverse>(w), w2 = LoadRoot<Inverse>(w + 2), w3 = LoadRoot<Inverse>(w + 4);
            for (uint64_t g = 0; g < total; g += span) {
                T* a = data + 2 * (g + j);
                Butterfly4<Inverse>(a, a + 2 * quarter, a + 4 * quarter, a + 6 * quarter, w1, w2, w3);
            }
        }
    }
}

}  // namespace

void FftRadixFwdF64_x87(double* data, uint32_t count, const double* twiddles) {
    RadixPass<false>(data, count, 1, twiddles);
}

void FftRadixInvF64_x87(double* data, uint32_t count, const double* twiddles) {
    RadixPass<true>(data, count, 1, twiddles);
}

void FftRadixVectorsFwdF64_x87(double* data, uint32_t count, uint32_t vectors, const double* twiddles) {
    RadixPass<false>(data, count, vectors, twiddles);
}

void FftRadixVectorsInvF64_x87(double* data, uint32_t count, uint32_t vectors, const double* twiddles) {
    RadixPass<true>(data, count, vectors, twiddles);
}

void FftScaleF64_x87(double factor, double* data, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) data[i] *= factor;
}

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
