// SSE2 builds. The one-sided thresholds are the processor's maximum (Lt) and
// minimum (Gt) against the level, which give the level whenever the element
// is not strictly on the kept side, NaN included.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/SimdLanes.h>
#include <Primitives/Prim/Threshold.h>

#include <cstddef>

namespace Prim {
namespace {

using SimdLanes::Aligned16;

// Single elements until srcDst reaches a 16-byte boundary, then two registers
// a step, then one, then single elements.
template <class T, class Scalar, class Lanes>
Status ForEach(T* srcDst, std::int32_t len, Scalar scalar, Lanes lanes) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    using L = SimdLanes::Of<T>;
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    for (; i < n && !Aligned16(srcDst + i); ++i) srcDst[i] = scalar(srcDst[i]);
    if (Aligned16(srcDst + i)) {
        for (; i + 2 * L::width <= n; i += 2 * L::width) {
            L::Store(srcDst + i, lanes(L::Load(srcDst + i)));
            L::Store(srcDst + i + L::width, lanes(L::Load(srcDst + i + L::width)));
        }
        for (; i + L::width <= n; i += L::width) L::Store(srcDst + i, lanes(L::Load(srcDst + i)));
    }
    for (; i < n; ++i) srcDst[i] = scalar(srcDst[i]);
    return StatusOk;
}

Status Lt(float* srcDst, std::int32_t len, float level) {
    const __m128 l = _mm_set1_ps(level);
    return ForEach(
        srcDst, len, [level](float x) { return x > level ? x : level; }, [l](__m128 x) { return _mm_max_ps(x, l); });
}
Status Lt(double* srcDst, std::int32_t len, double level) {
    const __m128d l = _mm_set1_pd(level);
    return ForEach(
        srcDst, len, [level](double x) { return x > level ? x : level; }, [l](__m128d x) { return _mm_max_pd(x, l); });
}
Status Gt(float* srcDst, std::int32_t len, float level) {
    const __m128 l = _mm_set1_ps(level);
    return ForEach(
        srcDst, len, [level](float x) { return x < level ? x : level; }, [l](__m128 x) { return _mm_min_ps(x, l); });
}
Status Gt(double* srcDst, std::int32_t len, double level) {
    const __m128d l = _mm_set1_pd(level);
    return ForEach(
        srcDst, len, [level](double x) { return x < level ? x : level; }, [l](__m128d x) { return _mm_min_pd(x, l); });
}

}  // namespace

Status ThresholdLtGtInPlaceF32_sse2(
    float* srcDst, std::int32_t len, float levelLT, float valueLT, float levelGT, float valueGT) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    if (!(levelGT >= levelLT)) return StatusThresholdBoundsError;
    const __m128 lowLevel = _mm_set1_ps(levelLT), lowValue = _mm_set1_ps(valueLT);
    const __m128 highLevel = _mm_set1_ps(levelGT), highValue = _mm_set1_ps(valueGT);
    const auto select = [](__m128 mask, __m128 a, __m128 b) {
        return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
    };
    return ForEach(
        srcDst, len,
        [&](float x) {
            if (!(x >= levelLT)) return valueLT;
            return x > levelGT ? valueGT : x;
        },
        [&](__m128 x) {
            const __m128 high = select(_mm_cmpgt_ps(x, highLevel), highValue, x);
            return select(_mm_cmpnge_ps(x, lowLevel), lowValue, high);
        });
}
Status ThresholdLtInPlaceF32_sse2(float* srcDst, std::int32_t len, float level) { return Lt(srcDst, len, level); }
Status ThresholdLtInPlaceF64_sse2(double* srcDst, std::int32_t len, double level) { return Lt(srcDst, len, level); }
Status ThresholdGtInPlaceF32_sse2(float* srcDst, std::int32_t len, float level) { return Gt(srcDst, len, level); }
Status ThresholdGtInPlaceF64_sse2(double* srcDst, std::int32_t len, double level) { return Gt(srcDst, len, level); }

}  // namespace Prim
