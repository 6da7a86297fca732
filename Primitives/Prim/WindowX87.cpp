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

// cos(k theta) for k = 0 .. len/2 - 1 by rotating (cos, sin) from (1, 0), in
// extended precision: with the sine taken as sqrt(1 - c^2), the rounding of c
// would otherwise turn the angle of long windows by whole float steps.
template <class Shape>
void ApplyCosineWindow(float* x, std::int32_t len, Shape shape) {
    const std::size_t n = static_cast<std::size_t>(len);
    const double theta = WindowShape::twoPi / double(len - 1);
    const long double c = std::cos(static_cast<long double>(theta));
    const long double s = std::sqrt(1.0L - c * c);
    long double cosK = 1.0L;
    long double sinK = 0.0L;
    for (std::size_t k = 0; k < n / 2; ++k) {
        ApplyPair(x, n, k, shape(static_cast<double>(cosK)));
        const long double nextCos = cosK * c - sinK * s;
        sinK = sinK * c + cosK * s;
        cosK = nextCos;
    }
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
