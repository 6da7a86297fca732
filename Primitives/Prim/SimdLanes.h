#pragma once
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

// The vector vocabulary of the SSE2 builds: the register of each element type, four
// consecutive elements, complex values with their parts in separate registers, and the
// lead/vector/tail walk. These only name instructions; every kernel still writes out its own
// arithmetic, so that the operations on each element and their order stay the kernel's.
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
    static V Sub(V a, V b) { return _mm_sub_ps(a, b); }
    static V Mul(V a, V b) { return _mm_mul_ps(a, b); }
    // The even-numbered and the odd-numbered elements of a then b; the lanes of the low
    // (high) halves of a and b, alternating.
    static V Evens(V a, V b) { return _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)); }
    static V Odds(V a, V b) { return _mm_shuffle_ps(a, b, _MM_SHUFFLE(3, 1, 3, 1)); }
    static V ZipLow(V a, V b) { return _mm_unpacklo_ps(a, b); }
    static V ZipHigh(V a, V b) { return _mm_unpackhi_ps(a, b); }
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
    static V Sub(V a, V b) { return _mm_sub_pd(a, b); }
    static V Mul(V a, V b) { return _mm_mul_pd(a, b); }
    static V Evens(V a, V b) { return _mm_unpacklo_pd(a, b); }
    static V Odds(V a, V b) { return _mm_unpackhi_pd(a, b); }
    static V ZipLow(V a, V b) { return _mm_unpacklo_pd(a, b); }
    static V ZipHigh(V a, V b) { return _mm_unpackhi_pd(a, b); }
};

// Four consecutive elements: one register of floats, two of doubles.
template <class T>
struct Four {
    using L = Of<T>;
    static constexpr std::size_t count = 4 / L::width;
    typename L::V v[count];

    template <class F>
    static Four Each(F f) {
        Four q;
        for (std::size_t r = 0; r < count; ++r) q.v[r] = f(r);
        return q;
    }
    static Four Load(const T* p) {
        return Each([&](std::size_t r) { return L::Load(p + r * L::width); });
    }
    static Four LoadU(const T* p) {
        return Each([&](std::size_t r) { return L::LoadU(p + r * L::width); });
    }
    static Four Splat(T x) {
        return Each([&](std::size_t) { return L::Broadcast(x); });
    }
    // A table entry that holds one value in every lane of a register.
    static Four Lanes(const T* p) {
        return Each([&](std::size_t) { return L::Load(p); });
    }
    void Store(T* p) const {
        for (std::size_t r = 0; r < count; ++r) L::Store(p + r * L::width, v[r]);
    }
    void StoreU(T* p) const {
        for (std::size_t r = 0; r < count; ++r) L::StoreU(p + r * L::width, v[r]);
    }
    Four operator+(const Four& o) const {
        return Each([&](std::size_t r) { return L::Add(v[r], o.v[r]); });
    }
    Four operator-(const Four& o) const {
        return Each([&](std::size_t r) { return L::Sub(v[r], o.v[r]); });
    }
    Four operator*(const Four& o) const {
        return Each([&](std::size_t r) { return L::Mul(v[r], o.v[r]); });
    }
};

// One register's width of complex values: their real parts, then their imaginary parts.
template <class T>
struct Complex {
    using L = Of<T>;
    typename L::V re;
    typename L::V im;

    static Complex Load(const T* p) { return {L::Load(p), L::Load(p + L::width)}; }
    static Complex LoadU(const T* p) { return {L::LoadU(p), L::LoadU(p + L::width)}; }
    void Store(T* p) const {
        L::Store(p, re);
        L::Store(p + L::width, im);
    }
    void StoreU(T* p) const {
        L::StoreU(p, re);
        L::StoreU(p + L::width, im);
    }
    // From and to interleaved (re, im) values, at any address of an element.
    static Complex LoadInterleaved(const T* p) {
        const typename L::V lo = L::LoadU(p), hi = L::LoadU(p + L::width);
        return {L::Evens(lo, hi), L::Odds(lo, hi)};
    }
    void StoreInterleaved(T* p) const {
        L::StoreU(p, L::ZipLow(re, im));
        L::StoreU(p + L::width, L::ZipHigh(re, im));
    }
    Complex operator+(const Complex& o) const { return {L::Add(re, o.re), L::Add(im, o.im)}; }
    Complex operator-(const Complex& o) const { return {L::Sub(re, o.re), L::Sub(im, o.im)}; }
};

// Elements before `anchor + n` reaches a 16-byte boundary (all of them for an anchor that is
// not aligned to its element).
template <class T, class Index>
Index Lead(const T* anchor, Index len) {
    Index n = 0;
    while (n < len && !Aligned16(anchor + n)) ++n;
    return n;
}

// one(i) for the lead elements of `anchor`, body(i) for each whole block of `block` elements
// after them, one(i) for the rest.
template <class T, class Index, class One, class Body>
void Walk(const T* anchor, Index len, std::type_identity_t<Index> block, One&& one, Body&& body) {
    Index i = Lead(anchor, len);
    for (Index k = 0; k < i; ++k) one(k);
    for (; len - i >= block; i += block) body(i);
    for (; i < len; ++i) one(i);
}

}  // namespace Prim::SimdLanes
