// Portable builds: one comparison per element, as the x87 unit makes it.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Threshold.h>

#include <cstddef>

namespace Prim {
namespace {

template <class T, class Rule>
Status ForEach(T* srcDst, std::int32_t len, Rule rule) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) srcDst[i] = rule(srcDst[i]);
    return StatusOk;
}

template <class T>
Status Lt(T* srcDst, std::int32_t len, T level) {
    return ForEach(srcDst, len, [level](T x) { return x > level ? x : level; });
}

template <class T>
Status Gt(T* srcDst, std::int32_t len, T level) {
    return ForEach(srcDst, len, [level](T x) { return x >= level ? level : x; });
}

}  // namespace

Status ThresholdLtGtInPlaceF32_x87(
    float* srcDst, std::int32_t len, float levelLT, float valueLT, float levelGT, float valueGT) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    if (!(levelGT >= levelLT)) return StatusThresholdBoundsError;
    return ForEach(srcDst, len, [&](float x) {
        if (!(x >= levelLT)) return valueLT;
        return x > levelGT ? valueGT : x;
    });
}
Status ThresholdLtInPlaceF32_x87(float* srcDst, std::int32_t len, float level) { return Lt(srcDst, len, level); }
Status ThresholdLtInPlaceF64_x87(double* srcDst, std::int32_t len, double level) { return Lt(srcDst, len, level); }
Status ThresholdGtInPlaceF32_x87(float* srcDst, std::int32_t len, float level) { return Gt(srcDst, len, level); }
Status ThresholdGtInPlaceF64_x87(double* srcDst, std::int32_t len, double level) { return Gt(srcDst, len, level); }

}  // namespace Prim
