// The direct convolution kernel of the SSE2 build: dst[i + j] += x[i] h[j].
#include <Primitives/Prim/Fft/FftRealF32.h>

#include <Primitives/Prim/SimdLanes.h>

#include <algorithm>
#include <cstdint>

namespace Prim {
namespace {

// The taps go four at a time: output o of a group takes ((p0 + p1) + (p2 + p3)), p_t being
// x[o - j0 - t] h[j0 + t], or nothing where that x or that tap does not exist. Outputs
// whose four products all exist go four at a time at the 16-byte boundaries of dst; the
// others one at a time with the same sums.
struct TapGroup {
    const float* x;
    int64_t lenX;
    const float* h;  // the group's first tap
    int64_t taps;  // 1 to 4
    int64_t j0;

    float Product(int64_t o, int64_t t) const {
        const int64_t i = o - j0 - t;
        return t < taps && i >= 0 && i < lenX ? x[i] * h[t] : 0.0f;
    }

    void One(float* dst, int64_t o) const {
        dst[o] += (Product(o, 0) + Product(o, 1)) + (Product(o, 2) + Product(o, 3));
    }

    __m128 Products(int64_t o, int64_t t) const {
        if (t >= taps) return _mm_setzero_ps();
        return _mm_mul_ps(_mm_loadu_ps(x + (o - j0 - t)), _mm_set1_ps(h[t]));
    }

    void Four(float* dst, int64_t o) const {
        const __m128 sum =
            _mm_add_ps(_mm_add_ps(Products(o, 0), Products(o, 1)), _mm_add_ps(Products(o, 2), Products(o, 3)));
        _mm_store_ps(dst + o, _mm_add_ps(_mm_load_ps(dst + o), sum));
    }

    // Every x that outputs o..o+3 read exists.
    bool Inside(int64_t o) const { return o - j0 - (taps - 1) >= 0 && o + 3 - j0 < lenX; }
};

}  // namespace

void ConvKernelF32_sse2(const float* x, int32_t lenX, const float* h, int32_t lenH, float* dst) {
    if (lenX < 8 || (reinterpret_cast<uintptr_t>(dst) & 3) != 0) {
        for (int64_t j = 0; j < lenH; ++j)
            for (int64_t i = 0; i < lenX; ++i) dst[i + j] += x[i] * h[j];
        return;
    }
    for (int64_t j0 = 0; j0 < lenH; j0 += 4) {
        const TapGroup group{x, lenX, h + j0, std::min<int64_t>(4, lenH - j0), j0};
        const int64_t end = j0 + lenX + group.taps - 1;
        for (int64_t o = j0; o < end;) {
            if (SimdLanes::Aligned16(dst + o) && group.Inside(o)) {
                group.Four(dst, o);
                o += 4;
            } else {
                group.One(dst, o);
                ++o;
            }
        }
    }
}

}  // namespace Prim
