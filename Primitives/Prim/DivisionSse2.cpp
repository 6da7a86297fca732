// SSE2 builds. Float quotients come from the reciprocal estimate r of d with
// the correction q + (q e + q) e, q = n r, e = 1 - d r, in groups of 8 (of 4
// when a vector is not on a 4-byte boundary; of 1, 2 or 4 at the edges). A
// group with a zero divisor is divided exactly, element by element; so is one
// with a divisor the estimate does not cover (subnormal, beyond 2^125, infinite
// or NaN) or a quotient beyond the float range, where the correction would give
// 0 or NaN instead of the quotient.
// Double quotients take one division per four divisors and are rounded to a
// multiple of four units in the last place.
#include <Primitives/Prim/Arith.h>
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Division.h>
#include <Primitives/Prim/FloatBits.h>
#include <Primitives/Prim/SimdLanes.h>

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <type_traits>

namespace Prim {
namespace {

using ArithCheck::MatchesConstant;
using ArithCheck::Vectors;

// --- single precision

float ByZeroF32(float n) {
    if (n > 0) return std::numeric_limits<float>::infinity();
    if (n < 0) return -std::numeric_limits<float>::infinity();
    return FloatBits::PositiveQuietNanF32;  // 0 or NaN
}

__m128 Magnitude(__m128 v) { return _mm_and_ps(v, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF))); }

// False when some lane's q = n r is infinite or NaN.
bool Quotients(__m128 n, __m128 d, __m128& result) {
    const __m128 r = _mm_rcp_ps(d);
    const __m128 e = _mm_sub_ps(_mm_set1_ps(1.0f), _mm_mul_ps(d, r));
    const __m128 q = _mm_mul_ps(n, r);
    result = _mm_add_ps(q, _mm_mul_ps(_mm_add_ps(_mm_mul_ps(q, e), q), e));
    return _mm_movemask_ps(_mm_cmple_ps(Magnitude(q), _mm_set1_ps(std::numeric_limits<float>::max()))) == 0xF;
}

// All lanes hold divisors with 2^-125 <= |d| < 2^125 (false for NaN).
bool Covered(__m128 d) {
    const __m128 magnitude = Magnitude(d);
    const __m128 inside =
        _mm_and_ps(_mm_cmpge_ps(magnitude, _mm_set1_ps(0x1p-125f)), _mm_cmplt_ps(magnitude, _mm_set1_ps(0x1p125f)));
    return _mm_movemask_ps(inside) == 0xF;
}

// The dividends: a vector, or one constant for all elements.
struct DividendVector {
    const float* p;
    float operator[](std::size_t i) const { return p[i]; }
    __m128 Lanes(std::size_t i) const { return _mm_loadu_ps(p + i); }
};
struct DividendConstant {
    float value;
    float operator[](std::size_t) const { return value; }
    __m128 Lanes(std::size_t) const { return _mm_set1_ps(value); }
};

// Dividends and divisors of a group of 1 to 8 elements, as two registers each
// (the lanes past `count` hold 1 / 1).
template <class Dividends>
void Load(const Dividends& n, const float* d, std::size_t count, __m128 (&nv)[2], __m128 (&dv)[2]) {
    if (count % 4 == 0) {
        for (std::size_t h = 0; h < 2; ++h) {
            nv[h] = h * 4 < count ? n.Lanes(4 * h) : _mm_set1_ps(1.0f);
            dv[h] = h * 4 < count ? _mm_loadu_ps(d + 4 * h) : _mm_set1_ps(1.0f);
        }
        return;
    }
    alignas(16) float n8[8] = {1, 1, 1, 1, 1, 1, 1, 1}, d8[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    for (std::size_t i = 0; i < count; ++i) n8[i] = n[i];
    std::memcpy(d8, d, count * sizeof(float));
    nv[0] = _mm_load_ps(n8);
    nv[1] = _mm_load_ps(n8 + 4);
    dv[0] = _mm_load_ps(d8);
    dv[1] = _mm_load_ps(d8 + 4);
}

// n[i] / d[i] for one group of `count` elements (1 to 8) starting at n[0], d[0], dst[0].
template <class Dividends>
Status Group(const Dividends& n, const float* d, float* dst, std::size_t count) {
    __m128 nv[2], dv[2], q[2];
    Load(n, d, count, nv, dv);
    if (Covered(dv[0]) && Covered(dv[1]) && Quotients(nv[0], dv[0], q[0]) && Quotients(nv[1], dv[1], q[1])) {
        if (count % 4 == 0) {
            _mm_storeu_ps(dst, q[0]);
            if (count == 8) _mm_storeu_ps(dst + 4, q[1]);
        } else {
            alignas(16) float q8[8];
            _mm_store_ps(q8, q[0]);
            _mm_store_ps(q8 + 4, q[1]);
            std::memcpy(dst, q8, count * sizeof(float));
        }
        return StatusOk;
    }
    Status status = StatusOk;
    for (std::size_t i = 0; i < count; ++i) {
        const float dividend = n[i];  // read before dst[i] (perhaps the same float) is written
        if (d[i] == 0.0f) {
            dst[i] = ByZeroF32(dividend);
            status = StatusDivideByZeroWarning;
        } else {
            dst[i] = dividend / d[i];
        }
    }
    return status;
}

// Groups of 8 once dst is 16-byte aligned, 1, 2 or 4 at the edges; 4 throughout
// when a vector is not on a 4-byte boundary.
template <class Dividends>
Status DivideF32(const Dividends& dividends, const float* d, float* dst, std::size_t n, bool wordAligned) {
    Status status = StatusOk;
    const auto group = [&](std::size_t at, std::size_t count) {
        Dividends shifted = dividends;
        if constexpr (std::is_same_v<Dividends, DividendVector>) shifted.p += at;
        if (Group(shifted, d + at, dst + at, count) != StatusOk) status = StatusDivideByZeroWarning;
    };
    std::size_t i = 0;
    if (!wordAligned) {
        for (; i < n; i += 4) group(i, std::min<std::size_t>(4, n - i));
        return status;
    }
    const auto offset = reinterpret_cast<std::uintptr_t>(dst) & 15;
    if ((offset & 4) != 0 && i < n) group(i++, 1);
    if ((offset == 4 || offset == 8) && i + 2 <= n) {
        group(i, 2);
        i += 2;
    }
    for (; i + 8 <= n; i += 8) group(i, 8);
    for (std::size_t size : {4, 2, 1}) {
        if (i + size <= n) {
            group(i, size);
            i += size;
        }
    }
    return status;
}

bool WordAligned(const void* p) { return (reinterpret_cast<std::uintptr_t>(p) & 3) == 0; }

// --- double precision

constexpr double positiveQuietNan = FloatBits::PositiveQuietNanF64;

double Exact(double n, double d, Status& status) {
    if (d == 0.0) {
        status = StatusDivideByZeroWarning;
        return positiveQuietNan;
    }
    return n / d;
}

// The exponent field of either lane all zeros or all ones.
bool OutOfRange(__m128d p) {
    const __m128i exponent = _mm_and_si128(_mm_castpd_si128(p), _mm_set1_epi64x(0x7FF0000000000000));
    const __m128i zeros = _mm_cmpeq_epi32(exponent, _mm_setzero_si128());
    const __m128i ones = _mm_cmpeq_epi32(exponent, _mm_set1_epi64x(0x7FF0000000000000));
    // The high word of each lane holds the whole exponent field.
    return ((_mm_movemask_epi8(zeros) | _mm_movemask_epi8(ones)) & 0xF0F0) != 0;
}

// Eight divisors as four registers (d0 d1), (d2 d3), (d4 d5), (d6 d7): the even
// lanes and the odd lanes each form one group of four.
bool BlockQuotients(const double* n, const double* d, double* dst) {
    const __m128d d01 = _mm_loadu_pd(d), d23 = _mm_loadu_pd(d + 2), d45 = _mm_loadu_pd(d + 4),
                  d67 = _mm_loadu_pd(d + 6);
    const __m128d a = _mm_mul_pd(d01, d45), b = _mm_mul_pd(d23, d67);
    const __m128d p = _mm_mul_pd(a, b);
    if (OutOfRange(p)) return false;
    const __m128d r = _mm_div_pd(_mm_set1_pd(1.0), p);
    const __m128d br = _mm_mul_pd(b, r), ar = _mm_mul_pd(a, r);
    const __m128d inverses[4] = {_mm_mul_pd(d45, br), _mm_mul_pd(d67, ar), _mm_mul_pd(d01, br), _mm_mul_pd(d23, ar)};
    const __m128i two = _mm_set1_epi64x(2), clear = _mm_set1_epi64x(~std::int64_t{3});
    for (int k = 0; k < 4; ++k) {
        const __m128d q = _mm_mul_pd(_mm_loadu_pd(n + 2 * k), inverses[k]);
        const __m128i rounded = _mm_and_si128(_mm_add_epi64(_mm_castpd_si128(q), two), clear);
        _mm_storeu_pd(dst + 2 * k, _mm_castsi128_pd(rounded));
    }
    return true;
}

}  // namespace

Status DivConstInPlaceF32_sse2(float value, float* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, 0.0f)) return StatusDivideByZero;
    return MulConstF32_sse2(srcDst, 1.0f / value, srcDst, len);
}
Status DivConstInPlaceF64_sse2(double value, double* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, 0.0)) return StatusDivideByZero;
    return MulConstInPlaceF64_sse2(1.0 / value, srcDst, len);
}
Status DivInPlaceF32_sse2(const float* src, float* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, src, srcDst); s != StatusOk) return s;
    return DivideF32(
        DividendVector{srcDst}, src, srcDst, static_cast<std::size_t>(len), WordAligned(src) && WordAligned(srcDst));
}
Status DivConstRevF32_sse2(const float* src, float value, float* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    return DivideF32(
        DividendConstant{value}, src, dst, static_cast<std::size_t>(len), WordAligned(src) && WordAligned(dst));
}
Status DivInPlaceF64_sse2(const double* src, double* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, src, srcDst); s != StatusOk) return s;
    Status status = StatusOk;
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    if ((reinterpret_cast<std::uintptr_t>(srcDst) & 8) != 0) {
        srcDst[0] = Exact(srcDst[0], src[0], status);
        i = 1;
    }
    for (; i + 8 <= n; i += 8) {
        if (!BlockQuotients(srcDst + i, src + i, srcDst + i)) {
            for (std::size_t k = i; k < i + 8; ++k) srcDst[k] = Exact(srcDst[k], src[k], status);
        }
    }
    for (; i < n; ++i) srcDst[i] = Exact(srcDst[i], src[i], status);
    return status;
}

}  // namespace Prim
