// Direct linear convolution added into dst, for inputs too short for the FFT to pay off.
#include <Primitives/Prim/Fft/FftSpec.h>

#include <Primitives/Prim/SimdLanes.h>

namespace Prim {

// dst[i + j] += a[i] b[j]: one row a * b[j] per j, four outputs a step with aligned stores.
void ConvKernelF64_sse2(const double* a, int32_t lenA, const double* b, int32_t lenB, double* dst) {
    const bool vectors = lenA >= 8 && (reinterpret_cast<uintptr_t>(dst) & 7) == 0;
    for (int32_t j = 0; j < lenB; ++j) {
        const double bj = b[j];
        double* out = dst + j;
        int32_t i = 0;
        if (vectors) {
            if (!SimdLanes::Aligned16(out)) {
                out[0] += a[0] * bj;
                i = 1;
            }
            const __m128d v = _mm_set1_pd(bj);
            for (; i + 4 <= lenA; i += 4) {
                const __m128d lo = _mm_add_pd(_mm_load_pd(out + i), _mm_mul_pd(_mm_loadu_pd(a + i), v));
                const __m128d hi = _mm_add_pd(_mm_load_pd(out + i + 2), _mm_mul_pd(_mm_loadu_pd(a + i + 2), v));
                _mm_store_pd(out + i, lo);
                _mm_store_pd(out + i + 2, hi);
            }
        }
        for (; i < lenA; ++i) out[i] += a[i] * bj;
    }
}

}  // namespace Prim
