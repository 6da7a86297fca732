// The per-bin logarithm of a column, four bins at a time: in double precision, and quickly in single.
#include <Tonalith/Analysis/Spectrogram/SpectrogramLevels.h>

#include <emmintrin.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace UI {
namespace {

// ln x of a float x = 2^e * m, m in [sqrt(2)/2, sqrt(2)), as e ln 2 - ln c + ln(m c), with
// c close to 1/m from a table of 256 intervals of m. c has few bits, so u = m c - 1 is
// exact and within 2^-8.9 of 0, and ln(1 + u) needs a short series only; the table's
// logarithms and ln 2 are split so that the large terms add without rounding. The result
// is within 0.7 units in the last place (checked on every 997th float from 1e-36 up).
constexpr std::uint32_t kCut = 0x3F3504F3;  // sqrt(2)/2 as a float
constexpr int kTableBits = 8;

struct LogEntry {
    double c;  // about 1/m over the interval, with at most 12 significant bits
    double lnHigh;  // -ln c, to a multiple of 2^-44
    double lnLow;  // the rest of -ln c
};

// ln 2 to a multiple of 2^-44, and the rest.
constexpr double kLn2High = 0x1.62e42fefa3a00p-1;
constexpr double kLn2Low = -0x1.0ca86c3898d00p-49;

struct LogTable {
    LogEntry entries[1 << kTableBits];

    LogTable() {
        const int shift = 23 - kTableBits;
        for (std::uint32_t j = 0; j < (1u << kTableBits); ++j) {
            // The interval's ends as floats, and 1/m at its middle to 12 bits; the one that
            // holds 1 gets c = 1, so that ln x near 1 keeps its relative precision.
            const std::uint32_t lowBits = kCut + (j << shift), highBits = kCut + ((j + 1) << shift) - 1;
            float low, high;
            std::memcpy(&low, &lowBits, sizeof low);
            std::memcpy(&high, &highBits, sizeof high);
            int exponent;
            const double middle = (double(low) + double(high)) / 2.0;
            const double mantissa = std::frexp(1.0 / middle, &exponent);
            double c = std::ldexp(std::nearbyint(std::ldexp(mantissa, 12)), exponent - 12);
            if (low <= 1.0f && 1.0f <= high) c = 1.0;
            const long double ln = -std::log((long double)c);
            entries[j].c = c;
            entries[j].lnHigh = double(std::ldexp(std::nearbyint(std::ldexp(ln, 44)), -44));
            entries[j].lnLow = double(ln - (long double)entries[j].lnHigh);
        }
    }
};

const LogTable kLog;

// ln of two floats converted to double, with their exponents and table indexes: a pair
// of lanes of Log4.
[[gnu::always_inline]] inline __m128d LogPair(__m128d m, __m128d e, std::uint32_t j0, std::uint32_t j1) {
    const LogEntry& a = kLog.entries[j0];
    const LogEntry& b = kLog.entries[j1];
    const __m128d c = _mm_set_pd(b.c, a.c);
    const __m128d lnHigh = _mm_set_pd(b.lnHigh, a.lnHigh);
    const __m128d lnLow = _mm_set_pd(b.lnLow, a.lnLow);
    const __m128d u = _mm_sub_pd(_mm_mul_pd(m, c), _mm_set1_pd(1.0));
    // ln(1 + u) - u, by its series to u^7 (|u| < 2^-8.9: the next term is below 2^-74),
    // in pairs of terms that evaluate side by side.
    const __m128d u2 = _mm_mul_pd(u, u);
    const __m128d u4 = _mm_mul_pd(u2, u2);
    const __m128d p01 = _mm_add_pd(_mm_set1_pd(-1.0 / 2.0), _mm_mul_pd(u, _mm_set1_pd(1.0 / 3.0)));
    const __m128d p23 = _mm_add_pd(_mm_set1_pd(-1.0 / 4.0), _mm_mul_pd(u, _mm_set1_pd(1.0 / 5.0)));
    const __m128d p45 = _mm_add_pd(_mm_set1_pd(-1.0 / 6.0), _mm_mul_pd(u, _mm_set1_pd(1.0 / 7.0)));
    const __m128d q = _mm_mul_pd(u2, _mm_add_pd(_mm_add_pd(p01, _mm_mul_pd(u2, p23)), _mm_mul_pd(u4, p45)));
    // e ln 2 - ln c is exact; the small terms add up before they meet it.
    const __m128d high = _mm_add_pd(_mm_mul_pd(e, _mm_set1_pd(kLn2High)), lnHigh);
    const __m128d low = _mm_add_pd(q, _mm_add_pd(_mm_mul_pd(e, _mm_set1_pd(kLn2Low)), lnLow));
    return _mm_add_pd(high, _mm_add_pd(u, low));
}

// x = 2^e m for four normal floats, m in [sqrt(2)/2, sqrt(2)): moving the mantissa's cut
// from 1 to sqrt(2)/2 picks e and m at once. `fraction` is m's mantissa field, moved.
[[gnu::always_inline]] inline void SplitAtCut(__m128i bits, __m128i& e, __m128i& fraction, __m128& m) {
    const __m128i moved = _mm_add_epi32(bits, _mm_set1_epi32(std::int32_t(0x3F800000u - kCut)));
    e = _mm_sub_epi32(_mm_srli_epi32(moved, 23), _mm_set1_epi32(127));
    fraction = _mm_and_si128(moved, _mm_set1_epi32(0x7FFFFF));
    m = _mm_castsi128_ps(_mm_add_epi32(fraction, _mm_set1_epi32(std::int32_t(kCut))));
}

// Lanes holding a power the batch roads take: finite, from 1e-36 up. (The float next below
// 1e-36f lies below 1e-36.)
[[gnu::always_inline]] inline __m128 OrdinaryPowers(__m128 x) {
    return _mm_and_ps(
        _mm_cmpge_ps(x, _mm_set1_ps(1e-36f)), _mm_cmple_ps(x, _mm_set1_ps(std::numeric_limits<float>::max())));
}

// ln of four finite floats from 1e-36 up (normal numbers), in two pairs.
[[gnu::always_inline]] inline void Log4(__m128i bits, __m128d& low, __m128d& high) {
    __m128i e, fraction;
    __m128 m;
    SplitAtCut(bits, e, fraction, m);
    const __m128i j = _mm_srli_epi32(fraction, 23 - kTableBits);  // below 2^8: one 16-bit word each
    low = LogPair(_mm_cvtps_pd(m), _mm_cvtepi32_pd(e), std::uint32_t(_mm_extract_epi16(j, 0)),
        std::uint32_t(_mm_extract_epi16(j, 2)));
    high = LogPair(_mm_cvtps_pd(_mm_movehl_ps(m, m)), _mm_cvtepi32_pd(_mm_srli_si128(e, 8)),
        std::uint32_t(_mm_extract_epi16(j, 4)), std::uint32_t(_mm_extract_epi16(j, 6)));
}

// ln x of four finite floats from 1e-36 up, in single precision: x = 2^e m with m in
// [sqrt(2)/2, sqrt(2)), f = m - 1, ln(1 + f) = f - f^2/2 + f^3 P(f) by the classic
// single-precision polynomial (evaluated in pairs and quads of terms, side by side), and
// e ln 2 in two parts. Within 8.2e-8 |ln x| + 4.7e-8 of the double logarithm, as a
// one-off check over every such float found; the tests sample that range.
[[gnu::always_inline]] inline __m128 LogSingle4(__m128 x) {
    __m128i exponent, fraction;
    __m128 m;
    SplitAtCut(_mm_castps_si128(x), exponent, fraction, m);
    const __m128 e = _mm_cvtepi32_ps(exponent);
    const __m128 f = _mm_sub_ps(m, _mm_set1_ps(1.0f));
    const __m128 f2 = _mm_mul_ps(f, f), f4 = _mm_mul_ps(f2, f2), f8 = _mm_mul_ps(f4, f4);
    const auto pair = [&](float low, float high) {
        return _mm_add_ps(_mm_set1_ps(low), _mm_mul_ps(f, _mm_set1_ps(high)));
    };
    const __m128 quad0 = _mm_add_ps(
        pair(3.3333331174E-1f, -2.4999993993E-1f), _mm_mul_ps(pair(2.0000714765E-1f, -1.6668057665E-1f), f2));
    const __m128 quad1 = _mm_add_ps(
        pair(1.4249322787E-1f, -1.2420140846E-1f), _mm_mul_ps(pair(1.1676998740E-1f, -1.1514610310E-1f), f2));
    const __m128 p =
        _mm_add_ps(_mm_add_ps(quad0, _mm_mul_ps(quad1, f4)), _mm_mul_ps(_mm_set1_ps(7.0376836292E-2f), f8));
    __m128 y = _mm_mul_ps(_mm_mul_ps(p, f), f2);
    y = _mm_add_ps(y, _mm_mul_ps(e, _mm_set1_ps(-2.12194440e-4f)));
    y = _mm_sub_ps(y, _mm_mul_ps(f2, _mm_set1_ps(0.5f)));
    return _mm_add_ps(_mm_add_ps(f, y), _mm_mul_ps(e, _mm_set1_ps(0.693359375f)));
}

}  // namespace

void SpectrogramLevels::FastValues(const float* power, std::int64_t n, float offset, float* out) const {
    const __m128 factor = _mm_set1_ps(m_factor), shift = _mm_set1_ps(offset);
    const auto levels = [&](__m128 x) {
        const __m128 ordinary = OrdinaryPowers(x);
        const __m128 v = _mm_add_ps(_mm_mul_ps(LogSingle4(x), factor), shift);
        return _mm_or_ps(
            _mm_and_ps(ordinary, v), _mm_andnot_ps(ordinary, _mm_set1_ps(std::numeric_limits<float>::quiet_NaN())));
    };
    std::int64_t i = 0;
    for (; i + 4 <= n; i += 4) _mm_storeu_ps(out + i, levels(_mm_loadu_ps(power + i)));
    if (i < n) {
        float rest[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        std::memcpy(rest, power + i, sizeof(float) * std::size_t(n - i));
        _mm_storeu_ps(rest, levels(_mm_loadu_ps(rest)));
        std::memcpy(out + i, rest, sizeof(float) * std::size_t(n - i));
    }
}

void SpectrogramLevels::Values(const float* power, std::int64_t n, float offset, float* out) const {
    std::int64_t i = 0;
    const __m128d factor = _mm_set1_pd(double(m_factor)), shift = _mm_set1_pd(double(offset));
    for (; i + 4 <= n; i += 4) {
        const __m128 x = _mm_loadu_ps(power + i);
        // Finite powers the guard does not catch go four at a time; the others take the
        // scalar road.
        if (_mm_movemask_ps(OrdinaryPowers(x)) != 0xF) {
            for (int j = 0; j < 4; ++j) out[i + j] = Value(power[i + j], offset);
            continue;
        }
        __m128d low, high;
        Log4(_mm_castps_si128(x), low, high);
        low = _mm_add_pd(_mm_mul_pd(low, factor), shift);
        high = _mm_add_pd(_mm_mul_pd(high, factor), shift);
        _mm_storeu_ps(out + i, _mm_movelh_ps(_mm_cvtpd_ps(low), _mm_cvtpd_ps(high)));
    }
    for (; i < n; ++i) out[i] = Value(power[i], offset);
}

}  // namespace UI
