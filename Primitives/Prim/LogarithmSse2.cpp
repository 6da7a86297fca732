// SSE2 builds.
// Floats: x = 2^e m with m in [sqrt(2)/2, sqrt(2)), s = (m - 1) / (m + 1) and
// ln x = e ln 2 + s (2 + s^2 P(s^2)), all in single precision, four elements
// a step when all four are positive normal floats.
// Doubles: x = 2^e m with m in [1, 2); a 65-row table gives c ~ 1 / (1 + j/64)
// for j the top mantissa bits rounded, and ln(1/c); r = m c - 1, formed
// without loss from the upper 32 bits of m and the rest, and
// ln x = (e ln2Head + head) + (e ln2Tail + tail) + r + r^2 P(r).
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/FloatBits.h>
#include <Primitives/Prim/Logarithm.h>

#include <emmintrin.h>

#include <bit>
#include <cstddef>
#include <limits>

#include <Primitives/Prim/LnTableF64.inc>

namespace Prim {
namespace {

// --- single precision

constexpr float ln2F = 0.693147182f;
constexpr float s2Coefficients[4] = {0.666666627f, 0.400005966f, 0.285253823f, 0.237624556f};
constexpr std::int32_t sqrt2Fraction = 0x3504F2;  // fractions above it are halved

float LnNormal(float x) {
    const auto bits = std::bit_cast<std::int32_t>(x);
    const std::int32_t fraction = bits & 0x7FFFFF;
    const bool halve = fraction > sqrt2Fraction;
    const std::int32_t e = (bits >> 23) - 127 + (halve ? 1 : 0);
    const float m = std::bit_cast<float>(fraction | (halve ? 0x3F000000 : 0x3F800000));
    const float s = (m - 1.0f) / (m + 1.0f);
    const float s2 = s * s;
    const float p =
        2.0f + s2 * (s2Coefficients[0] + s2 * (s2Coefficients[1] + s2 * (s2Coefficients[2] + s2 * s2Coefficients[3])));
    return float(e) * ln2F + s * p;
}

__m128 LnNormalLanes(__m128 x) {
    const __m128i bits = _mm_castps_si128(x);
    const __m128i fraction = _mm_and_si128(bits, _mm_set1_epi32(0x7FFFFF));
    const __m128i halve = _mm_cmpgt_epi32(fraction, _mm_set1_epi32(sqrt2Fraction));  // -1 where halved
    const __m128i e = _mm_sub_epi32(_mm_sub_epi32(_mm_srli_epi32(bits, 23), _mm_set1_epi32(127)), halve);
    const __m128i exponentOfM = _mm_or_si128(
        _mm_and_si128(halve, _mm_set1_epi32(0x3F000000)), _mm_andnot_si128(halve, _mm_set1_epi32(0x3F800000)));
    const __m128 m = _mm_castsi128_ps(_mm_or_si128(fraction, exponentOfM));
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 s = _mm_div_ps(_mm_sub_ps(m, one), _mm_add_ps(m, one));
    const __m128 s2 = _mm_mul_ps(s, s);
    __m128 p = _mm_set1_ps(s2Coefficients[3]);
    for (int k = 2; k >= 0; --k) p = _mm_add_ps(_mm_set1_ps(s2Coefficients[k]), _mm_mul_ps(s2, p));
    p = _mm_add_ps(_mm_set1_ps(2.0f), _mm_mul_ps(s2, p));
    return _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(e), _mm_set1_ps(ln2F)), _mm_mul_ps(s, p));
}

// All four lanes positive, normal and finite.
bool AllNormal(__m128 x) {
    const __m128i bits = _mm_castps_si128(x);
    const __m128i normal = _mm_and_si128(
        _mm_cmpgt_epi32(bits, _mm_set1_epi32(0x007FFFFF)), _mm_cmplt_epi32(bits, _mm_set1_epi32(0x7F800000)));
    return _mm_movemask_epi8(normal) == 0xFFFF;
}

void NoteFirst(Status& warning, Status w) {
    if (warning == StatusOk) warning = w;
}

float LnSpecial(float x, Status& warning) {
    if (std::signbit(x)) {
        NoteFirst(warning, StatusDomainWarning);
        return FloatBits::NegativeQuietNanF32;
    }
    if (x == 0.0f) {
        NoteFirst(warning, StatusSingularityWarning);
        return -std::numeric_limits<float>::infinity();
    }
    if (std::isnan(x)) return FloatBits::Quieted(x);  // a quiet NaN is stored unchanged
    if (std::isinf(x)) return x;
    if (x < std::numeric_limits<float>::min()) return LnNormal(x * 0x1p23f) - 23.0f * ln2F;
    return LnNormal(x);
}

// --- double precision

constexpr double ln2Head = 0x1.62e42fefa3800p-1;  // 0.69314718055989..., its low 11 bits clear
constexpr double ln2Tail = 5.4979230187083699e-14;
constexpr double p0 = -0.500000000000003, p1 = 0.33333333333333798, p2 = -0.24999999959276001, p3 = 0.19999999949955599,
                 p4 = -0.16668001461492199, p5 = 0.14287090723113699;

__m128d Set(double a, double b) { return _mm_set_pd(b, a); }

// Two positive normal doubles.
__m128d LnNormalLanes(const double (&x)[2]) {
    std::uint64_t mBits[2];
    double e[2], c[2], head[2], tail[2];
    for (int l = 0; l < 2; ++l) {
        const auto bits = std::bit_cast<std::uint64_t>(x[l]);
        e[l] = double(std::int32_t(bits >> 52) - 1023);
        mBits[l] = (bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull;
        const auto j = (((bits >> 41) & 0x7FF) + 16) >> 5;  // 0 to 64
        c[l] = LnTableF64::Rows[j][0];
        head[l] = LnTableF64::Rows[j][1];
        tail[l] = LnTableF64::Rows[j][2];
    }
    const __m128d m = _mm_castsi128_pd(_mm_set_epi64x(std::int64_t(mBits[1]), std::int64_t(mBits[0])));
    const __m128d mHigh = _mm_and_pd(m, _mm_castsi128_pd(_mm_set1_epi64x(~std::int64_t{0x1FFFFF})));
    const __m128d mLow = _mm_sub_pd(m, mHigh);
    const __m128d cv = Set(c[0], c[1]), ev = Set(e[0], e[1]);
    // mHigh c is exact (32 + 13 bits) and within 1% of 1, so subtracting 1 is exact too.
    const __m128d r = _mm_add_pd(_mm_sub_pd(_mm_mul_pd(mHigh, cv), _mm_set1_pd(1.0)), _mm_mul_pd(mLow, cv));
    const __m128d r2 = _mm_mul_pd(r, r);
    const auto poly = [&](double a, double b, double c2) {
        return _mm_add_pd(_mm_set1_pd(a), _mm_mul_pd(r2, _mm_add_pd(_mm_set1_pd(b), _mm_mul_pd(r2, _mm_set1_pd(c2)))));
    };
    const __m128d p = _mm_add_pd(poly(p0, p2, p4), _mm_mul_pd(r, poly(p1, p3, p5)));
    const __m128d high = _mm_add_pd(_mm_mul_pd(ev, _mm_set1_pd(ln2Head)), Set(head[0], head[1]));  // exact
    const __m128d low = _mm_add_pd(_mm_mul_pd(ev, _mm_set1_pd(ln2Tail)), Set(tail[0], tail[1]));
    return _mm_add_pd(high, _mm_add_pd(r, _mm_add_pd(_mm_mul_pd(r2, p), low)));
}

double LnNormal(double x) {
    const double pair[2] = {x, x};
    return _mm_cvtsd_f64(LnNormalLanes(pair));
}

// The special cases read the upper 32 bits only.
bool Ordinary(double x) {
    const auto high = std::uint32_t(std::bit_cast<std::uint64_t>(x) >> 32);
    return high >= 0x00100000u && high < 0x7FF00000u;
}

double LnSpecial(double x, Status& warning) {
    const auto high = std::uint32_t(std::bit_cast<std::uint64_t>(x) >> 32);
    if ((high & 0x80000000u) != 0) {
        NoteFirst(warning, StatusDomainWarning);
        return FloatBits::NegativeQuietNanF64;
    }
    if (high == 0) {  // +0 and the subnormals below 2^-1042
        NoteFirst(warning, StatusSingularityWarning);
        return -std::numeric_limits<double>::infinity();
    }
    if (high >= 0x7FF00000u) return std::numeric_limits<double>::infinity();  // +inf and positive NaNs
    if (high < 0x00100000u) return LnNormal(x * 0x1p64) - 64.0 * ln2Head - 64.0 * ln2Tail;
    return LnNormal(x);
}

}  // namespace

Status LnInPlaceF32_sse2(float* srcDst, std::int32_t len) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    Status warning = StatusOk;
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128 x = _mm_loadu_ps(srcDst + i);
        if (AllNormal(x)) {
            _mm_storeu_ps(srcDst + i, LnNormalLanes(x));
        } else {
            for (std::size_t k = i; k < i + 4; ++k) srcDst[k] = LnSpecial(srcDst[k], warning);
        }
    }
    for (; i < n; ++i) srcDst[i] = LnSpecial(srcDst[i], warning);
    return warning;
}

Status LnF64_sse2(const double* src, double* dst, std::int32_t len) {
    if (const Status s = ArithCheck::Vectors(len, src, dst); s != StatusOk) return s;
    Status warning = StatusOk;
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    for (; i + 2 <= n; i += 2) {
        const double pair[2] = {src[i], src[i + 1]};
        if (Ordinary(pair[0]) && Ordinary(pair[1])) {
            _mm_storeu_pd(dst + i, LnNormalLanes(pair));
        } else {
            dst[i] = LnSpecial(pair[0], warning);
            dst[i + 1] = LnSpecial(pair[1], warning);
        }
    }
    for (; i < n; ++i) dst[i] = LnSpecial(src[i], warning);
    return warning;
}

}  // namespace Prim
