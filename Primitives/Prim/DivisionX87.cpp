// Portable builds: exact quotients, in double for the float forms (which
// rounds to the correctly rounded float quotient). The x87 comparison with
// zero also holds for an unordered (NaN) divisor.
#include <Primitives/Prim/Arith.h>
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Division.h>
#include <Primitives/Prim/FloatBits.h>

#include <cmath>
#include <cstddef>
#include <limits>

namespace Prim {
namespace {

using ArithCheck::MatchesConstant;
using ArithCheck::Vectors;

template <class T>
T ByZero(T n) {
    if (n > 0) return std::numeric_limits<T>::infinity();
    if (n == 0) return FloatBits::NegativeQuietNan<T>();
    return -std::numeric_limits<T>::infinity();  // negative, or NaN
}

template <class T>
Status Divide(const T* dividends, const T* divisors, T* dst, std::int32_t len) {
    Status status = StatusOk;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) {
        const T d = divisors[i];
        if (MatchesConstant(d, T(0))) {
            dst[i] = ByZero(dividends[i]);
            status = StatusDivideByZeroWarning;
        } else {
            dst[i] = static_cast<T>(double(dividends[i]) / double(d));
        }
    }
    return status;
}

}  // namespace

Status DivConstInPlaceF32_x87(float value, float* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, 0.0f)) return StatusDivideByZero;
    return MulConstF32_x87(srcDst, static_cast<float>(1.0 / double(value)), srcDst, len);
}
Status DivConstInPlaceF64_x87(double value, double* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, 0.0)) return StatusDivideByZero;
    return MulConstInPlaceF64_x87(1.0 / value, srcDst, len);
}
Status DivInPlaceF32_x87(const float* src, float* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, src, srcDst); s != StatusOk) return s;
    return Divide<float>(srcDst, src, srcDst, len);
}
Status DivInPlaceF64_x87(const double* src, double* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, src, srcDst); s != StatusOk) return s;
    return Divide<double>(srcDst, src, srcDst, len);
}
Status DivConstRevF32_x87(const float* src, float value, float* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    Status status = StatusOk;
    const bool zeroValue = MatchesConstant(value, 0.0f);  // compared once, before the loop
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) {
        const float d = src[i];
        if (MatchesConstant(d, 0.0f)) {
            dst[i] = zeroValue ? FloatBits::NegativeQuietNanF32 : ByZero(value);
            status = StatusDivideByZeroWarning;
        } else {
            dst[i] = static_cast<float>((zeroValue ? 0.0 : double(value)) / double(d));
        }
    }
    return status;
}

}  // namespace Prim
