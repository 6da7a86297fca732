#include <Primitives/Prim/Filter/Ramp.h>
#include <Primitives/Prim/SimdLanes.h>

#include <emmintrin.h>

#include <cstddef>

namespace Prim {

Status RampF32_x87(float* dst, std::int32_t len, float offset, float slope) {
    if (dst == nullptr) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    const long double base = offset;
    const long double step = slope;
    for (std::int32_t i = 0; i < len; ++i) dst[i] = static_cast<float>(base + step * static_cast<long double>(i));
    return StatusOk;
}

Status RampF32_sse2(float* dst, std::int32_t len, float offset, float slope) {
    if (dst == nullptr) return StatusNullPointer;
    if (len < 1) return StatusSizeError;
    const auto n = static_cast<std::size_t>(len);
    const auto one = [&](std::size_t i) { dst[i] = static_cast<float>(static_cast<std::int32_t>(i)) * slope + offset; };
    std::size_t i = 0;
    if (n >= 11 && reinterpret_cast<std::uintptr_t>(dst) % alignof(float) == 0) {
        for (; !SimdLanes::Aligned16(dst + i); ++i) one(i);
        const __m128 vSlope = _mm_set1_ps(slope);
        const __m128 vOffset = _mm_set1_ps(offset);
        __m128i index = _mm_setr_epi32(
            static_cast<int>(i), static_cast<int>(i + 1), static_cast<int>(i + 2), static_cast<int>(i + 3));
        const __m128i four = _mm_set1_epi32(4);
        for (; i + 8 <= n; i += 8) {
            const __m128i next = _mm_add_epi32(index, four);
            _mm_store_ps(dst + i, _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(index), vSlope), vOffset));
            _mm_store_ps(dst + i + 4, _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(next), vSlope), vOffset));
            index = _mm_add_epi32(next, four);
        }
    }
    for (; i < n; ++i) one(i);
    return StatusOk;
}

}  // namespace Prim
