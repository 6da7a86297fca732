// SSE2 bit reversal of complex doubles from the SSE2 form of the table: entry i = 2 rev(i)
// over the middle bits, so that element 2i + b + a h (h = count / 2) comes from
// 2 rev(i) + a + b h. One entry moves four values.
#include <Primitives/Prim/Fft/FftKernelsF64Sse2.h>

#include <emmintrin.h>

namespace Prim {
namespace {

inline void Move(const double* src, uint64_t from, double* dst, uint64_t to) {
    _mm_storeu_pd(dst + 2 * to, _mm_loadu_pd(src + 2 * from));
}

inline void Exchange(double* data, uint64_t a, uint64_t b) {
    const __m128d x = _mm_loadu_pd(data + 2 * a), y = _mm_loadu_pd(data + 2 * b);
    _mm_storeu_pd(data + 2 * a, y);
    _mm_storeu_pd(data + 2 * b, x);
}

// The partners of an entry lie anywhere in the array: ask for them a few entries ahead.
constexpr uint64_t PrefetchDistance = 16;

inline void Prefetch(const double* data, uint64_t t, uint64_t h) {
    __builtin_prefetch(data + 2 * t);
    __builtin_prefetch(data + 2 * (t + h));
}

// The small counts have no table to speak of.
constexpr uint64_t Reversed4[4] = {0, 2, 1, 3};

}  // namespace

void FftBitRevCopyC64_sse2(const double* src, double* dst, uint32_t count, const int32_t* table) {
    if (count < 8) {
        for (uint64_t k = 0; k < count; ++k) Move(src, count == 4 ? Reversed4[k] : k, dst, k);
        return;
    }
    const uint64_t h = count / 2, entries = count / 4;
    for (uint64_t i = 0; i < entries; ++i) {
        if (i + PrefetchDistance < entries) Prefetch(src, static_cast<uint64_t>(table[i + PrefetchDistance]), h);
        const uint64_t t = static_cast<uint64_t>(table[i]);
        Move(src, t, dst, 2 * i);
        Move(src, t + h, dst, 2 * i + 1);
        Move(src, t + 1, dst, 2 * i + h);
        Move(src, t + h + 1, dst, 2 * i + h + 1);
    }
}

void FftBitRevInPlaceC64_sse2(double* data, uint32_t count, const int32_t* table) {
    if (count < 8) {
        if (count == 4) Exchange(data, 1, 2);
        return;
    }
    const uint64_t h = count / 2, entries = count / 4;
    for (uint64_t i = 0; i < entries; ++i) {
        if (i + PrefetchDistance < entries) Prefetch(data, static_cast<uint64_t>(table[i + PrefetchDistance]), h);
        const uint64_t j = static_cast<uint64_t>(table[i]) / 2;
        if (i < j) {
            Exchange(data, 2 * i, 2 * j);
            Exchange(data, 2 * i + 1, 2 * j + h);
            Exchange(data, 2 * i + h, 2 * j + 1);
            Exchange(data, 2 * i + h + 1, 2 * j + h + 1);
        } else if (i == j) {
            Exchange(data, 2 * i + 1, 2 * i + h);
        }
    }
}

}  // namespace Prim
