// The portable radix-2 passes of the MDCT's complex FFT: every butterfly in double from
// float inputs, each stage rounded to float on store.
#include <Primitives/Prim/Fft/MdctKernels.h>

#include <cstddef>

namespace Prim {

void CosFftRadix2_x87(const CosFftSpecC32* spec, float* data) {
    const size_t n = static_cast<size_t>(spec->n);
    const int32_t order = spec->order;
    const auto put = [data](size_t i, double re, double im) {
        data[2 * i] = static_cast<float>(re);
        data[2 * i + 1] = static_cast<float>(im);
    };
    if (order >= 1) {
        for (size_t i = 0; i < n; i += 2) {
            const double ar = data[2 * i], ai = data[2 * i + 1];
            const double br = data[2 * i + 2], bi = data[2 * i + 3];
            put(i, ar + br, ai + bi);
            put(i + 1, ar - br, ai - bi);
        }
    }
    if (order >= 2) {
        for (size_t i = 0; i < n; i += 4) {
            const float* x = data + 2 * i;
            const double x0r = x[0], x0i = x[1], x1r = x[2], x1i = x[3];
            const double x2r = x[4], x2i = x[5], x3r = x[6], x3i = x[7];
            put(i, x0r + x2r, x0i + x2i);
            put(i + 2, x0r - x2r, x0i - x2i);
            put(i + 1, x1r + x3i, x1i - x3r);  // x1 - i x3
            put(i + 3, x1r - x3i, x1i + x3r);  // x1 + i x3
        }
    }
    for (int32_t s = 2; s < order; ++s) {
        const size_t half = size_t{1} << s;
        const float* cosine = spec->cosinePairs + 2 * (half - 4);
        const float* sine = spec->sinePairs + 2 * (half - 4);
        for (size_t g = 0; g < n; g += 2 * half) {
            for (size_t j = 0; j < half; ++j) {
                const double c = cosine[2 * j], ns = sine[2 * j + 1];
                const size_t a = g + j, b = a + half;
                const double br = data[2 * b], bi = data[2 * b + 1];
                const double tr = br * c - bi * ns, ti = bi * c + br * ns;
                const double ar = data[2 * a], ai = data[2 * a + 1];
                put(a, ar + tr, ai + ti);
                put(b, ar - tr, ai - ti);
            }
        }
    }
}

}  // namespace Prim
