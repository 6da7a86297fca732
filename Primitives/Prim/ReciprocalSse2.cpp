// SSE2 builds. Floats: the reciprocal and reciprocal-square-root estimates
// with one Newton step, in single precision; the divisor keeps the element's
// sign (so -0 gives -inf, or -1/T). A group holding a value the estimates do
// not cover (zero, subnormal, infinite or NaN) is divided exactly instead,
// where the estimate would give a wrong infinity. Doubles: runs of four
// divisors inverted from one division of their product; the real form takes
// the even and the odd positions of eight consecutive elements as two runs.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Estimates.h>
#include <Primitives/Prim/MxcsrScope.h>
#include <Primitives/Prim/Reciprocal.h>
#include <Primitives/Prim/SimdLanes.h>

#include <emmintrin.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <limits>

namespace Prim {
namespace {

using Estimates::Select;

constexpr float infF = std::numeric_limits<float>::infinity();

// For the duration of the real operations: exceptions masked and the zero-divide flag clear.
MxcsrScope QuietDivisions() {
    return MxcsrScope(MxcsrExceptionMasks, MxcsrExceptionMasks | MxcsrZeroDivideFlag, MxcsrScope::Restore::Always);
}

int LaneMask(std::size_t count) { return (1 << count) - 1; }

// The first `count` lanes are normal and finite.
bool Covered(__m128 a, std::size_t count) {
    const __m128 magnitude = _mm_and_ps(a, Estimates::AbsMask());
    const __m128 ordinary =
        _mm_and_ps(_mm_cmpge_ps(magnitude, Estimates::SmallestNormal()), _mm_cmplt_ps(magnitude, _mm_set1_ps(infF)));
    return (_mm_movemask_ps(ordinary) & LaneMask(count)) == LaneMask(count);
}

__m128 Inverse(__m128 a, std::size_t count) {
    return Covered(a, count) ? Estimates::Reciprocal(a) : _mm_div_ps(_mm_set1_ps(1.0f), a);
}

// Groups of one until v reaches a 16-byte boundary, then of four, then two and
// one; step(lanes, count) maps 16-byte aligned floats whose first `count`
// elements are the group's.
template <std::size_t Floats, class Step>
void Groups(float* v, std::size_t n, Step step) {
    const auto group = [&](std::size_t at, std::size_t count) {
        if (count == 4 && SimdLanes::Aligned16(v + Floats * at)) {
            step(v + Floats * at, count);
            return;
        }
        alignas(16) float lanes[4 * Floats] = {};
        std::memcpy(lanes, v + Floats * at, Floats * count * sizeof(float));
        step(lanes, count);
        std::memcpy(v + Floats * at, lanes, Floats * count * sizeof(float));
    };
    std::size_t i = 0;
    for (; i < n && !SimdLanes::Aligned16(v + Floats * i); ++i) group(i, 1);
    for (; i + 4 <= n; i += 4) group(i, 4);
    for (std::size_t size : {2, 1}) {
        if (i + size <= n) {
            group(i, size);
            i += size;
        }
    }
}

// --- complex floats: re^2 + im^2 and the outputs of four values

void Split(const float* lanes, __m128& re, __m128& im) {
    const __m128 a = _mm_load_ps(lanes), b = _mm_load_ps(lanes + 4);
    re = _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0));
    im = _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1));
}

void Join(float* lanes, __m128 re, __m128 im) {
    _mm_store_ps(lanes, _mm_unpacklo_ps(re, im));
    _mm_store_ps(lanes + 4, _mm_unpackhi_ps(re, im));
}

__m128 Negated(__m128 v) { return _mm_xor_ps(v, _mm_set1_ps(-0.0f)); }

// --- doubles

// 1/a, the signed infinity for a zero, with warning 4.
double Plain(double a, Status& status) {
    if (a == 0.0) status = StatusZeroElementWarning;
    return 1.0 / a;
}

// Two runs side by side, lane 0 and lane 1 of `count` (4 or 2) registers of
// divisors: each run inverted from the inverse R of its product P; a lane whose
// P or R is zero, infinite or NaN is divided plainly.
// The lanes of `inverses` whose run could not use its product, divided plainly.
[[gnu::noinline]] void InvertPlainly(const __m128d* a, __m128d* inverses, int count, int usable, Status& status) {
    for (int lane = 0; lane < 2; ++lane) {
        if ((usable & (1 << lane)) != 0) continue;
        for (int k = 0; k < count; ++k) {
            alignas(16) double pair[2], out[2];
            _mm_store_pd(pair, a[k]);
            _mm_store_pd(out, inverses[k]);
            out[lane] = Plain(pair[lane], status);
            inverses[k] = _mm_load_pd(out);
        }
    }
}

template <int Count>
inline void InvertRuns(__m128d (&a)[4], Status& status) {
    __m128d p, r, inverses[4];
    if constexpr (Count == 4) {
        const __m128d low = _mm_mul_pd(a[0], a[1]), high = _mm_mul_pd(a[2], a[3]);
        p = _mm_mul_pd(low, high);
        r = _mm_div_pd(_mm_set1_pd(1.0), p);
        const __m128d highR = _mm_mul_pd(high, r), lowR = _mm_mul_pd(low, r);
        inverses[0] = _mm_mul_pd(a[1], highR);
        inverses[1] = _mm_mul_pd(a[0], highR);
        inverses[2] = _mm_mul_pd(a[3], lowR);
        inverses[3] = _mm_mul_pd(a[2], lowR);
    } else {
        p = _mm_mul_pd(a[0], a[1]);
        r = _mm_div_pd(_mm_set1_pd(1.0), p);
        inverses[0] = _mm_mul_pd(a[1], r);
        inverses[1] = _mm_mul_pd(a[0], r);
    }
    // Usable: 0 < |P| < inf and 0 < |R| < inf (false for NaN).
    const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
    const __m128d inf = _mm_set1_pd(std::numeric_limits<double>::infinity()), zero = _mm_setzero_pd();
    const auto finite = [&](__m128d v) {
        const __m128d m = _mm_and_pd(v, magnitude);
        return _mm_and_pd(_mm_cmpgt_pd(m, zero), _mm_cmplt_pd(m, inf));
    };
    const int usable = _mm_movemask_pd(_mm_and_pd(finite(p), finite(r)));
    if (usable != 3) InvertPlainly(a, inverses, Count, usable, status);
    for (int k = 0; k < Count; ++k) a[k] = inverses[k];
}

}  // namespace

Status InvThreshInPlaceF32_sse2(float* srcDst, std::int32_t len, float threshold) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    if (!(threshold >= 0)) return StatusNegativeLevel;
    const MxcsrScope quiet = QuietDivisions();
    Status status = StatusOk;
    const __m128 t = _mm_set1_ps(threshold), sign = _mm_set1_ps(-0.0f);
    Groups<1>(srcDst, static_cast<std::size_t>(len), [&](float* lanes, std::size_t count) {
        const __m128 x = _mm_load_ps(lanes);
        if (threshold == 0) {
            const __m128 zero = _mm_cmpeq_ps(x, _mm_setzero_ps());
            if ((_mm_movemask_ps(zero) & LaneMask(count)) != 0) status = StatusZeroElementWarning;
            _mm_store_ps(lanes, Inverse(x, count));
            return;
        }
        // |x| raised to at least T, the sign kept.
        const __m128 a = _mm_or_ps(_mm_max_ps(_mm_andnot_ps(sign, x), t), _mm_and_ps(sign, x));
        _mm_store_ps(lanes, Inverse(a, count));
    });
    return status;
}

Status InvThreshInPlaceC32_sse2(float* srcDst, std::int32_t len, float threshold) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    if (!(threshold >= 0)) return StatusNegativeLevel;
    Status status = StatusOk;
    const __m128 one = _mm_set1_ps(1.0f), t2 = _mm_set1_ps(threshold * threshold);
    const __m128 inverseT = _mm_set1_ps(threshold > 0 ? 1.0f / threshold : 0.0f);
    Groups<2>(srcDst, static_cast<std::size_t>(len), [&](float* lanes, std::size_t count) {
        __m128 re, im;
        Split(lanes, re, im);
        const __m128 p = _mm_add_ps(_mm_mul_ps(re, re), _mm_mul_ps(im, im));
        const __m128 zero = _mm_cmpeq_ps(p, _mm_setzero_ps());
        if (threshold == 0) {
            if ((_mm_movemask_ps(zero) & LaneMask(count)) != 0) status = StatusZeroElementWarning;
            const __m128 r = Inverse(Select(zero, one, p), count);
            Join(lanes, Select(zero, _mm_set1_ps(infF), _mm_mul_ps(re, r)),
                Select(zero, _mm_setzero_ps(), _mm_mul_ps(Negated(im), r)));
            return;
        }
        const __m128 exact = _mm_cmpge_ps(p, t2);
        const __m128 r = Inverse(Select(exact, p, one), count);
        // 1 / (sqrt(p) T) from the reciprocal square root of p T^2.
        const __m128 q = Select(_mm_or_ps(exact, zero), one, _mm_mul_ps(p, t2));
        const __m128 s = Covered(q, count) ? Estimates::ReciprocalSquareRoot(q) : _mm_div_ps(one, _mm_sqrt_ps(q));
        const __m128 scale = Select(exact, r, s);
        Join(lanes, Select(zero, inverseT, _mm_mul_ps(re, scale)),
            Select(zero, _mm_setzero_ps(), _mm_mul_ps(Negated(im), scale)));
    });
    return status;
}

Status InvThreshInPlaceF64_sse2(double* srcDst, std::int32_t len, double threshold) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    if (!(threshold >= 0)) return StatusNegativeLevel;
    const MxcsrScope quiet = QuietDivisions();
    Status status = StatusOk;
    const __m128d t = _mm_set1_pd(threshold), sign = _mm_set1_pd(-0.0);
    const auto divisors = [&](const double* p) {
        const __m128d x = _mm_loadu_pd(p);
        return threshold == 0 ? x : _mm_or_pd(_mm_max_pd(_mm_andnot_pd(sign, x), t), _mm_and_pd(sign, x));
    };
    const auto plain = [&](std::size_t i) {
        const double x = srcDst[i], raised = std::fabs(x) > threshold ? std::fabs(x) : threshold;
        srcDst[i] = Plain(threshold == 0 ? x : std::copysign(raised, x), status);
    };
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    if (!SimdLanes::Aligned16(srcDst) && n > 0) plain(i++);
    // Runs over the even and the odd positions: of four each in eight elements,
    // then at most once of two each in four elements.
    const auto runs = [&]<int Count>() {
        __m128d a[4];
        for (int k = 0; k < Count; ++k) a[k] = divisors(srcDst + i + 2 * k);
        InvertRuns<Count>(a, status);
        for (int k = 0; k < Count; ++k) _mm_storeu_pd(srcDst + i + 2 * k, a[k]);
        i += 2 * Count;
    };
    while (i + 8 <= n) runs.template operator()<4>();
    if (i + 4 <= n) runs.template operator()<2>();
    for (; i < n; ++i) plain(i);
    return status;
}

Status InvThreshInPlaceC64_sse2(double* srcDst, std::int32_t len, double threshold) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    if (!(threshold >= 0)) return StatusNegativeLevel;
    Status status = StatusOk;
    const double inverseT2 = threshold > 0 ? 1.0 / (threshold * threshold) : 0.0;
    const std::size_t n = static_cast<std::size_t>(len);
    const auto square = [&](std::size_t k) {
        return srcDst[2 * k] * srcDst[2 * k] + srcDst[2 * k + 1] * srcDst[2 * k + 1];
    };
    // (re q, -im q) for value k, or the fixed value of a zero one.
    const auto finish = [&](std::size_t k, double p, double q) {
        double* z = srcDst + 2 * k;
        if (p == 0.0) {
            if (threshold == 0) status = StatusZeroElementWarning;
            _mm_storeu_pd(
                z, _mm_set_pd(0.0, threshold == 0 ? std::numeric_limits<double>::infinity() : 1.0 / threshold));
            return;
        }
        if (threshold > 0 && q >= inverseT2) q = std::sqrt(q * inverseT2);
        _mm_storeu_pd(z, _mm_mul_pd(_mm_loadu_pd(z), _mm_set_pd(-q, q)));
    };
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4) {
        const double p[4] = {square(k), square(k + 1), square(k + 2), square(k + 3)};
        const double low = p[0] * p[1], high = p[2] * p[3];
        const double r = 1.0 / (low * high);
        // Under a threshold the product is used only when no value is zero.
        const bool byProduct = !(r == 0.0 || !std::isfinite(r) || std::fabs(r) < std::numeric_limits<double>::min());
        const double q[4] = {p[1] * (high * r), p[0] * (high * r), p[3] * (low * r), p[2] * (low * r)};
        for (std::size_t j = 0; j < 4; ++j) finish(k + j, p[j], byProduct ? q[j] : 1.0 / p[j]);
    }
    for (; k < n; ++k) {
        const double p = square(k);
        finish(k, p, 1.0 / p);
    }
    return status;
}

}  // namespace Prim
