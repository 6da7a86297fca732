// Portable builds of the Kaiser windows, in double precision.
#include <Primitives/Prim/Window.h>
#include <Primitives/Prim/WindowKaiserMath.h>

#include <cmath>
#include <cstddef>

namespace Prim {
namespace {

using namespace WindowKaiserMath;

double I0ShortDouble(double x) {
    return I0Short<double>(x, [](double v) { return ExpF64(v, ExpRange::Unlimited); });
}

// w[k] = I0(alpha sqrt(k (M - k))) / I0(alpha M / 2), applied to both mirrored elements.
template <class T, class I0>
void Apply(T* x, std::int32_t len, float alpha, I0 i0) {
    const std::size_t n = static_cast<std::size_t>(len);
    const std::int64_t m = std::int64_t{len} - 1;
    const double a = double(alpha);
    const double norm = 1.0 / i0(0.5 * double(m) * a);
    for (std::size_t k = 0; k < n / 2; ++k) {
        const double w = i0(a * std::sqrt(double(Product(std::int64_t(k), m)))) * norm;
        x[k] = static_cast<T>(double(x[k]) * w);
        x[n - 1 - k] = static_cast<T>(double(x[n - 1 - k]) * w);
    }
}

}  // namespace

Status WinKaiserF32_x87(float* srcDst, std::int32_t len, float alpha) {
    if (const Status s = Check(srcDst, len, alpha, 38.0); s != StatusOk) return s;
    Apply(srcDst, len, alpha, I0ShortDouble);
    return StatusOk;
}

Status WinKaiserF64_x87(double* srcDst, std::int32_t len, float alpha) {
    if (const Status s = Check(srcDst, len, alpha, 308.0); s != StatusOk) return s;
    Apply(srcDst, len, alpha, [](double v) { return I0Long(v, ExpRange::Unlimited); });
    return StatusOk;
}

}  // namespace Prim
