#pragma once
// Four consecutive elements in vector registers: one register of floats, two of doubles.
#include <emmintrin.h>

namespace Prim::IirQuad {

template <class T>
struct Quad;

template <>
struct Quad<float> {
    __m128 v;
    static Quad Zero() { return {_mm_setzero_ps()}; }
    static Quad Load(const float* p) { return {_mm_load_ps(p)}; }
    static Quad LoadU(const float* p) { return {_mm_loadu_ps(p)}; }
    static Quad Splat(float x) { return {_mm_set1_ps(x)}; }
    // A table entry that holds one value in every lane of a register.
    static Quad Lanes(const float* p) { return {_mm_load_ps(p)}; }
    void StoreU(float* p) const { _mm_storeu_ps(p, v); }
    void Store(float* p) const { _mm_store_ps(p, v); }
    Quad operator+(Quad o) const { return {_mm_add_ps(v, o.v)}; }
    Quad operator-(Quad o) const { return {_mm_sub_ps(v, o.v)}; }
    Quad operator*(Quad o) const { return {_mm_mul_ps(v, o.v)}; }
};

template <>
struct Quad<double> {
    __m128d lo, hi;
    static Quad Zero() { return {_mm_setzero_pd(), _mm_setzero_pd()}; }
    static Quad Load(const double* p) { return {_mm_load_pd(p), _mm_load_pd(p + 2)}; }
    static Quad LoadU(const double* p) { return {_mm_loadu_pd(p), _mm_loadu_pd(p + 2)}; }
    static Quad Splat(double x) { return {_mm_set1_pd(x), _mm_set1_pd(x)}; }
    static Quad Lanes(const double* p) {
        const __m128d v = _mm_load_pd(p);
        return {v, v};
    }
    void StoreU(double* p) const {
        _mm_storeu_pd(p, lo);
        _mm_storeu_pd(p + 2, hi);
    }
    void Store(double* p) const {
        _mm_store_pd(p, lo);
        _mm_store_pd(p + 2, hi);
    }
    Quad operator+(Quad o) const { return {_mm_add_pd(lo, o.lo), _mm_add_pd(hi, o.hi)}; }
    Quad operator-(Quad o) const { return {_mm_sub_pd(lo, o.lo), _mm_sub_pd(hi, o.hi)}; }
    Quad operator*(Quad o) const { return {_mm_mul_pd(lo, o.lo), _mm_mul_pd(hi, o.hi)}; }
};

}  // namespace Prim::IirQuad
