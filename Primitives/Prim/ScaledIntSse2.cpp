// SSE2 builds. The 16-bit operations work on 32-bit lanes (eight elements a
// step, packed back with saturation); the 32-bit ones scale the exact sum in
// double precision, which holds it and every power of two it meets exactly,
// and convert with round-to-nearest-even. Each range of the scale has its own
// loop, chosen once per call; single elements go through the shared rule,
// which gives the same values.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/MxcsrScope.h>
#include <Primitives/Prim/ScaledInt.h>
#include <Primitives/Prim/ScaledRule.h>
#include <Primitives/Prim/SimdLanes.h>

#include <cmath>
#include <cstddef>

namespace Prim {
namespace {

using ArithCheck::Vectors;
constexpr std::size_t vectorFrom = 16;

// Short vectors element by element; longer ones head elements until dst is 16-byte aligned,
// `per` elements a step, tail elements.
template <class T, class One, class Step>
void Walk(T* dst, std::size_t n, std::size_t per, One one, Step step) {
    if (n < vectorFrom) {
        for (std::size_t i = 0; i < n; ++i) one(i);
        return;
    }
    SimdLanes::Walk(dst, n, per, one, step);
}

// --- 16-bit elements: the exact results of eight elements as two registers of 32-bit lanes.

__m128i Widen(__m128i lo16) { return _mm_srai_epi32(_mm_unpacklo_epi16(lo16, lo16), 16); }
__m128i WidenHigh(__m128i x16) { return _mm_srai_epi32(_mm_unpackhi_epi16(x16, x16), 16); }

// t -> (t + 2^(k-1) - 1 + bit k of t) >> k, with K fixed (the k = 1 loop) or given.
template <int K>
struct RoundBy {
    std::int32_t k = K;
    __m128i operator()(__m128i t) const {
        const __m128i count = _mm_cvtsi32_si128(k);
        const __m128i bias = _mm_set1_epi32((1 << (k - 1)) - 1);
        const __m128i odd = _mm_and_si128(_mm_sra_epi32(t, count), _mm_set1_epi32(1));
        return _mm_sra_epi32(_mm_add_epi32(_mm_add_epi32(t, bias), odd), count);
    }
};
struct Exact {
    __m128i operator()(__m128i t) const { return t; }
};
// Saturated to 16 bits, then shifted left by s = -k <= 15 (packing saturates again).
struct ShiftUp {
    std::int32_t s;
    __m128i operator()(__m128i t) const {
        const __m128i saturated = _mm_packs_epi32(t, t);
        return _mm_sll_epi32(Widen(saturated), _mm_cvtsi32_si128(s));
    }
};
// +-32768 by the sign of t (0 stays 0); packing makes 32767 of the positive one.
struct SignOnly {
    __m128i operator()(__m128i t) const {
        const __m128i zero = _mm_setzero_si128();
        const __m128i sign = _mm_sub_epi32(_mm_cmplt_epi32(t, zero), _mm_cmpgt_epi32(t, zero));
        return _mm_slli_epi32(sign, 15);
    }
};

// exactLanes(i, lo, hi) fills the exact results of elements i..i+7.
template <class ExactScalar, class ExactLanes, class Finish>
void LoopS16(std::int16_t* dst, std::size_t n, std::int32_t k, ExactScalar exact, ExactLanes lanes, Finish finish) {
    Walk(
        dst, n, 8, [&](std::size_t i) { dst[i] = ScaledRule::Scale<std::int16_t>(exact(i), k); },
        [&](std::size_t i) {
            __m128i lo, hi;
            lanes(i, lo, hi);
            _mm_store_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packs_epi32(finish(lo), finish(hi)));
        });
}

template <class ExactScalar, class ExactLanes>
void ScaledS16(
    std::int16_t* dst, std::size_t n, std::int32_t k, ScaledRule::Limits limits, ExactScalar exact, ExactLanes lanes) {
    if (k <= limits.signBelow) {
        // The rule's sign saturation; the shared scalar rule would shift too far.
        Walk(
            dst, n, 8, [&](std::size_t i) { dst[i] = ScaledRule::BySign<std::int16_t>(exact(i)); },
            [&](std::size_t i) {
                __m128i lo, hi;
                lanes(i, lo, hi);
                _mm_store_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packs_epi32(SignOnly{}(lo), SignOnly{}(hi)));
            });
    } else if (k < 0) {
        LoopS16(dst, n, k, exact, lanes, ShiftUp{-k});
    } else if (k == 0) {
        LoopS16(dst, n, k, exact, lanes, Exact{});
    } else if (k == 1) {
        LoopS16(dst, n, k, exact, lanes, RoundBy<1>{});
    } else {
        LoopS16(dst, n, k, exact, lanes, RoundBy<0>{k});
    }
}

const __m128i* Block(const std::int16_t* p) { return reinterpret_cast<const __m128i*>(p); }

// --- 32-bit elements: the exact sum of two 32-bit integers in double precision.

template <class ExactScalar, class ExactLanes>
void ScaledS32(std::int32_t* dst, std::size_t n, std::int32_t k, ExactScalar exact, ExactLanes lanes) {
    if (k <= ScaledRule::SumS32.signBelow) {
        const auto one = [&](std::size_t i) { dst[i] = ScaledRule::BySign<std::int32_t>(exact(i)); };
        Walk(dst, n, 1, one, one);
        return;
    }
    const MxcsrScope rounding = NearestRounding();
    const __m128d factor = _mm_set1_pd(std::ldexp(1.0, -k));
    const __m128d low = _mm_set1_pd(-2147483648.0), high = _mm_set1_pd(2147483647.0);
    const auto convert = [&](__m128d t) {
        return _mm_cvtpd_epi32(_mm_min_pd(_mm_max_pd(_mm_mul_pd(t, factor), low), high));
    };
    Walk(
        dst, n, 4, [&](std::size_t i) { dst[i] = ScaledRule::Scale<std::int32_t>(exact(i), k); },
        [&](std::size_t i) {
            __m128d lo, hi;
            lanes(i, lo, hi);
            _mm_store_si128(reinterpret_cast<__m128i*>(dst + i), _mm_unpacklo_epi64(convert(lo), convert(hi)));
        });
}

// src[i..i+3] + value as two registers of doubles.
void SumLanes(const std::int32_t* src, __m128d value, std::size_t i, __m128d& lo, __m128d& hi) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    lo = _mm_add_pd(_mm_cvtepi32_pd(x), value);
    hi = _mm_add_pd(_mm_cvtepi32_pd(_mm_unpackhi_epi64(x, x)), value);
}

float* Words(std::int32_t* p) { return reinterpret_cast<float*>(p); }

}  // namespace

Status AddConstInPlaceScaledS32_sse2(std::int32_t value, std::int32_t* srcDst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (scale == 0 && value == 0) return StatusOk;
    if (scale > ScaledRule::SumS32.zeroAbove) return ZeroF32_sse2(Words(srcDst), len);
    const __m128d v = _mm_set1_pd(value);
    ScaledS32(
        srcDst, static_cast<std::size_t>(len), scale, [&](std::size_t i) { return std::int64_t{srcDst[i]} + value; },
        [&](std::size_t i, __m128d& lo, __m128d& hi) { SumLanes(srcDst, v, i, lo, hi); });
    return StatusOk;
}

Status AddConstScaledS32_sse2(
    const std::int32_t* src, std::int32_t value, std::int32_t* dst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    if (scale == 0 && value == 0) return CopyF32_sse2(reinterpret_cast<const float*>(src), Words(dst), len);
    if (scale > ScaledRule::SumS32.zeroAbove) return ZeroF32_sse2(Words(dst), len);
    const __m128d v = _mm_set1_pd(value);
    ScaledS32(
        dst, static_cast<std::size_t>(len), scale, [&](std::size_t i) { return std::int64_t{src[i]} + value; },
        [&](std::size_t i, __m128d& lo, __m128d& hi) { SumLanes(src, v, i, lo, hi); });
    return StatusOk;
}

Status AddInPlaceScaledS16_sse2(const std::int16_t* src, std::int16_t* srcDst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Vectors(len, src, srcDst); s != StatusOk) return s;
    if (scale > ScaledRule::SumS16.zeroAbove) return ZeroS16_sse2(srcDst, len);
    ScaledS16(
        srcDst, static_cast<std::size_t>(len), scale, ScaledRule::SumS16,
        [&](std::size_t i) { return std::int64_t{src[i]} + srcDst[i]; },
        [&](std::size_t i, __m128i& lo, __m128i& hi) {
            const __m128i a = _mm_loadu_si128(Block(src + i)), b = _mm_load_si128(Block(srcDst + i));
            lo = _mm_add_epi32(Widen(a), Widen(b));
            hi = _mm_add_epi32(WidenHigh(a), WidenHigh(b));
        });
    return StatusOk;
}

Status MulConstInPlaceScaledS16_sse2(std::int16_t value, std::int16_t* srcDst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (value == 0) return ZeroS16_sse2(srcDst, len);
    if (scale == 0 && value == 1) return StatusOk;
    if (scale > ScaledRule::ProductS16.zeroAbove) return ZeroS16_sse2(srcDst, len);
    const __m128i v = _mm_set1_epi16(value);
    ScaledS16(
        srcDst, static_cast<std::size_t>(len), scale, ScaledRule::ProductS16,
        [&](std::size_t i) { return std::int64_t{srcDst[i]} * value; },
        [&](std::size_t i, __m128i& lo, __m128i& hi) {
            const __m128i a = _mm_load_si128(Block(srcDst + i));
            const __m128i low = _mm_mullo_epi16(a, v), high = _mm_mulhi_epi16(a, v);
            lo = _mm_unpacklo_epi16(low, high);
            hi = _mm_unpackhi_epi16(low, high);
        });
    return StatusOk;
}

}  // namespace Prim
