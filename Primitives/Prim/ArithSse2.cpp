// SSE2 builds: computed in the element type. Short vectors run element by
// element; longer ones align the destination to 16 bytes and take two
// registers a step, reading the sources unaligned.
#include <Primitives/Prim/Arith.h>
#include <Primitives/Prim/ArithCheck.h>
#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/SimdLanes.h>

#include <cstddef>

namespace Prim {
namespace {

using ArithCheck::MatchesConstant;
using ArithCheck::Vectors;

// Vectors shorter than this run element by element.
template <class T>
constexpr std::size_t FirstVectorLength = sizeof(T) == 4 ? 11 : 5;

struct Plus {
    float operator()(float a, float b) const { return a + b; }
    double operator()(double a, double b) const { return a + b; }
    __m128 operator()(__m128 a, __m128 b) const { return _mm_add_ps(a, b); }
    __m128d operator()(__m128d a, __m128d b) const { return _mm_add_pd(a, b); }
};
struct Minus {
    float operator()(float a, float b) const { return a - b; }
    double operator()(double a, double b) const { return a - b; }
    __m128 operator()(__m128 a, __m128 b) const { return _mm_sub_ps(a, b); }
    __m128d operator()(__m128d a, __m128d b) const { return _mm_sub_pd(a, b); }
};
struct Times {
    float operator()(float a, float b) const { return a * b; }
    double operator()(double a, double b) const { return a * b; }
    __m128 operator()(__m128 a, __m128 b) const { return _mm_mul_ps(a, b); }
    __m128d operator()(__m128d a, __m128d b) const { return _mm_mul_pd(a, b); }
};

enum class Prefetch { None, Ahead };

// element(i) computes one scalar, lanes(i) a register of elements from i on.
template <class T, class Element, class Lanes>
void Run(T* dst, std::int32_t len, Element element, Lanes lanes, Prefetch prefetch = Prefetch::None) {
    using L = SimdLanes::Of<T>;
    const std::size_t n = static_cast<std::size_t>(len);
    const auto one = [&](std::size_t i) { dst[i] = element(i); };
    if (n < FirstVectorLength<T>) {
        for (std::size_t i = 0; i < n; ++i) one(i);
        return;
    }
    SimdLanes::Walk(dst, n, 2 * L::width, one, [&](std::size_t i) {
        if (prefetch == Prefetch::Ahead) {
            // Streams that will not be read again soon should not evict the cache.
            const char* ahead = reinterpret_cast<const char*>(dst + i) + 512;
            if (n - i > 131072) {
                _mm_prefetch(ahead, _MM_HINT_NTA);
            } else {
                _mm_prefetch(ahead, _MM_HINT_T0);
            }
        }
        const typename L::V low = lanes(i);
        const typename L::V high = lanes(i + L::width);
        L::Store(dst + i, low);
        L::Store(dst + i + L::width, high);
    });
}

template <class T, class Op>
void RunBinary(const T* a, const T* b, T* dst, std::int32_t len, Op op) {
    using L = SimdLanes::Of<T>;
    Run(
        dst, len, [&](std::size_t i) { return op(a[i], b[i]); },
        [&](std::size_t i) { return op(L::LoadU(a + i), L::LoadU(b + i)); });
}

// Vector op constant, or constant op vector when `reversed`.
template <class T, class Op>
void RunConst(const T* src, T value, T* dst, std::int32_t len, Op op, bool reversed, Prefetch prefetch) {
    using L = SimdLanes::Of<T>;
    const typename L::V lanesValue = L::Broadcast(value);
    if (reversed) {
        Run(
            dst, len, [&](std::size_t i) { return op(value, src[i]); },
            [&](std::size_t i) { return op(lanesValue, L::LoadU(src + i)); }, prefetch);
    } else {
        Run(
            dst, len, [&](std::size_t i) { return op(src[i], value); },
            [&](std::size_t i) { return op(L::LoadU(src + i), lanesValue); }, prefetch);
    }
}

template <class T>
Prefetch InPlacePrefetch() {
    return sizeof(T) == 4 ? Prefetch::Ahead : Prefetch::None;
}

template <class T>
Status AddConstInPlace(T value, T* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, T(0))) return StatusOk;
    RunConst(srcDst, value, srcDst, len, Plus{}, false, InPlacePrefetch<T>());
    return StatusOk;
}

template <class T>
Status SubConstInPlace(T value, T* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, T(0))) return StatusOk;
    RunConst(srcDst, value, srcDst, len, Minus{}, false, InPlacePrefetch<T>());
    return StatusOk;
}

template <class T>
Status SubConstRevInPlace(T value, T* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    RunConst(srcDst, value, srcDst, len, Minus{}, true, InPlacePrefetch<T>());
    return StatusOk;
}

template <class T, class Op>
Status Binary(const T* src1, const T* src2, T* dst, std::int32_t len, Op op) {
    if (const Status s = Vectors(len, src1, src2, dst); s != StatusOk) return s;
    RunBinary(src1, src2, dst, len, op);
    return StatusOk;
}

bool Overlap(const float* a, const float* b, std::int32_t len) {
    const auto lo = reinterpret_cast<std::uintptr_t>(a);
    const auto other = reinterpret_cast<std::uintptr_t>(b);
    const std::uintptr_t bytes = static_cast<std::uintptr_t>(len) * sizeof(float);
    return lo < other + bytes && other < lo + bytes;
}

}  // namespace

Status AddConstInPlaceF32_sse2(float value, float* srcDst, std::int32_t len) {
    return AddConstInPlace(value, srcDst, len);
}
Status AddConstInPlaceF64_sse2(double value, double* srcDst, std::int32_t len) {
    return AddConstInPlace(value, srcDst, len);
}
Status AddInPlaceF32_sse2(const float* src, float* srcDst, std::int32_t len) {
    return Binary(src, static_cast<const float*>(srcDst), srcDst, len, Plus{});
}
Status AddInPlaceF64_sse2(const double* src, double* srcDst, std::int32_t len) {
    return Binary(src, static_cast<const double*>(srcDst), srcDst, len, Plus{});
}
Status AddConstF32_sse2(const float* src, float value, float* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    if (MatchesConstant(value, 0.0f)) return CopyF32_sse2(src, dst, len);
    RunConst(src, value, dst, len, Plus{}, false, Prefetch::None);
    return StatusOk;
}
Status AddF32_sse2(const float* src1, const float* src2, float* dst, std::int32_t len) {
    return Binary(src1, src2, dst, len, Plus{});
}
Status AddF64_sse2(const double* src1, const double* src2, double* dst, std::int32_t len) {
    return Binary(src1, src2, dst, len, Plus{});
}
Status AddProductF32_sse2(const float* src1, const float* src2, float* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, src1, src2, srcDst); s != StatusOk) return s;
    if (Overlap(srcDst, src1, len) || Overlap(srcDst, src2, len)) {
        // An overlapping operand must see the elements written before it.
        const std::size_t n = static_cast<std::size_t>(len);
        for (std::size_t i = 0; i < n; ++i) {
            const float product = src1[i] * src2[i];
            srcDst[i] = srcDst[i] + product;
        }
        return StatusOk;
    }
    Run(
        srcDst, len, [&](std::size_t i) { return srcDst[i] + src1[i] * src2[i]; },
        [&](std::size_t i) {
            const __m128 product = _mm_mul_ps(_mm_loadu_ps(src1 + i), _mm_loadu_ps(src2 + i));
            return _mm_add_ps(_mm_loadu_ps(srcDst + i), product);
        });
    return StatusOk;
}

Status SubConstInPlaceF32_sse2(float value, float* srcDst, std::int32_t len) {
    return SubConstInPlace(value, srcDst, len);
}
Status SubConstInPlaceF64_sse2(double value, double* srcDst, std::int32_t len) {
    return SubConstInPlace(value, srcDst, len);
}
Status SubConstRevInPlaceF32_sse2(float value, float* srcDst, std::int32_t len) {
    return SubConstRevInPlace(value, srcDst, len);
}
Status SubConstRevInPlaceF64_sse2(double value, double* srcDst, std::int32_t len) {
    return SubConstRevInPlace(value, srcDst, len);
}
Status SubInPlaceF32_sse2(const float* src, float* srcDst, std::int32_t len) {
    return Binary(static_cast<const float*>(srcDst), src, srcDst, len, Minus{});
}
Status SubInPlaceF64_sse2(const double* src, double* srcDst, std::int32_t len) {
    return Binary(static_cast<const double*>(srcDst), src, srcDst, len, Minus{});
}

Status MulConstInPlaceF32_sse2(float value, float* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, 1.0f)) return StatusOk;
    if (MatchesConstant(value, 0.0f)) return ZeroF32_sse2(srcDst, len);
    RunConst(srcDst, value, srcDst, len, Times{}, false, Prefetch::Ahead);
    return StatusOk;
}
Status MulConstInPlaceF64_sse2(double value, double* srcDst, std::int32_t len) {
    if (const Status s = Vectors(len, srcDst); s != StatusOk) return s;
    if (MatchesConstant(value, 1.0)) return StatusOk;
    if (MatchesConstant(value, 0.0)) return ZeroF64_sse2(srcDst, len);
    RunConst(srcDst, value, srcDst, len, Times{}, false, Prefetch::None);
    return StatusOk;
}
Status MulConstF32_sse2(const float* src, float value, float* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    if (MatchesConstant(value, 1.0f)) return CopyF32_sse2(src, dst, len);
    if (MatchesConstant(value, 0.0f)) return ZeroF32_sse2(dst, len);
    RunConst(src, value, dst, len, Times{}, false, Prefetch::None);
    return StatusOk;
}
Status MulConstF64_sse2(const double* src, double value, double* dst, std::int32_t len) {
    if (const Status s = Vectors(len, src, dst); s != StatusOk) return s;
    if (MatchesConstant(value, 1.0)) return CopyF64_sse2(src, dst, len);
    if (MatchesConstant(value, 0.0)) return ZeroF64_sse2(dst, len);
    RunConst(src, value, dst, len, Times{}, false, Prefetch::None);
    return StatusOk;
}
Status MulInPlaceF32_sse2(const float* src, float* srcDst, std::int32_t len) {
    return Binary(src, static_cast<const float*>(srcDst), srcDst, len, Times{});
}
Status MulInPlaceF64_sse2(const double* src, double* srcDst, std::int32_t len) {
    return Binary(src, static_cast<const double*>(srcDst), srcDst, len, Times{});
}
Status MulF32_sse2(const float* src1, const float* src2, float* dst, std::int32_t len) {
    return Binary(src1, src2, dst, len, Times{});
}

}  // namespace Prim
