// The real split around the complex transform of the x87 build of the 32-bit transform.
#include <Primitives/Prim/Fft/FftKernelsF32.h>

namespace Prim {

// Z = the transform of z_t = x_2t + i x_2t+1; with a = Z_k, b = Z_(half-k) and the
// table pair (B, A) = (cos/2, (1 - sin)/2) of angle 2 pi k / N, each pair of bins is
// formed from both values read before either is written.
void FftRealPostF32_x87(float* data, uint32_t half, int, const float* table) {
    if (half < 2) return;
    for (uint64_t k = 1; 2 * k < half; ++k) {
        float* lo = data + 2 * k;
        float* hi = data + 2 * (half - k);
        const double ar = lo[0], ai = lo[1], br = hi[0], bi = hi[1];
        const double B = table[2 * k], A = table[2 * k + 1];
        const double dr = ar - br, si = ai + bi;
        const double p = A * dr + B * si, q = A * si - B * dr;
        lo[0] = static_cast<float>(br + p);
        lo[1] = static_cast<float>(q - bi);
        hi[0] = static_cast<float>(ar - p);
        hi[1] = static_cast<float>(q - ai);
    }
    data[half + 1] = -data[half + 1];
}

// X_k = (a, c) and X_(half-k) = (b, d) become twice the transform of z at k and
// half - k, with the roots (cos, -sin) of angle 2 pi k / N.
void FftRealPreF32_x87(const float* src, float* dst, uint32_t half, const float* roots) {
    for (uint64_t k = 1; 2 * k < half; ++k) {
        const double a = src[2 * k], c = src[2 * k + 1];
        const double b = src[2 * (half - k)], d = src[2 * (half - k) + 1];
        const double wr = roots[2 * k], wi = roots[2 * k + 1];
        const double t = wi * (a - b) - wr * (c + d);
        const double u = wr * (a - b) + wi * (c + d);
        dst[2 * k] = static_cast<float>(a + b + t);
        dst[2 * k + 1] = static_cast<float>((c - d) + u);
        dst[2 * (half - k)] = static_cast<float>(a + b - t);
        dst[2 * (half - k) + 1] = static_cast<float>(u - (c - d));
    }
    const float re = src[half], im = src[half + 1];
    dst[half] = 2.0f * re;
    dst[half + 1] = -2.0f * im;
}

}  // namespace Prim
