// SSE2 build of the logarithm. Groups of eight positive normal floats (and
// such trailing values) take a degree-5 polynomial in m - 1 in single
// precision; other groups and values go one by one through the x87 unit's
// logarithm (the long double one here), which also gives the special values.
#include <Primitives/Prim/ExpLnDrivers.h>
#include <Primitives/Prim/FloatBits.h>
#include <Primitives/Prim/FloatFlags.h>

#include <emmintrin.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>

namespace Prim {
namespace {

// x = 2^e m, m in [1, 2) and halved from 1.4142135 (fraction 0x3504F3) on; t = m - 1.
__m128 LnSingle(__m128 x) {
    const __m128i bits = _mm_castps_si128(x);
    const __m128i fraction = _mm_and_si128(bits, _mm_set1_epi32(0x7FFFFF));
    const __m128i halve = _mm_cmpgt_epi32(fraction, _mm_set1_epi32(0x3504F2));  // -1 where halved
    const __m128i e = _mm_sub_epi32(_mm_sub_epi32(_mm_srli_epi32(bits, 23), _mm_set1_epi32(127)), halve);
    const __m128i exponentOfM = _mm_or_si128(
        _mm_and_si128(halve, _mm_set1_epi32(0x3F000000)), _mm_andnot_si128(halve, _mm_set1_epi32(0x3F800000)));
    const __m128 t = _mm_sub_ps(_mm_castsi128_ps(_mm_or_si128(fraction, exponentOfM)), _mm_set1_ps(1.0f));
    constexpr float c[5] = {0.999962032f, -0.499366522f, 0.336541474f, -0.272591919f, 0.17787075f};
    __m128 p = _mm_set1_ps(c[4]);
    for (int k = 3; k >= 0; --k) p = _mm_add_ps(_mm_set1_ps(c[k]), _mm_mul_ps(t, p));
    return _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(e), _mm_set1_ps(0.693147182f)), _mm_mul_ps(t, p));
}

bool AllNormal(__m128 x) {
    const __m128i bits = _mm_castps_si128(x);
    const __m128i normal = _mm_and_si128(
        _mm_cmpgt_epi32(bits, _mm_set1_epi32(0x007FFFFF)), _mm_cmplt_epi32(bits, _mm_set1_epi32(0x7F800000)));
    return _mm_movemask_epi8(normal) == 0xFFFF;
}

float LnExtended(float x, Status& warning) {
    if (std::isnan(x)) return FloatBits::Quieted(x);
    if (x == 0.0f) {
        warning = StatusLnSingularWarning;
        FloatFlags::RaiseDivideByZero();
        return -std::numeric_limits<float>::infinity();
    }
    if (x < 0.0f) {
        warning = StatusLnInvalidWarning;
        FloatFlags::RaiseInvalid();
        return FloatBits::NegativeQuietNanF32;
    }
    return static_cast<float>(std::log(static_cast<long double>(x)));
}

}  // namespace

Status LnF32_sse2(const float* src, float* dst, std::int32_t len) {
    return ExpLnDrivers::EightAtATime(
        src, dst, len, AllNormal, [](__m128 x) { return LnSingle(x); }, LnExtended);
}

}  // namespace Prim
