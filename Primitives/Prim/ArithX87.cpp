// Portable builds: every element is computed in double precision and rounded
// once to the element type when stored.
#include <Primitives/Prim/Arith.h>
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Copy.h>

#include <cstddef>

namespace Prim {
namespace {

using ArithCheck::MatchesConstant;
using ArithCheck::Vectors;

// Ascending order, each element read just before it is written, so an
// in-place operand (or an overlapping one) sees the earlier results.
template <class T, class Element>
void ForEach(T* dst, std::int32_t len, Element element) {
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) {
        dst[i] = static_cast<T>(element(i));
    }
}

template <class T>
Status AddConstInPlace(T value, T* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, T(0))) return StatusOk;
    ForEach(srcDst, len, [&](std::size_t i) { return double(srcDst[i]) + double(value); });
    return StatusOk;
}

template <class T>
Status SubConstInPlace(T value, T* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, T(0))) return StatusOk;
    ForEach(srcDst, len, [&](std::size_t i) { return double(srcDst[i]) - double(value); });
    return StatusOk;
}

template <class T>
Status SubConstRevInPlace(T value, T* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    ForEach(srcDst, len, [&](std::size_t i) { return double(value) - double(srcDst[i]); });
    return StatusOk;
}

template <class T, class Op>
Status Binary(const T* src1, const T* src2, T* dst, std::int32_t len, Op op) {
    if (const Status s = Vectors(len, src1, src2, dst); s != StatusOk) return s;
    ForEach(dst, len, [&](std::size_t i) { return op(double(src1[i]), double(src2[i])); });
    return StatusOk;
}

const auto plus = [](double a, double b) { return a + b; };
const auto minus = [](double a, double b) { return a - b; };
const auto times = [](double a, double b) { return a * b; };

}  // namespace

Status AddConstInPlaceF32_x87(float value, float* srcDst, std::int32_t len) {
    return AddConstInPlace(value, srcDst, len);
}
Status AddConstInPlaceF64_x87(double value, double* srcDst, std::int32_t len) {
    return AddConstInPlace(value, srcDst, len);
}
Status AddInPlaceF32_x87(const float* src, float* srcDst, std::int32_t len) {
    return Binary(src, static_cast<const float*>(srcDst), srcDst, len, plus);
}
Status AddInPlaceF64_x87(const double* src, double* srcDst, std::int32_t len) {
    return Binary(src, static_cast<const double*>(srcDst), srcDst, len, plus);
}
Status AddConstF32_x87(const float* src, float value, float* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    if (MatchesConstant(value, 0.0f)) return CopyF32_x87(src, dst, len);
    ForEach(dst, len, [&](std::size_t i) { return double(src[i]) + double(value); });
    return StatusOk;
}
Status AddF32_x87(const float* src1, const float* src2, float* dst, std::int32_t len) {
    return Binary(src1, src2, dst, len, plus);
}
Status AddF64_x87(const double* src1, const double* src2, double* dst, std::int32_t len) {
    return Binary(src1, src2, dst, len, plus);
}
Status AddProductF32_x87(const float* src1, const float* src2, float* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, src1, src2, srcDst); s != StatusOk) return s;
    // The product of two floats is exact in double; the sum is rounded to float once.
    ForEach(srcDst, len, [&](std::size_t i) { return double(srcDst[i]) + double(src1[i]) * double(src2[i]); });
    return StatusOk;
}

Status SubConstInPlaceF32_x87(float value, float* srcDst, std::int32_t len) {
    return SubConstInPlace(value, srcDst, len);
}
Status SubConstInPlaceF64_x87(double value, double* srcDst, std::int32_t len) {
    return SubConstInPlace(value, srcDst, len);
}
Status SubConstRevInPlaceF32_x87(float value, float* srcDst, std::int32_t len) {
    return SubConstRevInPlace(value, srcDst, len);
}
Status SubConstRevInPlaceF64_x87(double value, double* srcDst, std::int32_t len) {
    return SubConstRevInPlace(value, srcDst, len);
}
Status SubInPlaceF32_x87(const float* src, float* srcDst, std::int32_t len) {
    return Binary(static_cast<const float*>(srcDst), src, srcDst, len, minus);
}
Status SubInPlaceF64_x87(const double* src, double* srcDst, std::int32_t len) {
    return Binary(static_cast<const double*>(srcDst), src, srcDst, len, minus);
}

Status MulConstInPlaceF32_x87(float value, float* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, 1.0f)) return StatusOk;
    if (MatchesConstant(value, 0.0f)) return ZeroF32_x87(srcDst, len);
    ForEach(srcDst, len, [&](std::size_t i) { return double(srcDst[i]) * double(value); });
    return StatusOk;
}
Status MulConstInPlaceF64_x87(double value, double* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, 1.0)) return StatusOk;
    if (MatchesConstant(value, 0.0)) return ZeroF64_x87(srcDst, len);
    ForEach(srcDst, len, [&](std::size_t i) { return srcDst[i] * value; });
    return StatusOk;
}
Status MulConstF32_x87(const float* src, float value, float* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    if (MatchesConstant(value, 1.0f)) return CopyF32_x87(src, dst, len);
    if (MatchesConstant(value, 0.0f)) return ZeroF32_x87(dst, len);
    ForEach(dst, len, [&](std::size_t i) { return double(src[i]) * double(value); });
    return StatusOk;
}
Status MulConstF64_x87(const double* src, double value, double* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    if (MatchesConstant(value, 1.0)) return CopyF64_x87(src, dst, len);
    if (MatchesConstant(value, 0.0)) return ZeroF64_x87(dst, len);
    ForEach(dst, len, [&](std::size_t i) { return src[i] * value; });
    return StatusOk;
}
Status MulInPlaceF32_x87(const float* src, float* srcDst, std::int32_t len) {
    return Binary(src, static_cast<const float*>(srcDst), srcDst, len, times);
}
Status MulInPlaceF64_x87(const double* src, double* srcDst, std::int32_t len) {
    return Binary(src, static_cast<const double*>(srcDst), srcDst, len, times);
}
Status MulF32_x87(const float* src1, const float* src2, float* dst, std::int32_t len) {
    return Binary(src1, src2, dst, len, times);
}

}  // namespace Prim
