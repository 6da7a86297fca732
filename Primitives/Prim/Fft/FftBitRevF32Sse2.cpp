// Bit reversal of complex floats in the SSE2 build, with the doubled-index table. A point
// x = q count/4 + 4b + r (q, r below 4) goes to r' count/4 + 4 rev'(b) + q', q' and r'
// being the two-bit reversals of q and r: the four points 4b..4b+3 of each quarter move
// together, as one 4 x 4 set transposed into the quarters at 4 rev'(b) (word b over 2).
#include <Primitives/Prim/Fft/FftKernelsF32.h>

#include <Primitives/Prim/Fft/FftComplexF32Sse2.h>

#include <bit>

namespace Prim {
namespace {

using FftQuad::LoadPoint;
using FftQuad::StorePoint;

// Two points: one 16-byte move at an aligned address, else two 8-byte ones.
template <bool Aligned>
inline __m128d Load2(const float* p) {
    if constexpr (Aligned) return _mm_load_pd(reinterpret_cast<const double*>(p));
    return _mm_set_pd(LoadPoint(p + 2), LoadPoint(p));
}

template <bool Aligned>
inline void Store2(float* p, __m128d v) {
    if constexpr (Aligned) {
        _mm_store_pd(reinterpret_cast<double*>(p), v);
    } else {
        StorePoint(p, _mm_cvtsd_f64(v));
        StorePoint(p + 2, _mm_cvtsd_f64(_mm_unpackhi_pd(v, v)));
    }
}

template <bool Aligned>
struct Set {
    __m128d low[4];  // points 0 and 1 of quarter q
    __m128d high[4];  // points 2 and 3

    void Load(const float* data, uint64_t quarterFloats, uint64_t start) {
        for (int q = 0; q < 4; ++q) {
            const float* p = data + q * quarterFloats + 2 * start;
            low[q] = Load2<Aligned>(p);
            high[q] = Load2<Aligned>(p + 4);
        }
    }

    // Quarter r' of the destination takes point r of source quarters 0, 2, 1, 3.
    void StoreTransposed(float* data, uint64_t quarterFloats, uint64_t start) const {
        float* d = data + 2 * start;
        const uint64_t f = quarterFloats;
        Store2<Aligned>(d, _mm_unpacklo_pd(low[0], low[2]));
        Store2<Aligned>(d + 4, _mm_unpacklo_pd(low[1], low[3]));
        Store2<Aligned>(d + f, _mm_unpacklo_pd(high[0], high[2]));
        Store2<Aligned>(d + f + 4, _mm_unpacklo_pd(high[1], high[3]));
        Store2<Aligned>(d + 2 * f, _mm_unpackhi_pd(low[0], low[2]));
        Store2<Aligned>(d + 2 * f + 4, _mm_unpackhi_pd(low[1], low[3]));
        Store2<Aligned>(d + 3 * f, _mm_unpackhi_pd(high[0], high[2]));
        Store2<Aligned>(d + 3 * f + 4, _mm_unpackhi_pd(high[1], high[3]));
    }
};

constexpr uint32_t GatherAbove = 32768;

// Up to GatherAbove points the source is read in order, from its last set down; above,
// the destination is written in order and the source read where the table points.
template <bool Aligned>
void CopySets(const float* src, float* dst, uint32_t count, const int32_t* table) {
    const uint64_t quarterFloats = count / 2;
    const uint64_t sets = count / 16;
    Set<Aligned> set;
    if (count <= GatherAbove) {
        for (uint64_t b = sets; b-- > 0;) {
            set.Load(src, quarterFloats, 4 * b);
            set.StoreTransposed(dst, quarterFloats, static_cast<uint64_t>(table[b]) / 2);
        }
    } else {
        for (uint64_t b = 0; b < sets; ++b) {
            set.Load(src, quarterFloats, static_cast<uint64_t>(table[b]) / 2);
            set.StoreTransposed(dst, quarterFloats, 4 * b);
        }
    }
}

template <bool Aligned>
void SwapSets(float* data, uint32_t count, const int32_t* table) {
    const uint64_t quarterFloats = count / 2;
    for (uint64_t b = count / 16; b-- > 0;) {
        const uint64_t t = static_cast<uint64_t>(table[b]) / 2;
        if (t < 4 * b) continue;  // exchanged with its partner already
        Set<Aligned> here, there;
        here.Load(data, quarterFloats, 4 * b);
        if (t == 4 * b) {
            here.StoreTransposed(data, quarterFloats, t);
            continue;
        }
        there.Load(data, quarterFloats, t);
        here.StoreTransposed(data, quarterFloats, t);
        there.StoreTransposed(data, quarterFloats, 4 * b);
    }
}

// Below 16 points there is no set: the reversal of 3 bits or fewer, point by point.
uint32_t Reverse(uint32_t x, int bits) {
    uint32_t y = 0;
    for (int i = 0; i < bits; ++i) y |= ((x >> i) & 1) << (bits - 1 - i);
    return y;
}

}  // namespace

void FftBitRevCopyC32_sse2(const float* src, float* dst, uint32_t count, const int32_t* table) {
    if (count < 16) {
        const int bits = std::countr_zero(count | 16);
        for (uint32_t x = 0; x < count; ++x) StorePoint(dst + 2 * Reverse(x, bits), LoadPoint(src + 2 * x));
        return;
    }
    if (SimdLanes::Aligned16(src) && SimdLanes::Aligned16(dst))
        CopySets<true>(src, dst, count, table);
    else
        CopySets<false>(src, dst, count, table);
}

void FftBitRevInPlaceC32_sse2(float* data, uint32_t count, const int32_t* table) {
    if (count < 16) {
        const int bits = std::countr_zero(count | 16);
        for (uint32_t x = 0; x < count; ++x) {
            const uint32_t y = Reverse(x, bits);
            if (y > x) {
                const double a = LoadPoint(data + 2 * x), b = LoadPoint(data + 2 * y);
                StorePoint(data + 2 * x, b);
                StorePoint(data + 2 * y, a);
            }
        }
        return;
    }
    if (SimdLanes::Aligned16(data))
        SwapSets<true>(data, count, table);
    else
        SwapSets<false>(data, count, table);
}

}  // namespace Prim
