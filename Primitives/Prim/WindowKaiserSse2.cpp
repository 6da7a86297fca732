// SSE2 builds of the Kaiser windows. The 32-bit window works in single
// precision throughout (its own single-precision exponential), so it differs
// from the portable build in the last bits; the 64-bit window computes as the
// portable one, with the SSE2 exponential's overflow and underflow limits.
#include <Primitives/Prim/Window.h>
#include <Primitives/Prim/WindowKaiserMath.h>

#include <emmintrin.h>

#include <cmath>
#include <cstddef>

namespace Prim {
namespace {

using namespace WindowKaiserMath;

float I0ShortSingle(float x) { return I0Short<float>(x, ExpF32); }

}  // namespace

Status WinKaiserF32_sse2(float* srcDst, std::int32_t len, float alpha) {
    if (const Status s = Check(srcDst, len, alpha, 38.0); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    const std::int64_t m = std::int64_t{len} - 1;
    const float norm = 1.0f / I0ShortSingle((float(m) * alpha) * 0.5f);
    const __m128 alphaLanes = _mm_set1_ps(alpha);
    const std::size_t pairs = n / 2;
    for (std::size_t k = 0; k < pairs; k += 4) {
        // k (M - k) is exact in double; one rounding brings it to single.
        alignas(16) double products[4] = {};
        const std::size_t count = pairs - k < 4 ? pairs - k : 4;
        for (std::size_t j = 0; j < count; ++j) products[j] = double(Product(std::int64_t(k + j), m));
        const __m128 narrowed =
            _mm_movelh_ps(_mm_cvtpd_ps(_mm_load_pd(products)), _mm_cvtpd_ps(_mm_load_pd(products + 2)));
        alignas(16) float arguments[4];
        _mm_store_ps(arguments, _mm_mul_ps(alphaLanes, _mm_sqrt_ps(narrowed)));
        for (std::size_t j = 0; j < count; ++j) {
            const float w = I0ShortSingle(arguments[j]) * norm;
            srcDst[k + j] *= w;
            srcDst[n - 1 - k - j] *= w;
        }
    }
    return StatusOk;
}

Status WinKaiserF64_sse2(double* srcDst, std::int32_t len, float alpha) {
    if (const Status s = Check(srcDst, len, alpha, 308.0); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    const std::int64_t m = std::int64_t{len} - 1;
    const double a = double(alpha);
    const double norm = 1.0 / I0Long(0.5 * double(m) * a, ExpRange::Sse2);
    const __m128d alphaLanes = _mm_set1_pd(a);
    const std::size_t pairs = n / 2;
    for (std::size_t k = 0; k < pairs; k += 2) {
        const bool both = pairs - k >= 2;
        const double second = both ? double(Product(std::int64_t(k + 1), m)) : 0.0;
        alignas(16) double arguments[2];
        _mm_store_pd(
            arguments, _mm_mul_pd(alphaLanes, _mm_sqrt_pd(_mm_setr_pd(double(Product(std::int64_t(k), m)), second))));
        for (std::size_t j = 0; j < (both ? 2u : 1u); ++j) {
            const double w = I0Long(arguments[j], ExpRange::Sse2) * norm;
            srcDst[k + j] *= w;
            srcDst[n - 1 - k - j] *= w;
        }
    }
    return StatusOk;
}

}  // namespace Prim
