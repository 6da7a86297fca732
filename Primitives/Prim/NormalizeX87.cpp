// Portable builds: the reciprocal and the difference in double, one rounding at the store.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Normalize.h>

#include <cstddef>

namespace Prim {
namespace {

template <class T>
Status Normalize(const T* src, T* dst, std::int32_t len, T sub, T div) {
    if (const Status s = ArithCheck::Vectors(len, src, dst); s != StatusOk) return s;
    if (NormalizeDivisorRefused(div)) return StatusDivideByZero;
    const double r = 1.0 / double(div);
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) dst[i] = static_cast<T>((double(src[i]) - double(sub)) * r);
    return StatusOk;
}

}  // namespace

Status NormalizeF32_x87(const float* src, float* dst, std::int32_t len, float sub, float div) {
    return Normalize(src, dst, len, sub, div);
}
Status NormalizeF64_x87(const double* src, double* dst, std::int32_t len, double sub, double div) {
    return Normalize(src, dst, len, sub, div);
}

}  // namespace Prim
