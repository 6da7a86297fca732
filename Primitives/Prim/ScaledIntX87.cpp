// Portable builds: the exact result in 64 bits, then the scale rule.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/ScaledInt.h>
#include <Primitives/Prim/ScaledRule.h>

#include <cstddef>

namespace Prim {
namespace {

using ArithCheck::Vectors;

// dst[i] = the rule applied to exact(i); `zero` clears dst for the scales above the limit.
template <class T, class Exact, class Zero>
Status Scaled(T* dst, std::int32_t len, std::int32_t k, ScaledRule::Limits limits, Exact exact, Zero zero) {
    if (k > limits.zeroAbove) return zero();
    const std::size_t n = static_cast<std::size_t>(len);
    if (k <= limits.signBelow) {
        for (std::size_t i = 0; i < n; ++i) dst[i] = ScaledRule::BySign<T>(exact(i));
    } else {
        for (std::size_t i = 0; i < n; ++i) dst[i] = ScaledRule::Scale<T>(exact(i), k);
    }
    return StatusOk;
}

float* Words(std::int32_t* p) { return reinterpret_cast<float*>(p); }

}  // namespace

Status AddConstInPlaceScaledS32_x87(std::int32_t value, std::int32_t* srcDst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (scale == 0 && value == 0) return StatusOk;
    return Scaled(
        srcDst, len, scale, ScaledRule::SumS32, [&](std::size_t i) { return std::int64_t{srcDst[i]} + value; },
        [&] { return ZeroF32_x87(Words(srcDst), len); });
}

Status AddInPlaceScaledS16_x87(const std::int16_t* src, std::int16_t* srcDst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Vectors(len, src, srcDst); s != StatusOk) return s;
    return Scaled(
        srcDst, len, scale, ScaledRule::SumS16, [&](std::size_t i) { return std::int64_t{src[i]} + srcDst[i]; },
        [&] { return ZeroS16_x87(srcDst, len); });
}

Status AddConstScaledS32_x87(
    const std::int32_t* src, std::int32_t value, std::int32_t* dst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    if (scale == 0 && value == 0) return CopyF32_x87(reinterpret_cast<const float*>(src), Words(dst), len);
    return Scaled(
        dst, len, scale, ScaledRule::SumS32, [&](std::size_t i) { return std::int64_t{src[i]} + value; },
        [&] { return ZeroF32_x87(Words(dst), len); });
}

Status MulConstInPlaceScaledS16_x87(std::int16_t value, std::int16_t* srcDst, std::int32_t len, std::int32_t scale) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (value == 0) return ZeroS16_x87(srcDst, len);
    if (scale == 0 && value == 1) return StatusOk;
    return Scaled(
        srcDst, len, scale, ScaledRule::ProductS16, [&](std::size_t i) { return std::int64_t{srcDst[i]} * value; },
        [&] { return ZeroS16_x87(srcDst, len); });
}

}  // namespace Prim
