// Portable builds, in double. Pairs of values reduce the phase by pi with a
// truncated quotient and take a degree-9 odd polynomial for sine and cosine;
// an odd last value takes the C library's cosine and sine.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Magnitude.h>
#include <Primitives/Prim/Polar.h>

#include <cmath>
#include <cstddef>

namespace Prim {
namespace {

constexpr double pi = 3.141592653589793, halfPi = 1.5707963267948966, inversePi = 0.3183098861837907;

double Sine(double u) {
    const double u2 = u * u;
    return u +
        u * u2 *
        (-0.16666665094466732 +
            u2 * (0.008333215738643764 + u2 * (-0.00019820663968799938 + u2 * 2.630033909762885e-06)));
}

void FromPolar(float magn, float phase, float* out) {
    const double p = phase;
    const double k = std::trunc(p * inversePi);
    double r = p - k * pi;
    double c = 1.0;
    if (std::fabs(r) > halfPi) {
        r = (p >= 0 ? pi : -pi) - r;
        c = -1.0;
    }
    float sine = static_cast<float>(Sine(r)), cosine = static_cast<float>(Sine(halfPi - std::fabs(r)));
    if (std::fmod(k, 2.0) != 0.0) {
        sine = -sine;
        cosine = -cosine;
    }
    out[0] = static_cast<float>(double(magn) * cosine * c);
    out[1] = static_cast<float>(double(magn) * sine);
}

}  // namespace

Status PolarToCartC32_x87(const float* magn, const float* phase, float* dst, std::int32_t len) {
    if (const Status s = ArithCheck::Vectors(len, magn, phase, dst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        FromPolar(magn[i], phase[i], dst + 2 * i);
        FromPolar(magn[i + 1], phase[i + 1], dst + 2 * i + 2);
    }
    if (n % 2 == 1) {
        const double m = magn[n - 1], p = phase[n - 1];
        dst[2 * n - 2] = static_cast<float>(m * std::cos(p));
        dst[2 * n - 1] = static_cast<float>(m * std::sin(p));
    }
    return StatusOk;
}

Status CartToPolarC32_x87(const float* src, float* magn, float* phase, std::int32_t len) {
    const Status magnitudes = MagnitudeC32_x87(src, magn, len);
    if (magnitudes != StatusOk) return magnitudes;
    if (const Status s = ArithCheck::Vectors(len, src, phase); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i)
        phase[i] = static_cast<float>(std::atan2(double(src[2 * i + 1]), double(src[2 * i])));
    return StatusOk;
}

// Squares summed in two running sums, the even indices and the odd ones.
Status NormL2F32_x87(const float* src, std::int32_t len, float* norm) {
    if (const Status s = ArithCheck::Vectors(len, src, norm); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    double even = 0.0, odd = 0.0;
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        even += double(src[i]) * double(src[i]);
        odd += double(src[i + 1]) * double(src[i + 1]);
    }
    if (n % 2 == 1) even += double(src[n - 1]) * double(src[n - 1]);
    *norm = static_cast<float>(std::sqrt(odd + even));
    return StatusOk;
}

}  // namespace Prim
