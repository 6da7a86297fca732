// Portable builds: the C library's double logarithm rounded to the element
// type; a positive NaN gives the positive quiet NaN.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/FloatBits.h>
#include <Primitives/Prim/Logarithm.h>

#include <cmath>
#include <cstddef>
#include <limits>

namespace Prim {
namespace {

template <class T>
Status Logarithm(const T* src, T* dst, std::int32_t len) {
    if (const Status s = ArithCheck::Vectors(len, src, dst); s != StatusOk) return s;
    Status warning = StatusOk;  // that of the first offending element
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) {
        const T x = src[i];
        if (std::signbit(x)) {
            dst[i] = FloatBits::NegativeQuietNan<T>();
            if (warning == StatusOk) warning = StatusDomainWarning;
        } else if (x == 0) {
            dst[i] = -std::numeric_limits<T>::infinity();
            if (warning == StatusOk) warning = StatusSingularityWarning;
        } else if (std::isnan(x)) {
            dst[i] = FloatBits::PositiveQuietNan<T>();
        } else {
            dst[i] = static_cast<T>(std::log(static_cast<double>(x)));
        }
    }
    return warning;
}

}  // namespace

Status LnInPlaceF32_x87(float* srcDst, std::int32_t len) { return Logarithm<float>(srcDst, srcDst, len); }
Status LnF64_x87(const double* src, double* dst, std::int32_t len) { return Logarithm(src, dst, len); }

}  // namespace Prim
