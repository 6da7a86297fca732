// Portable builds: single-precision parts in double, rounded once at the
// store; double-precision parts with each product rounded to double, and the
// x87 unit's wide exponent range for an element whose products leave the
// double range.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/ComplexProduct.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>

namespace Prim {
namespace {

// a x b, for the C32 parts the exact product of two floats.
void ProductC32(const float* a, const float* b, float* out) {
    const double ar = a[0], ai = a[1], br = b[0], bi = b[1];
    const double re = ar * br - ai * bi;
    const double im = ar * bi + ai * br;
    out[0] = static_cast<float>(re);
    out[1] = static_cast<float>(im);
}

// A finite product that overflowed, or a product of non-zero factors that underflowed.
bool BeyondDouble(double product, double x, double y) {
    if (std::isinf(product)) return std::isfinite(x) && std::isfinite(y);
    return std::fabs(product) < DBL_MIN && x != 0 && y != 0;
}

// A product rounded to 53 bits in a wide exponent range, as the x87 registers
// hold it at double precision control: mantissa x 2^exponent. An infinite, NaN
// or zero product keeps its value in the mantissa, exponent 0.
struct WideProduct {
    double mantissa;
    int exponent;
};

WideProduct Wide(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y) || x == 0 || y == 0) return {x * y, 0};
    int ex = 0, ey = 0;
    const double mx = std::frexp(x, &ex), my = std::frexp(y, &ey);
    return {mx * my, ex + ey};  // in [1/4, 1): rounded once, to 53 bits
}

// a + b rounded to 53 bits in the wide range, then stored as a double. The
// smaller term is scaled down with the larger one; where it falls below the
// double range it is too small to move the rounding of the sum.
double Sum(WideProduct a, WideProduct b) {
    if (!std::isfinite(a.mantissa) || !std::isfinite(b.mantissa)) return a.mantissa + b.mantissa;
    if (a.mantissa == 0 && b.mantissa == 0) return a.mantissa + b.mantissa;  // the sign of zero
    if (b.mantissa == 0) return std::ldexp(a.mantissa, a.exponent);  // keeps its sign even if it rounds to 0
    if (a.mantissa == 0) return std::ldexp(b.mantissa, b.exponent);
    const int top = std::max(a.exponent, b.exponent);
    const double sum = std::ldexp(a.mantissa, a.exponent - top) + std::ldexp(b.mantissa, b.exponent - top);
    return std::ldexp(sum, top);
}

void ProductC64(const double* a, const double* b, double* out) {
    const double ar = a[0], ai = a[1], br = b[0], bi = b[1];
    const double rr = ar * br, ii = ai * bi, ri = ar * bi, ir = ai * br;
    if (BeyondDouble(rr, ar, br) || BeyondDouble(ii, ai, bi) || BeyondDouble(ri, ar, bi) || BeyondDouble(ir, ai, br)) {
        out[0] = Sum(Wide(ar, br), Wide(-ai, bi));
        out[1] = Sum(Wide(ar, bi), Wide(ai, br));
        return;
    }
    out[0] = rr - ii;
    out[1] = ri + ir;
}

template <class T, class Product>
Status Multiply(const T* a, const T* b, T* dst, std::int32_t len, Product product) {
    if (const Status s = ArithCheck::Vectors(len, a, b, dst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) product(a + 2 * i, b + 2 * i, dst + 2 * i);
    return StatusOk;
}

}  // namespace

Status MulInPlaceC32_x87(const float* src, float* srcDst, std::int32_t len) {
    return Multiply<float>(srcDst, src, srcDst, len, ProductC32);
}
Status MulInPlaceC64_x87(const double* src, double* srcDst, std::int32_t len) {
    return Multiply<double>(srcDst, src, srcDst, len, ProductC64);
}
Status MulC32_x87(const float* src1, const float* src2, float* dst, std::int32_t len) {
    return Multiply(src1, src2, dst, len, ProductC32);
}

}  // namespace Prim
