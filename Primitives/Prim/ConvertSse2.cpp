#include <Primitives/Prim/Convert.h>
#include <Primitives/Prim/ConvertRules.h>
#include <Primitives/Prim/SimdLanes.h>

#include <limits>

namespace Prim {
namespace {

using namespace ConvertRules;
using SimdLanes::Lead;
using SimdLanes::Walk;

// Widening into doubles streams past the cache from these element counts on.
constexpr std::int32_t StreamS16ToF64 = 0x6666 + 8;
constexpr std::int32_t StreamF32ToF64 = 0x5550 + 8;

// ---- Scalar forms of the lane rules (heads and tails) ----

inline float ScaleF(float x, bool scaled, float factor) { return scaled ? x * factor : x; }

// The SSE2 builds round to nearest for every mode but exactly 0.
inline double RoundLane(double v, RoundMode mode) { return mode == RoundModeZero ? std::trunc(v) : RoundHalfEven(v); }

// A NaN compares as the upper bound (the minimum instruction returns its second operand).
inline double ClampLane(float v, double lower, double upper) {
    if (std::isnan(v) || v >= upper) return upper;
    if (v <= lower) return lower;
    return v;
}

inline std::int32_t F32ToS32Lane(float v, RoundMode mode) {
    const std::int32_t bits = std::bit_cast<std::int32_t>(v);
    if (bits > 0x4EFFFFFF) return std::numeric_limits<std::int32_t>::max();  // >= 2^31, +inf, NaN with sign clear
    if (std::isnan(v) || v <= -2147483648.0f) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(RoundLane(v, mode));
}

inline std::int32_t F64ToS32Lane(double v, RoundMode mode) {
    if (std::isnan(v) || v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(RoundLane(v, mode));
}

inline float F64ToF32Lane(double x) {
    if (std::isnan(x) || x >= static_cast<double>(FloatMax)) return FloatMax;
    if (x <= -static_cast<double>(FloatMax)) return -FloatMax;
    return static_cast<float>(x);
}

// ---- Vector forms ----

// Round to nearest, ties to even, independent of the control register:
// truncate, then correct by the exact remainder. Lanes must lie within +-2^31.
inline __m128i RoundNearestPs(__m128 v) {
    const __m128i t = _mm_cvttps_epi32(v);
    const __m128 rest = _mm_sub_ps(v, _mm_cvtepi32_ps(t));
    const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    const __m128 absRest = _mm_and_ps(rest, absMask);
    const __m128 half = _mm_set1_ps(0.5f);
    const __m128i odd = _mm_cmpeq_epi32(_mm_and_si128(t, _mm_set1_epi32(1)), _mm_set1_epi32(1));
    const __m128i up = _mm_or_si128(_mm_castps_si128(_mm_cmpgt_ps(absRest, half)),
        _mm_and_si128(_mm_castps_si128(_mm_cmpeq_ps(absRest, half)), odd));
    // +1 for a positive remainder, -1 for a negative one.
    const __m128i negative = _mm_castps_si128(_mm_cmplt_ps(rest, _mm_setzero_ps()));
    const __m128i step =
        _mm_or_si128(_mm_and_si128(negative, _mm_set1_epi32(-1)), _mm_andnot_si128(negative, _mm_set1_epi32(1)));
    return _mm_add_epi32(t, _mm_and_si128(up, step));
}

inline __m128i RoundPs(__m128 v, RoundMode mode) {
    return mode == RoundModeZero ? _mm_cvttps_epi32(v) : RoundNearestPs(v);
}

inline __m128i RoundNearestPd(__m128d v) {  // two lanes, results in the low half
    const __m128i t = _mm_cvttpd_epi32(v);
    const __m128d rest = _mm_sub_pd(v, _mm_cvtepi32_pd(t));
    const __m128d absMask = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFLL));
    const __m128d absRest = _mm_and_pd(rest, absMask);
    const __m128d half = _mm_set1_pd(0.5);
    // Comparisons give 64-bit masks; gather their low words into the two low lanes.
    const __m128i gt = _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmpgt_pd(absRest, half)), _MM_SHUFFLE(3, 3, 2, 0));
    const __m128i eq = _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmpeq_pd(absRest, half)), _MM_SHUFFLE(3, 3, 2, 0));
    const __m128i negative =
        _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmplt_pd(rest, _mm_setzero_pd())), _MM_SHUFFLE(3, 3, 2, 0));
    const __m128i odd = _mm_cmpeq_epi32(_mm_and_si128(t, _mm_set1_epi32(1)), _mm_set1_epi32(1));
    const __m128i up = _mm_or_si128(gt, _mm_and_si128(eq, odd));
    const __m128i step =
        _mm_or_si128(_mm_and_si128(negative, _mm_set1_epi32(-1)), _mm_andnot_si128(negative, _mm_set1_epi32(1)));
    return _mm_add_epi32(t, _mm_and_si128(up, step));
}

inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// Clamped to [lower, upper] (NaN to upper) and rounded: four 32-bit integers.
inline __m128i ClampRoundPs(__m128 v, __m128 lower, __m128 upper, RoundMode mode) {
    v = _mm_min_ps(v, upper);
    v = _mm_max_ps(v, lower);
    return RoundPs(v, mode);
}

inline void StoreF64Pair(double* d, __m128d v, bool stream) {
    if (stream) {
        _mm_stream_pd(d, v);
    } else {
        _mm_store_pd(d, v);
    }
}

}  // namespace

// Each conversion walks the aligned side of its arrays: single elements up to a 16-byte
// boundary, whole vector steps, single elements again.

Status ConvertU8ToF32_sse2(const std::uint8_t* src, float* dst, std::int32_t len) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const __m128i zero = _mm_setzero_si128();
    Walk(
        dst, len, 16, [&](std::int32_t k) { dst[k] = static_cast<float>(src[k]); },
        [&](std::int32_t i) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            const __m128i lo = _mm_unpacklo_epi8(bytes, zero);
            const __m128i hi = _mm_unpackhi_epi8(bytes, zero);
            _mm_store_ps(dst + i, _mm_cvtepi32_ps(_mm_unpacklo_epi16(lo, zero)));
            _mm_store_ps(dst + i + 4, _mm_cvtepi32_ps(_mm_unpackhi_epi16(lo, zero)));
            _mm_store_ps(dst + i + 8, _mm_cvtepi32_ps(_mm_unpacklo_epi16(hi, zero)));
            _mm_store_ps(dst + i + 12, _mm_cvtepi32_ps(_mm_unpackhi_epi16(hi, zero)));
        });
    return StatusOk;
}

Status ConvertS16ToF32_sse2(const std::int16_t* src, float* dst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const float factor = scale == 0 ? 1.0f : FactorF32(scale, -112, 126);
    const __m128 f = _mm_set1_ps(factor);
    Walk(
        dst, len, 8, [&](std::int32_t k) { dst[k] = static_cast<float>(src[k]) * factor; },
        [&](std::int32_t i) {
            const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            // Sign-extend by placing each word in the top half of a lane and shifting back.
            const __m128i lo = _mm_srai_epi32(_mm_unpacklo_epi16(words, words), 16);
            const __m128i hi = _mm_srai_epi32(_mm_unpackhi_epi16(words, words), 16);
            _mm_store_ps(dst + i, _mm_mul_ps(_mm_cvtepi32_ps(lo), f));
            _mm_store_ps(dst + i + 4, _mm_mul_ps(_mm_cvtepi32_ps(hi), f));
        });
    return StatusOk;
}

Status ConvertS16ToF64_sse2(const std::int16_t* src, double* dst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const double factor = scale == 0 ? 1.0 : FactorF64(scale, -1008, 1022);
    const bool stream = len - Lead(dst, len) > StreamS16ToF64;
    const __m128d f = _mm_set1_pd(factor);
    Walk(
        dst, len, 8, [&](std::int32_t k) { dst[k] = static_cast<double>(src[k]) * factor; },
        [&](std::int32_t i) {
            const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            const __m128i lo = _mm_srai_epi32(_mm_unpacklo_epi16(words, words), 16);
            const __m128i hi = _mm_srai_epi32(_mm_unpackhi_epi16(words, words), 16);
            StoreF64Pair(dst + i, _mm_mul_pd(_mm_cvtepi32_pd(lo), f), stream);
            StoreF64Pair(dst + i + 2, _mm_mul_pd(_mm_cvtepi32_pd(_mm_srli_si128(lo, 8)), f), stream);
            StoreF64Pair(dst + i + 4, _mm_mul_pd(_mm_cvtepi32_pd(hi), f), stream);
            StoreF64Pair(dst + i + 6, _mm_mul_pd(_mm_cvtepi32_pd(_mm_srli_si128(hi, 8)), f), stream);
        });
    if (stream) _mm_sfence();
    return StatusOk;
}

// The integer is rounded to the nearest float first; the power-of-two factor keeps it exact.
Status ConvertS32ToF32_sse2(const std::int32_t* src, float* dst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const float factor = scale == 0 ? 1.0f : FactorF32(scale, -96, 126);
    const __m128 f = _mm_set1_ps(factor);
    Walk(
        dst, len, 4, [&](std::int32_t k) { dst[k] = static_cast<float>(src[k]) * factor; },
        [&](std::int32_t i) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            _mm_store_ps(dst + i, _mm_mul_ps(_mm_cvtepi32_ps(v), f));
        });
    return StatusOk;
}

Status ConvertS32ToF64_sse2(const std::int32_t* src, double* dst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const double factor = scale == 0 ? 1.0 : FactorF64(scale, -992, 1022);
    const __m128d f = _mm_set1_pd(factor);
    Walk(
        dst, len, 4, [&](std::int32_t k) { dst[k] = static_cast<double>(src[k]) * factor; },
        [&](std::int32_t i) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            _mm_store_pd(dst + i, _mm_mul_pd(_mm_cvtepi32_pd(v), f));
            _mm_store_pd(dst + i + 2, _mm_mul_pd(_mm_cvtepi32_pd(_mm_srli_si128(v, 8)), f));
        });
    return StatusOk;
}

Status ConvertF32ToU8_sse2(
    const float* src, std::uint8_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const bool scaled = scale != 0;
    const float factor = ScaleFactorSingle(scale);
    const __m128 f = _mm_set1_ps(factor);
    const __m128 lower = _mm_setzero_ps();
    const __m128 upper = _mm_set1_ps(255.0f);
    Walk(
        src, len, 16,
        [&](std::int32_t k) {
            dst[k] =
                static_cast<std::uint8_t>(RoundLane(ClampLane(ScaleF(src[k], scaled, factor), 0.0, 255.0), roundMode));
        },
        [&](std::int32_t i) {
            __m128i q[4];
            for (int part = 0; part < 4; ++part) {
                __m128 v = _mm_load_ps(src + i + 4 * part);
                if (scaled) v = _mm_mul_ps(v, f);
                q[part] = ClampRoundPs(v, lower, upper, roundMode);
            }
            const __m128i words = _mm_packs_epi32(q[0], q[1]);
            const __m128i words2 = _mm_packs_epi32(q[2], q[3]);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(words, words2));
        });
    return StatusOk;
}

Status ConvertF32ToS16_sse2(
    const float* src, std::int16_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const bool scaled = scale != 0;
    const float factor = ScaleFactorSingle(scale);
    const __m128 f = _mm_set1_ps(factor);
    const __m128 lower = _mm_set1_ps(-32768.0f);
    const __m128 upper = _mm_set1_ps(32767.0f);
    Walk(
        dst, len, 8,
        [&](std::int32_t k) {
            dst[k] = static_cast<std::int16_t>(
                RoundLane(ClampLane(ScaleF(src[k], scaled, factor), -32768.0, 32767.0), roundMode));
        },
        [&](std::int32_t i) {
            __m128 a = _mm_loadu_ps(src + i);
            __m128 b = _mm_loadu_ps(src + i + 4);
            if (scaled) {
                a = _mm_mul_ps(a, f);
                b = _mm_mul_ps(b, f);
            }
            const __m128i packed =
                _mm_packs_epi32(ClampRoundPs(a, lower, upper, roundMode), ClampRoundPs(b, lower, upper, roundMode));
            _mm_store_si128(reinterpret_cast<__m128i*>(dst + i), packed);
        });
    return StatusOk;
}

Status ConvertF32ToS32_sse2(
    const float* src, std::int32_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const bool scaled = scale != 0;
    const float factor = ScaleFactorSingle(scale);
    const __m128 f = _mm_set1_ps(factor);
    const __m128i upperBits = _mm_set1_epi32(0x4EFFFFFF);
    const __m128i maxInt = _mm_set1_epi32(std::numeric_limits<std::int32_t>::max());
    const __m128i minInt = _mm_set1_epi32(std::numeric_limits<std::int32_t>::min());
    const __m128 lowerBound = _mm_set1_ps(-2147483648.0f);
    Walk(
        dst, len, 4, [&](std::int32_t k) { dst[k] = F32ToS32Lane(ScaleF(src[k], scaled, factor), roundMode); },
        [&](std::int32_t i) {
            __m128 v = _mm_loadu_ps(src + i);
            if (scaled) v = _mm_mul_ps(v, f);
            const __m128i high = _mm_cmpgt_epi32(_mm_castps_si128(v), upperBits);
            // Lanes at or below -2^31, and NaNs with the sign set, give the lowest integer.
            const __m128i low = _mm_castps_si128(_mm_or_ps(_mm_cmple_ps(v, lowerBound), _mm_cmpunord_ps(v, v)));
            const __m128 inRange = _mm_castsi128_ps(_mm_andnot_si128(_mm_or_si128(high, low), _mm_set1_epi32(-1)));
            const __m128i rounded = RoundPs(_mm_and_ps(v, inRange), roundMode);
            const __m128i result = Select(high, maxInt, Select(low, minInt, rounded));
            _mm_store_si128(reinterpret_cast<__m128i*>(dst + i), result);
        });
    return StatusOk;
}

Status ConvertF64ToS32_sse2(
    const double* src, std::int32_t* dst, std::int32_t len, RoundMode roundMode, std::int32_t scale) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const bool scaled = scale != 0;
    // The factor is held in single precision, as for the float inputs.
    const double factor = static_cast<double>(ScaleFactorSingle(scale));
    const __m128d f = _mm_set1_pd(factor);
    const __m128d upper = _mm_set1_pd(2147483647.0);
    const __m128d lower = _mm_set1_pd(-2147483648.0);
    const __m128i maxInt = _mm_set1_epi32(std::numeric_limits<std::int32_t>::max());
    const __m128i minInt = _mm_set1_epi32(std::numeric_limits<std::int32_t>::min());
    Walk(
        dst, len, 4, [&](std::int32_t k) { dst[k] = F64ToS32Lane(scaled ? src[k] * factor : src[k], roundMode); },
        [&](std::int32_t i) {
            __m128i halves[2];
            for (int part = 0; part < 2; ++part) {
                __m128d v = _mm_loadu_pd(src + i + 2 * part);
                if (scaled) v = _mm_mul_pd(v, f);
                const __m128i high =
                    _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmpnlt_pd(v, upper)), _MM_SHUFFLE(3, 3, 2, 0));
                const __m128i low =
                    _mm_shuffle_epi32(_mm_castpd_si128(_mm_cmple_pd(v, lower)), _MM_SHUFFLE(3, 3, 2, 0));
                // Out-of-range lanes are replaced below; keep them away from the rounding.
                const __m128d safe = _mm_and_pd(v, _mm_cmplt_pd(v, upper));
                const __m128d safe2 = _mm_and_pd(safe, _mm_cmpgt_pd(safe, lower));
                const __m128i rounded = roundMode == RoundModeZero ? _mm_cvttpd_epi32(safe2) : RoundNearestPd(safe2);
                halves[part] = Select(high, maxInt, Select(low, minInt, rounded));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_unpacklo_epi64(halves[0], halves[1]));
        });
    return StatusOk;
}

Status ConvertF32ToF64_sse2(const float* src, double* dst, std::int32_t len) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const bool stream = len - Lead(dst, len) > StreamF32ToF64;
    Walk(
        dst, len, 4, [&](std::int32_t k) { dst[k] = static_cast<double>(src[k]); },
        [&](std::int32_t i) {
            const __m128 v = _mm_loadu_ps(src + i);
            StoreF64Pair(dst + i, _mm_cvtps_pd(v), stream);
            StoreF64Pair(dst + i + 2, _mm_cvtps_pd(_mm_movehl_ps(v, v)), stream);
        });
    if (stream) _mm_sfence();
    return StatusOk;
}

Status ConvertF64ToF32_sse2(const double* src, float* dst, std::int32_t len) {
    if (const Status s = Check(src, dst, len); s != StatusOk) return s;
    const __m128d upper = _mm_set1_pd(static_cast<double>(FloatMax));
    const __m128d lower = _mm_set1_pd(-static_cast<double>(FloatMax));
    Walk(
        src, len, 4, [&](std::int32_t k) { dst[k] = F64ToF32Lane(src[k]); },
        [&](std::int32_t i) {
            // The minimum gives its second operand for a NaN: +FLT_MAX.
            const __m128d a = _mm_max_pd(_mm_min_pd(_mm_load_pd(src + i), upper), lower);
            const __m128d b = _mm_max_pd(_mm_min_pd(_mm_load_pd(src + i + 2), upper), lower);
            _mm_storeu_ps(dst + i, _mm_movelh_ps(_mm_cvtpd_ps(a), _mm_cvtpd_ps(b)));
        });
    return StatusOk;
}

}  // namespace Prim
