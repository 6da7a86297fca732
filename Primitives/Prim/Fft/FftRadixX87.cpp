#include <Primitives/Prim/Fft/FftKernelsX87.h>

#include <bit>

namespace Prim {
namespace {

// Forward: the second output of a radix-4 butterfly takes -i, the fourth +i; the
// inverse exchanges them and conjugates the twiddles.
template <bool Inverse>
inline void Butterfly4(double* a, double* b, double* c, double* d, const double* w)
{
    const double w1r = w[0], w2r = w[2], w3r = w[4];
    const double w1i = Inverse ? -w[1] : w[1];
    const double w2i = Inverse ? -w[3] : w[3];
    const double w3i = Inverse ? -w[5] : w[5];
    const double t1r = w2r * b[0] - w2i * b[1], t1i = w2r * b[1] + w2i * b[0];
    const double t2r = w1r * c[0] - w1i * c[1], t2i = w1r * c[1] + w1i * c[0];
    const double t3r = w3r * d[0] - w3i * d[1], t3i = w3r * d[1] + w3i * d[0];
    const double s0r = a[0] + t1r, s0i = a[1] + t1i;
    const double s1r = a[0] - t1r, s1i = a[1] - t1i;
    const double s2r = t2r + t3r, s2i = t2i + t3i;
    const double s3r = t2r - t3r, s3i = t2i - t3i;
    a[0] = s0r + s2r;
    a[1] = s0i + s2i;
    c[0] = s0r - s2r;
    c[1] = s0i - s2i;
    if (Inverse) {
        b[0] = s1r - s3i;
        b[1] = s1i + s3r;
        d[0] = s1r + s3i;
        d[1] = s1i - s3r;
    } else {
        b[0] = s1r + s3i;
        b[1] = s1i - s3r;
        d[0] = s1r - s3i;
        d[1] = s1i + s3r;
    }
}

// The j = 0 butterfly: all twiddles are 1.
template <bool Inverse>
inline void Butterfly4Unit(double* a, double* b, double* c, double* d)
{
    const double s0r = a[0] + b[0], s0i = a[1] + b[1];
    const double s1r = a[0] - b[0], s1i = a[1] - b[1];
    const double s2r = c[0] + d[0], s2i = c[1] + d[1];
    const double s3r = c[0] - d[0], s3i = c[1] - d[1];
    a[0] = s0r + s2r;
    a[1] = s0i + s2i;
    c[0] = s0r - s2r;
    c[1] = s0i - s2i;
    if (Inverse) {
        b[0] = s1r - s3i;
        b[1] = s1i + s3r;
        d[0] = s1r + s3i;
        d[1] = s1i - s3r;
    } else {
        b[0] = s1r + s3i;
        b[1] = s1i - s3r;
        d[0] = s1r - s3i;
        d[1] = s1i + s3r;
    }
}

template <bool Inverse>
void Span8(double* data, uint32_t count, const double* twiddles)
{
    // W_8^1 = (h, -h) is entry count/8 of the table; W_8^2 = -i and W_8^3 = (-h, -h) follow.
    const double h = twiddles[6 * (count / 8)];
    const double w1i = Inverse ? -twiddles[6 * (count / 8) + 1] : twiddles[6 * (count / 8) + 1];
    for (uint32_t g = 0; g < count; g += 8) {
        double* a = data + 2 * g;
        double* b = a + 8;
        for (int j = 0; j < 4; ++j) {
            double tr, ti;
            const double br = b[2 * j], bi = b[2 * j + 1];
            switch (j) {
            case 0:
                tr = br;
                ti = bi;
                break;
            case 1:
                tr = h * br - w1i * bi;
                ti = h * bi + w1i * br;
                break;
            case 2:
                tr = Inverse ? -bi : bi;
                ti = Inverse ? br : -br;
                break;
            default:
                tr = -h * br - w1i * bi;
                ti = -h * bi + w1i * br;
                break;
            }
            const double ar = a[2 * j], ai = a[2 * j + 1];
            a[2 * j] = ar + tr;
            a[2 * j + 1] = ai + ti;
            b[2 * j] = ar - tr;
            b[2 * j + 1] = ai - ti;
        }
    }
}

template <bool Inverse>
void RadixPass(double* data, uint32_t count, const double* twiddles)
{
    if (count < 4) {
        if (count == 2) {
            const double r0 = data[0], i0 = data[1];
            data[0] = r0 + data[2];
            data[1] = i0 + data[3];
            data[2] = r0 - data[2];
            data[3] = i0 - data[3];
        }
        return;
    }
    for (uint32_t g = 0; g < count; g += 4) {
        double* z = data + 2 * g;
        Butterfly4Unit<Inverse>(z, z + 2, z + 4, z + 6);
    }
    uint32_t span = 16;
    if (std::countr_zero(count) % 2 != 0) {
        Span8<Inverse>(data, count, twiddles);
        span = 32;
    }
    for (; span <= count; span *= 4) {
        const uint32_t quarter = span / 4;
        const uint32_t step = 6 * (count / span);
        for (uint32_t g = 0; g < count; g += span) {
            double* a = data + 2 * g;
            double* b = a + 2 * quarter;
            double* c = b + 2 * quarter;
            double* d = c + 2 * quarter;
            Butterfly4Unit<Inverse>(a, b, c, d);
            const double* w = twiddles + step;
            for (uint32_t j = 1; j < quarter; ++j, w += step)
                Butterfly4<Inverse>(a + 2 * j, b + 2 * j, c + 2 * j, d + 2 * j, w);
        }
    }
}

} // namespace

void FftRadixFwdF64_x87(double* data, uint32_t count, const double* twiddles)
{
    RadixPass<false>(data, count, twiddles);
}

void FftRadixInvF64_x87(double* data, uint32_t count, const double* twiddles)
{
    RadixPass<true>(data, count, twiddles);
}

void FftScaleF64_x87(double factor, double* data, uint32_t count)
{
    for (uint32_t i = 0; i < count; ++i)
        data[i] *= factor;
}

} // namespace Prim
