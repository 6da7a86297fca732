// The kernels of lengths 12, 32 and 36 and the 3- and 9-point DFTs. They compute in double
// and round on store, so the SSE2 build runs the very same code: both builds give the same
// bits for these lengths.
#include <Primitives/Prim/Fft/MdctKernels.h>
#include <Primitives/Prim/Fft/MdctSteps.h>

namespace Prim {
namespace {

using namespace MdctSteps;

struct Cplx {
    double re, im;
};

Cplx Load(const float* data, int i) { return {data[2 * i], data[2 * i + 1]}; }

void Store(float* data, int i, Cplx v) {
    data[2 * i] = static_cast<float>(v.re);
    data[2 * i + 1] = static_cast<float>(v.im);
}

void FwdPreSmall(const float* src, float* dst, const CosSpecF32* spec, float* scratch) {
    const Sizes z(spec);
    Rotate(src, scratch, z);
    FoldTwiddle(scratch, dst, InterleavedTable{spec->twiddle}, z);
}

void Dft3(float* data) {
    constexpr double root3 = 1.7320508075688772;
    const Cplx x0 = Load(data, 0), x1 = Load(data, 1), x2 = Load(data, 2);
    const Cplx sum{x1.re + x2.re, x1.im + x2.im};
    const Cplx diff{x1.re - x2.re, x1.im - x2.im};
    Store(data, 0, {x0.re + sum.re, x0.im + sum.im});
    Store(data, 1, {x0.re + 0.5 * (root3 * diff.im - sum.re), x0.im - 0.5 * (sum.im + root3 * diff.re)});
    Store(data, 2, {x0.re - 0.5 * (root3 * diff.im + sum.re), x0.im + 0.5 * (root3 * diff.re - sum.im)});
}

// One 3-point DFT with the float constants of the 9-point kernel.
void Dft3Float(const Cplx (&x)[3], Cplx (&out)[3]) {
    constexpr double half = -0.5f, sin60 = 0.8660254f;
    const Cplx sum{x[1].re + x[2].re, x[1].im + x[2].im};
    const Cplx diff{sin60 * (x[1].re - x[2].re), sin60 * (x[1].im - x[2].im)};
    const Cplx mid{x[0].re + half * sum.re, x[0].im + half * sum.im};
    out[0] = {x[0].re + sum.re, x[0].im + sum.im};
    out[1] = {mid.re + diff.im, mid.im - diff.re};
    out[2] = {mid.re - diff.im, mid.im + diff.re};
}

// 3 by 3: columns j over (x_j, x_j+3, x_j+6), twiddles e^(-2 pi i jm / 9), then rows m whose
// outputs go to m + 3 k. The twiddled columns are rounded to float before the second stage.
void Dft9(float* data) {
    struct Turn {
        double c, s;
    };
    static constexpr Turn turns[3][3] = {
        {{1, 0}, {1, 0}, {1, 0}},
        {{1, 0}, {0.76604444f, 0.64278764f}, {0.17364818f, 0.9848077f}},
        {{1, 0}, {0.17364818f, 0.9848077f}, {-0.9396926f, 0.34202015f}},
    };
    float columns[3][3][2];
    for (int j = 0; j < 3; ++j) {
        const Cplx in[3] = {Load(data, j), Load(data, j + 3), Load(data, j + 6)};
        Cplx out[3];
        Dft3Float(in, out);
        for (int m = 0; m < 3; ++m) {
            const Turn t = turns[j][m];
            const Cplx v =
                m * j == 0 ? out[m] : Cplx{out[m].re * t.c + out[m].im * t.s, out[m].im * t.c - out[m].re * t.s};
            columns[m][j][0] = static_cast<float>(v.re);
            columns[m][j][1] = static_cast<float>(v.im);
        }
    }
    for (int m = 0; m < 3; ++m) {
        const Cplx in[3] = {Load(columns[m][0], 0), Load(columns[m][1], 0), Load(columns[m][2], 0)};
        Cplx out[3];
        Dft3Float(in, out);
        for (int k = 0; k < 3; ++k) Store(data, m + 3 * k, out[k]);
    }
}

}  // namespace

#define PRIM_MDCT_SMALL_BUILD(suffix)                                                                     \
    void MdctFwdPreSmall##suffix(const float* src, float* dst, const CosSpecF32* spec, float* scratch) {  \
        FwdPreSmall(src, dst, spec, scratch);                                                             \
    }                                                                                                     \
    void MdctFwdPostSmall##suffix(const float* src, float* dst, const CosSpecF32* spec) {                 \
        ForwardPost<InterleavedTable>(src, dst, spec);                                                    \
    }                                                                                                     \
    void MdctInvPreSmall##suffix(const float* src, float* dst, const CosSpecF32* spec) {                  \
        InversePre<InterleavedTable>(src, dst, spec);                                                     \
    }                                                                                                     \
    void MdctInvPostSmall##suffix(const float* src, float* dst, const CosSpecF32* spec, float* scratch) { \
        InversePost<InterleavedTable>(src, dst, spec, scratch);                                           \
    }                                                                                                     \
    void Dft3C32##suffix(float* data) { Dft3(data); }                                                     \
    void Dft9C32##suffix(float* data) { Dft9(data); }

PRIM_MDCT_SMALL_BUILD(_x87)
PRIM_MDCT_SMALL_BUILD(_sse2)
#undef PRIM_MDCT_SMALL_BUILD

}  // namespace Prim
