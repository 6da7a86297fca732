// SSE2 builds. The processor's maximum and minimum keep their second operand
// unless the first is strictly beyond it, which is the running extreme's rule;
// several running registers are folded at the end.
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Extremes.h>
#include <Primitives/Prim/FloatBits.h>
#include <Primitives/Prim/SimdLanes.h>

#include <algorithm>
#include <cstddef>

namespace Prim {
namespace {

using SimdLanes::Aligned16;

struct Largest {
    template <class T>
    static bool Beyond(T x, T running) {
        return x > running;
    }
    static __m128 Lanes(__m128 x, __m128 acc) { return _mm_max_ps(x, acc); }
    static __m128d Lanes(__m128d x, __m128d acc) { return _mm_max_pd(x, acc); }
};
struct Smallest {
    template <class T>
    static bool Beyond(T x, T running) {
        return x < running;
    }
    static __m128 Lanes(__m128 x, __m128 acc) { return _mm_min_ps(x, acc); }
    static __m128d Lanes(__m128d x, __m128d acc) { return _mm_min_pd(x, acc); }
};

template <class T, class Op>
T Fold(typename SimdLanes::Of<T>::V lanes, T running) {
    using L = SimdLanes::Of<T>;
    alignas(16) T values[L::width];
    L::Store(values, lanes);
    for (T v : values) running = Op::Beyond(v, running) ? v : running;
    return running;
}

// The extreme of src[first, last) that starts from `running`, four registers a step.
template <class T, class Op>
T Reduce(const T* src, std::size_t first, std::size_t last, T running) {
    using L = SimdLanes::Of<T>;
    std::size_t i = first;
    for (; i < last && !Aligned16(src + i); ++i) running = Op::Beyond(src[i], running) ? src[i] : running;
    if (last - i >= 4 * L::width) {
        typename L::V a = L::Broadcast(running), b = a, c = a, d = a;
        for (; i + 4 * L::width <= last; i += 4 * L::width) {
            a = Op::Lanes(L::Load(src + i), a);
            b = Op::Lanes(L::Load(src + i + L::width), b);
            c = Op::Lanes(L::Load(src + i + 2 * L::width), c);
            d = Op::Lanes(L::Load(src + i + 3 * L::width), d);
        }
        running = Fold<T, Op>(Op::Lanes(Op::Lanes(d, c), Op::Lanes(b, a)), running);
    }
    for (; i < last; ++i) running = Op::Beyond(src[i], running) ? src[i] : running;
    return running;
}

template <class T, class Op>
Status Extreme(const T* src, std::int32_t len, T* result) {
    if (const Status s = ArithCheck::Vectors(len, src, result); s != StatusOk) return s;
    *result = Reduce<T, Op>(src, 1, static_cast<std::size_t>(len), src[0]);
    return StatusOk;
}

constexpr std::size_t indexScanBelow = 34;
constexpr std::size_t indexBlock = 2048;

// Blocks are reduced with vector steps; only a block whose extreme is strictly
// beyond the running one is scanned for the first element with that bit pattern.
template <class Op>
Status ExtremeIndex(const float* src, std::int32_t len, float* result, std::int32_t* index) {
    if (const Status s = ArithCheck::Vectors(len, src, result); s != StatusOk) return s;
    if (index == nullptr) return Extreme<float, Op>(src, len, result);
    const std::size_t n = static_cast<std::size_t>(len);
    float running = src[0];
    std::size_t at = 0;
    const auto take = [&](std::size_t i) {
        if (Op::Beyond(src[i], running)) {
            running = src[i];
            at = i;
        }
    };
    std::size_t i = 1;
    if (n >= indexScanBelow) {
        for (; i < n && !Aligned16(src + i); ++i) take(i);
        const std::size_t end = Aligned16(src + i) ? i + ((n - i) & ~std::size_t{7}) : i;
        for (std::size_t block = i; block < end; block += indexBlock) {
            const std::size_t blockEnd = std::min(end, block + indexBlock);
            __m128 a = _mm_load_ps(src + block), b = _mm_load_ps(src + block + 4);
            for (std::size_t k = block + 8; k < blockEnd; k += 8) {
                a = Op::Lanes(_mm_load_ps(src + k), a);
                b = Op::Lanes(_mm_load_ps(src + k + 4), b);
            }
            const float blockExtreme = Fold<float, Op>(Op::Lanes(b, a), src[block]);
            if (!Op::Beyond(blockExtreme, running)) continue;
            const std::uint32_t pattern = FloatBits::Bits(blockExtreme);
            for (std::size_t k = block; k < blockEnd; ++k) {
                if (FloatBits::Bits(src[k]) == pattern) {
                    running = src[k];
                    at = k;
                    break;
                }
            }
        }
        i = end;
    }
    for (; i < n; ++i) take(i);
    *result = running;
    *index = static_cast<std::int32_t>(at);
    return StatusOk;
}

// srcDst[i] stays where keep(srcDst[i], src[i]) holds (a compare mask), else takes src[i].
template <class KeepScalar, class KeepLanes>
Status Every(const float* src, float* srcDst, std::int32_t len, KeepScalar keep, KeepLanes keepLanes) {
    if (const Status s = ArithCheck::Vectors(len, src, srcDst); s != StatusOk) return s;
    const std::size_t n = static_cast<std::size_t>(len);
    const auto one = [&](std::size_t i) { srcDst[i] = keep(srcDst[i], src[i]) ? srcDst[i] : src[i]; };
    // A destination not aligned to its element never reaches a boundary: all single steps.
    SimdLanes::Walk(srcDst, n, 32, one, [&](std::size_t i) {
        for (std::size_t k = i; k < i + 32; k += 4) {
            const __m128 d = _mm_load_ps(srcDst + k);
            const __m128 s = _mm_loadu_ps(src + k);
            const __m128 mask = keepLanes(d, s);
            _mm_store_ps(srcDst + k, _mm_or_ps(_mm_and_ps(mask, d), _mm_andnot_ps(mask, s)));
        }
    });
    return StatusOk;
}

}  // namespace

Status MaxF32_sse2(const float* src, std::int32_t len, float* max) { return Extreme<float, Largest>(src, len, max); }
Status MaxF64_sse2(const double* src, std::int32_t len, double* max) { return Extreme<double, Largest>(src, len, max); }
Status MinF32_sse2(const float* src, std::int32_t len, float* min) { return Extreme<float, Smallest>(src, len, min); }
Status MinF64_sse2(const double* src, std::int32_t len, double* min) {
    return Extreme<double, Smallest>(src, len, min);
}
Status MaxIndexF32_sse2(const float* src, std::int32_t len, float* max, std::int32_t* index) {
    return ExtremeIndex<Largest>(src, len, max, index);
}
Status MinIndexF32_sse2(const float* src, std::int32_t len, float* min, std::int32_t* index) {
    return ExtremeIndex<Smallest>(src, len, min, index);
}
Status MaxEveryInPlaceF32_sse2(const float* src, float* srcDst, std::int32_t len) {
    return Every(
        src, srcDst, len, [](float d, float s) { return d >= s; },
        [](__m128 d, __m128 s) { return _mm_cmpge_ps(d, s); });
}
Status MinEveryInPlaceF32_sse2(const float* src, float* srcDst, std::int32_t len) {
    return Every(
        src, srcDst, len, [](float d, float s) { return d <= s; },
        [](__m128 d, __m128 s) { return _mm_cmple_ps(d, s); });
}

}  // namespace Prim
