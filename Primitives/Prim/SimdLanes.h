#pragma once
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

// The register type, width and loads of the SSE2 builds, chosen by element type.
namespace Prim::SimdLanes {

inline bool Aligned16(const void* p) { return (reinterpret_cast<std::uintptr_t>(p) & 15) == 0; }

template <class T>
struct Of;

template <>
struct Of<float> {
    using V = __m128;
    static constexpr std::size_t width = 4;
    static V Load(const float* p) { return _mm_load_ps(p); }
    static V LoadU(const float* p) { return _mm_loadu_ps(p); }
    static void Store(float* p, V v) { _mm_store_ps(p, v); }
    static void StoreU(float* p, V v) { _mm_storeu_ps(p, v); }
    static V Broadcast(float v) { return _mm_set1_ps(v); }
    static V Add(V a, V b) { return _mm_add_ps(a, b); }
    static V Mul(V a, V b) { return _mm_mul_ps(a, b); }
};

template <>
struct Of<double> {
    using V = __m128d;
    static constexpr std::size_t width = 2;
    static V Load(const double* p) { return _mm_load_pd(p); }
    static V LoadU(const double* p) { return _mm_loadu_pd(p); }
    static void Store(double* p, V v) { _mm_store_pd(p, v); }
    static void StoreU(double* p, V v) { _mm_storeu_pd(p, v); }
    static V Broadcast(double v) { return _mm_set1_pd(v); }
    static V Add(V a, V b) { return _mm_add_pd(a, b); }
    static V Mul(V a, V b) { return _mm_mul_pd(a, b); }
};

}  // namespace Prim::SimdLanes
