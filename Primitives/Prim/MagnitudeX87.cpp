// Portable builds: sums of squares in double, rounded once at the store. The
// split magnitude keeps the x87 unit's wide exponent range for squares that
// leave the double range.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/FloatBits.h>
#include <Primitives/Prim/Magnitude.h>

#include <cmath>
#include <cstddef>

namespace Prim {
namespace {

using ArithCheck::Vectors;

// An x87 load quietens a signalling NaN; the sign bit is cleared either way.
template <class T>
T Abs(T x) {
    return std::isnan(x) ? std::fabs(FloatBits::Quieted(x)) : std::fabs(x);
}

template <class T>
Status AbsOf(const T* src, T* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) dst[i] = Abs(src[i]);
    return StatusOk;
}

double SumOfSquares(float re, float im) { return double(re) * double(re) + double(im) * double(im); }

}  // namespace

Status AbsF32_x87(const float* src, float* dst, std::int32_t len) { return AbsOf(src, dst, len); }
Status AbsF64_x87(const double* src, double* dst, std::int32_t len) { return AbsOf(src, dst, len); }
Status AbsInPlaceF32_x87(float* srcDst, std::int32_t len) { return AbsOf<float>(srcDst, srcDst, len); }
Status AbsInPlaceF64_x87(double* srcDst, std::int32_t len) { return AbsOf<double>(srcDst, srcDst, len); }

Status MagnitudeC32_x87(const float* src, float* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i)
        dst[i] = static_cast<float>(std::sqrt(SumOfSquares(src[2 * i], src[2 * i + 1])));
    return StatusOk;
}

Status MagnitudeSplitF64_x87(const double* re, const double* im, double* dst, std::int32_t len) {
    if (const Status s = Vectors(len, re, im, dst); s != StatusOk) return s;
    // Below this a square that underflowed may have lost bits that the sum needs.
    constexpr double smallestExact = 0x1p-960;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) {
        const double sum = re[i] * re[i] + im[i] * im[i];
        if (sum >= smallestExact && sum <= 0x1.fffffffffffffp+1023) {
            dst[i] = std::sqrt(sum);
        } else {
            const long double r = re[i], m = im[i];
            dst[i] = static_cast<double>(std::sqrt(r * r + m * m));
        }
    }
    return StatusOk;
}

Status PowerSpectrumC32_x87(const float* src, float* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) dst[i] = static_cast<float>(SumOfSquares(src[2 * i], src[2 * i + 1]));
    return StatusOk;
}

}  // namespace Prim
