// SSE2 build of the exponential. Groups of eight whose magnitudes are all
// below 87.25 (and such trailing values) take a cubic in single precision
// with 2^n built in the exponent field; other groups and values take a
// degree-6 polynomial in double, converted to float once.
#include <Primitives/Prim/ExpLnDrivers.h>
#include <Primitives/Prim/FloatFlags.h>

#include <emmintrin.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <limits>

namespace Prim {
namespace {

constexpr float singleBelow = 87.25f;
constexpr float overflowAbove = std::bit_cast<float>(0x42B17217u);  // 88.72283172607422
constexpr float underflowBelow = std::bit_cast<float>(0xC2AEAC4Fu);  // -87.33654022216797

__m128 ExpSingle(__m128 x) {
    const __m128 shift = _mm_set1_ps(0x1.8p23f);
    const __m128 n = _mm_sub_ps(_mm_add_ps(_mm_mul_ps(x, _mm_set1_ps(1.44269502f)), shift), shift);
    const __m128 r = _mm_sub_ps(x, _mm_mul_ps(n, _mm_set1_ps(0.693147182f)));
    __m128 p = _mm_add_ps(_mm_set1_ps(0.503758848f), _mm_mul_ps(r, _mm_set1_ps(0.166666225f)));
    p = _mm_add_ps(_mm_set1_ps(1.00004506f), _mm_mul_ps(r, p));
    p = _mm_add_ps(_mm_set1_ps(1.0f), _mm_mul_ps(r, p));
    const __m128i twoToN = _mm_slli_epi32(_mm_add_epi32(_mm_cvtps_epi32(n), _mm_set1_epi32(127)), 23);
    return _mm_mul_ps(p, _mm_castsi128_ps(twoToN));
}

float ExpDouble(float xf, Status& warning) {
    if (std::isnan(xf)) return xf;
    if (xf > overflowAbove && std::isfinite(xf)) {
        warning = StatusOverflowWarning;
        FloatFlags::RaiseOverflow();
    } else if (xf < underflowBelow && std::isfinite(xf)) {
        warning = StatusUnderflowWarning;
        FloatFlags::RaiseUnderflow();
    }
    if (xf >= 160.0f) return std::numeric_limits<float>::infinity();
    if (xf < -160.0f) return 0.0f;
    const __m128d x = _mm_set_sd(xf), shift = _mm_set_sd(0x1.8p52);
    const __m128d n = _mm_sub_sd(_mm_add_sd(_mm_mul_sd(x, _mm_set_sd(1.4426950408889634)), shift), shift);
    const __m128d r = _mm_sub_sd(x, _mm_mul_sd(n, _mm_set_sd(0.6931471805599453)));
    constexpr double c[7] = {1.0000000005585943, 1.0000000365391162, 0.49999992032320767, 0.16666419190347548,
        0.04166823180102744, 0.008374898363057623, 0.0013836742051737468};
    __m128d p = _mm_set_sd(c[6]);
    for (int k = 5; k >= 0; --k) p = _mm_add_sd(_mm_set_sd(c[k]), _mm_mul_sd(r, p));
    const auto exponent = static_cast<std::int64_t>(_mm_cvtsd_si32(n)) + 1023;
    const __m128d twoToN = _mm_castsi128_pd(_mm_cvtsi64_si128(exponent << 52));
    return _mm_cvtss_f32(_mm_cvtsd_ss(_mm_setzero_ps(), _mm_mul_sd(p, twoToN)));
}

bool AllSmall(__m128 x) {
    const __m128 magnitude = _mm_and_ps(x, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
    return _mm_movemask_ps(_mm_cmplt_ps(magnitude, _mm_set1_ps(singleBelow))) == 0xF;
}

}  // namespace

Status ExpF32_sse2(const float* src, float* dst, std::int32_t len) {
    return ExpLnDrivers::EightAtATime(
        src, dst, len, AllSmall, [](__m128 x) { return ExpSingle(x); }, ExpDouble);
}

}  // namespace Prim
