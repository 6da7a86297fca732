// Portable builds: element by element. Plain loads and stores change no bit
// (a signalling NaN stays signalling).
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Flip.h>

#include <cstddef>
#include <utility>

namespace Prim {
namespace {

template <class T>
Status FlipInPlace(T* srcDst, std::int32_t len) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n / 2; ++i) std::swap(srcDst[i], srcDst[n - 1 - i]);
    return StatusOk;
}

template <class T>
Status Flip(const T* src, T* dst, std::int32_t len) {
    if (const Status s = ArithCheck::Vectors(len, src, dst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) dst[n - 1 - i] = src[i];
    return StatusOk;
}

}  // namespace

Status FlipInPlaceF32_x87(float* srcDst, std::int32_t len) { return FlipInPlace(srcDst, len); }
Status FlipInPlaceF64_x87(double* srcDst, std::int32_t len) { return FlipInPlace(srcDst, len); }
Status FlipF32_x87(const float* src, float* dst, std::int32_t len) { return Flip(src, dst, len); }
Status FlipF64_x87(const double* src, double* dst, std::int32_t len) { return Flip(src, dst, len); }

}  // namespace Prim
