#include <Primitives/Prim/Fft/FftKernelsF64X87.h>

#include <Primitives/Prim/Fft/FftComplexX87.h>

namespace Prim {

using namespace FftX87;

// With z = X_k = (a, c), y = X_(M-k) = (b, e): D = z - conj y = (a - b, c + e),
// S = z + conj y = (a + b, c - e), (p, q) = h D + g (i D); Z_k = S + (p, q) and
// Z_(M-k) = conj(S - (p, q)).
void FftRealPreF64_x87(const double* src, double* dst, uint32_t half, int, const double* roots) {
    for (uint32_t k = 1; k < half / 2; ++k) {
        const Cplx z = Load(src + 2 * k), yc = Conj(Load(src + 2 * (half - k)));
        const Cplx d = z - yc, sum = z + yc;
        const Cplx pq = d * Cplx{roots[2 * k + 1], roots[2 * k + 1]} + TimesI(d) * Cplx{roots[2 * k], roots[2 * k]};
        Store(dst + 2 * k, sum + pq);
        Store(dst + 2 * (half - k), Conj(sum - pq));
    }
    dst[half] = 2.0 * src[half];
    dst[half + 1] = -2.0 * src[half + 1];
}

}  // namespace Prim
