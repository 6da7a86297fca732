// Portable builds of the short windows: values in double precision, each
// windowed element rounded once to float.
#include <Primitives/Prim/Window.h>
#include <Primitives/Prim/WindowShape.h>

#include <cmath>
#include <cstddef>

namespace Prim {
namespace {

void ApplyPair(float* x, std::size_t n, std::size_t k, double w) {
    x[k] = static_cast<float>(double(x[k]) * w);
    x[n - 1 - k] = static_cast<float>(double(x[n - 1 - k]) * w);
}

void ZeroEnds(float* x, std::size_t n) {
    x[0] = 0.0f;
    x[n - 1] = 0.0f;
}

// cos(k theta) for k = 0 .. len/2 - 1 by rotating (cos, sin) from (1, 0).
// The rotations are set up in extended precision: with the sine taken as
// sqrt(1 - c^2), a c rounded to double would turn the angle of long windows
// by whole float steps. Four walks then take every fourth point each, in
// double precision, so that their steps do not wait on one another.
template <class Shape>
void ApplyCosineWindow(float* x, std::int32_t len, Shape shape) {
    const std::size_t n = static_cast<std::size_t>(len);
    const std::size_t pairs = n / 2;
    const double theta = WindowShape::twoPi / double(len - 1);
    const long double c = std::cos(static_cast<long double>(theta));
    const long double s = std::sqrt(1.0L - c * c);
    constexpr std::size_t walks = 4;
    double cosK[walks];
    double sinK[walks];
    long double cosStep = 1.0L;
    long double sinStep = 0.0L;
    for (std::size_t j = 0; j < walks; ++j) {
        cosK[j] = static_cast<double>(cosStep);
        sinK[j] = static_cast<double>(sinStep);
        const long double nextCos = cosStep * c - sinStep * s;
        sinStep = sinStep * c + cosStep * s;
        cosStep = nextCos;
    }
    // (cosStep, sinStep) now turn by four points.
    const double c4 = static_cast<double>(cosStep);
    const double s4 = static_cast<double>(sinStep);
    std::size_t k = 0;
    for (; k + walks <= pairs; k += walks) {
        for (std::size_t j = 0; j < walks; ++j) {
            ApplyPair(x, n, k + j, shape(cosK[j]));
            const double nextCos = cosK[j] * c4 - sinK[j] * s4;
            sinK[j] = sinK[j] * c4 + cosK[j] * s4;
            cosK[j] = nextCos;
        }
    }
    for (std::size_t j = 0; k < pairs; ++k, ++j) ApplyPair(x, n, k, shape(cosK[j]));
}

}  // namespace

Status WinBartlettF32_x87(float* srcDst, std::int32_t len) {
    if (const Status s = WindowShape::Check(srcDst, len); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    ZeroEnds(srcDst, n);
    const double step = 2.0 / double(len - 1);
    double w = 0.0;
    for (std::size_t k = 1; k < n / 2; ++k) {
        w += step;
        ApplyPair(srcDst, n, k, w);
    }
    return StatusOk;
}

Status WinHannF32_x87(float* srcDst, std::int32_t len) {
    if (const Status s = WindowShape::Check(srcDst, len); s != StatusOk) return s;
    if (len == 3) {
        ZeroEnds(srcDst, 3);
        return StatusOk;
    }
    ApplyCosineWindow(srcDst, len, WindowShape::Hann{});
    return StatusOk;
}

Status WinHammingF32_x87(float* srcDst, std::int32_t len) {
    if (const Status s = WindowShape::Check(srcDst, len); s != StatusOk) return s;
    ApplyCosineWindow(srcDst, len, WindowShape::Hamming{});
    return StatusOk;
}

Status WinBlackmanF32_x87(float* srcDst, std::int32_t len, float alpha) {
    if (const Status s = WindowShape::Check(srcDst, len); s != StatusOk) return s;
    if (len == 3) {
        ZeroEnds(srcDst, 3);
        return StatusOk;
    }
    ApplyCosineWindow(srcDst, len, WindowShape::Blackman(alpha));
    return StatusOk;
}

}  // namespace Prim
