// SSE2 builds: 16 bytes at a time, reversed inside the register by a shuffle
// of 32-bit words (so float and double lanes move as bit patterns).
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Flip.h>

#include <emmintrin.h>

#include <cstddef>
#include <utility>

namespace Prim {
namespace {

// Element order reversed within 16 bytes: 0x1B turns words 0123 into 3210,
// 0x4E turns them into 2301 (two 8-byte elements swapped).
template <class T>
__m128i Reversed(__m128i v) {
    if constexpr (sizeof(T) == 4) {
        return _mm_shuffle_epi32(v, 0x1B);
    } else {
        return _mm_shuffle_epi32(v, 0x4E);
    }
}

template <class T>
__m128i Load(const T* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
template <class T>
void Store(T* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

template <class T>
Status FlipInPlace(T* srcDst, std::int32_t len) {
    if (const Status s = ArithCheck::Vectors(len, srcDst); s != StatusOk) return s;
    constexpr std::size_t w = 16 / sizeof(T);
    std::size_t lo = 0, hi = static_cast<std::size_t>(len);  // [lo, hi) still to reverse
    while (hi - lo >= 2 * w) {
        const __m128i front = Load(srcDst + lo), back = Load(srcDst + hi - w);
        Store(srcDst + lo, Reversed<T>(back));
        Store(srcDst + hi - w, Reversed<T>(front));
        lo += w;
        hi -= w;
    }
    for (; hi - lo >= 2; ++lo, --hi) std::swap(srcDst[lo], srcDst[hi - 1]);
    return StatusOk;
}

template <class T>
Status Flip(const T* src, T* dst, std::int32_t len) {
    if (const Status s = ArithCheck::Vectors(len, src, dst); s != StatusOk) return s;
    constexpr std::size_t w = 16 / sizeof(T);
    const std::size_t n = static_cast<std::size_t>(len);
    std::size_t i = 0;
    for (; i + w <= n; i += w) Store(dst + n - i - w, Reversed<T>(Load(src + i)));
    for (; i < n; ++i) dst[n - 1 - i] = src[i];
    return StatusOk;
}

}  // namespace

Status FlipInPlaceF32_sse2(float* srcDst, std::int32_t len) { return FlipInPlace(srcDst, len); }
Status FlipInPlaceF64_sse2(double* srcDst, std::int32_t len) { return FlipInPlace(srcDst, len); }
Status FlipF32_sse2(const float* src, float* dst, std::int32_t len) { return Flip(src, dst, len); }
Status FlipF64_sse2(const double* src, double* dst, std::int32_t len) { return Flip(src, dst, len); }

}  // namespace Prim
