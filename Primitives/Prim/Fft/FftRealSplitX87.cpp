#include <Primitives/Prim/Fft/FftKernelsX87.h>

namespace Prim {

void FftRealPostF64_x87(double* data, uint32_t half, int, const double* table)
{
    for (uint32_t k = 1; k < half / 2; ++k) {
        const uint32_t mk = half - k;
        const double a = data[2 * k], c = data[2 * k + 1];
        const double b = data[2 * mk], e = data[2 * mk + 1];
        const double p = table[2 * k], q = table[2 * k + 1];
        const double t = q * (a - b) + p * (c + e);
        const double u = q * (c + e) - p * (a - b);
        data[2 * k] = b + t;
        data[2 * mk] = a - t;
        data[2 * k + 1] = u - e;
        data[2 * mk + 1] = u - c;
    }
    data[half + 1] = -data[half + 1];
}

void FftRealPreF64_x87(const double* src, double* dst, uint32_t half, int, const double* roots)
{
    for (uint32_t k = 1; k < half / 2; ++k) {
        const uint32_t mk = half - k;
        const double a = src[2 * k], c = src[2 * k + 1];
        const double b = src[2 * mk], e = src[2 * mk + 1];
        const double g = roots[2 * k], h = roots[2 * k + 1];
        const double p = h * (a - b) - g * (c + e);
        const double q = g * (a - b) + h * (c + e);
        dst[2 * k] = a + b + p;
        dst[2 * k + 1] = (c - e) + q;
        dst[2 * mk] = a + b - p;
        dst[2 * mk + 1] = q - (c - e);
    }
    dst[half] = 2.0 * src[half];
    dst[half + 1] = -2.0 * src[half + 1];
}

} // namespace Prim
