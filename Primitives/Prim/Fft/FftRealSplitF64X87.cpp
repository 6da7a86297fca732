#include <Primitives/Prim/Fft/FftKernelsF64X87.h>

#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftDualX87.h>

namespace Prim {

using namespace FftX87;

// With z = Z_k = (a, c), y = Z_(M-k) = (b, e), D = z - conj y = (a - b, c + e):
// (t, u) = q D + p (-i D); X_k = (t, u) + conj y; X_(M-k) = conj(z - (t, u)). Values k and
// k + 1 go together, with M - k and M - k - 1, in the lanes of PostPair.
void FftRealPostF64_x87(double* data, uint32_t half, int, const double* table) {
    const uint32_t pairs = (half / 2 - 1) / 2;  // k = 1, 3, ..., with k + 1
    double* lo = data + 2;
    double* hi = data + 2 * (half - 2);
    const double* pq = table + 2;
    for (uint32_t i = 0; i < pairs; ++i, lo += 4, hi -= 4, pq += 4) {
        const Cplx pq0 = Load(pq), pq1 = Load(pq + 2);
        Dual x, y;
        PostPair(Zip(Load(lo), Load(lo + 2)), Zip(Load(hi + 2), Load(hi)), Low(pq0, pq1), High(pq0, pq1), x, y);
        StoreLanes(lo, lo + 2, x);
        StoreLanes(hi + 2, hi, y);
    }
    for (uint32_t k = 1 + 2 * pairs; k < half / 2; ++k) PostInPlace(data, k, half - k, table);
    data[half + 1] = -data[half + 1];
}

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
