#pragma once
#include <Primitives/Prim/ExpLnF32.h>
#include <Primitives/Prim/MxcsrScope.h>

#include <emmintrin.h>

#include <cstddef>

// The loops shared by the exponential and the logarithm of floats; each call's
// status is the warning of its last special element.
namespace Prim::ExpLnDrivers {

// Element by element: one(x, warning) gives a result and notes its warning.
template <class One>
Status EachElement(const float* src, float* dst, std::int32_t len, One one) {
    if (const Status s = ExpLnCheck(src, dst, len); s != StatusOk) return s;
    Status warning = StatusOk;
    const std::size_t n = static_cast<std::size_t>(len);
    for (std::size_t i = 0; i < n; ++i) dst[i] = one(src[i], warning);
    return warning;
}

// Groups of eight whose values are all ordinary(lanes) go through fast(lanes),
// four a step; other groups go value by value through special(x, warning); the
// trailing values take fast or special one by one. Rounding is to nearest
// without flush to zero for the duration; the flags that the warnings raise
// outlast it.
template <class Ordinary, class Fast, class Special>
Status EightAtATime(const float* src, float* dst, std::int32_t len, Ordinary ordinary, Fast fast, Special special) {
    if (const Status s = ExpLnCheck(src, dst, len); s != StatusOk) return s;
    const MxcsrScope rounding = NearestRounding(MxcsrScope::Restore::KeepingFlags);
    Status warning = StatusOk;
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128 low = _mm_loadu_ps(src + i), high = _mm_loadu_ps(src + i + 4);
        if (ordinary(low) && ordinary(high)) {
            _mm_storeu_ps(dst + i, fast(low));
            _mm_storeu_ps(dst + i + 4, fast(high));
        } else {
            for (std::size_t k = i; k < i + 8; ++k) dst[k] = special(src[k], warning);
        }
    }
    for (; i < n; ++i) {
        const __m128 x = _mm_set1_ps(src[i]);
        dst[i] = ordinary(x) ? _mm_cvtss_f32(fast(x)) : special(src[i], warning);
    }
    return warning;
}

}  // namespace Prim::ExpLnDrivers
