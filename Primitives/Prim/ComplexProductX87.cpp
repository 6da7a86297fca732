// Portable builds: single-precision parts in double, rounded once at the
// store; double-precision parts with each product rounded to double, and the
// x87 unit's wide exponent range (long double here) for an element whose
// products leave the double range.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/ComplexProduct.h>

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

void ProductC64(const double* a, const double* b, double* out) {
    const double ar = a[0], ai = a[1], br = b[0], bi = b[1];
    const double rr = ar * br, ii = ai * bi, ri = ar * bi, ir = ai * br;
    if (BeyondDouble(rr, ar, br) || BeyondDouble(ii, ai, bi) || BeyondDouble(ri, ar, bi) || BeyondDouble(ir, ai, br)) {
        const long double lr = ar, li = ai;
        out[0] = static_cast<double>(lr * br - li * bi);
        out[1] = static_cast<double>(lr * bi + li * br);
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
