#include <Primitives/Prim/Fft/FftComplexCodelets.h>

#include <Primitives/Prim/Fft/FftSmallDft.h>

namespace Prim {
namespace {

struct Z {
    double re, im;
};

struct Ops {
    using Value = Z;
    static Z Add(Z a, Z b) { return {a.re + b.re, a.im + b.im}; }
    static Z Sub(Z a, Z b) { return {a.re - b.re, a.im - b.im}; }
    static Z Root(double re, double im) { return {re, im}; }
    static Z Mul(Z a, Z w) { return {a.re * w.re - a.im * w.im, a.re * w.im + a.im * w.re}; }
};

inline Z Scale(Z a, double f) { return {a.re * f, a.im * f}; }

template <int N, bool Inverse, bool Scaled>
inline void Interleaved(const double* src, double* dst, double f) {
    Z z[N];
    for (int j = 0; j < N; ++j) z[j] = {src[2 * j], src[2 * j + 1]};
    FftSmallDft<N, Inverse, Ops>(z);
    for (int k = 0; k < N; ++k) {
        const Z y = Scaled ? Scale(z[k], f) : z[k];
        dst[2 * k] = y.re;
        dst[2 * k + 1] = y.im;
    }
}

template <int N, bool Inverse, bool Scaled>
inline void Split(const double* sr, const double* si, double* dr, double* di, double f) {
    Z z[N];
    for (int j = 0; j < N; ++j) z[j] = {sr[j], si[j]};
    FftSmallDft<N, Inverse, Ops>(z);
    for (int k = 0; k < N; ++k) {
        const Z y = Scaled ? Scale(z[k], f) : z[k];
        dr[k] = y.re;
        di[k] = y.im;
    }
}

}  // namespace

void FftCodeletCplx0F64_x87(const double* s, double* d) { Interleaved<1, false, false>(s, d, 1.0); }
void FftCodeletCplx0ScaledF64_x87(const double* s, double* d, double f) { Interleaved<1, false, true>(s, d, f); }
void FftCodeletCplx1F64_x87(const double* s, double* d) { Interleaved<2, false, false>(s, d, 1.0); }
void FftCodeletCplx1ScaledF64_x87(const double* s, double* d, double f) { Interleaved<2, false, true>(s, d, f); }
void FftCodeletCplxFwd2F64_x87(const double* s, double* d) { Interleaved<4, false, false>(s, d, 1.0); }
void FftCodeletCplxFwd2ScaledF64_x87(const double* s, double* d, double f) { Interleaved<4, false, true>(s, d, f); }
void FftCodeletCplxInv2F64_x87(const double* s, double* d) { Interleaved<4, true, false>(s, d, 1.0); }
void FftCodeletCplxInv2ScaledF64_x87(const double* s, double* d, double f) { Interleaved<4, true, true>(s, d, f); }
void FftCodeletCplxFwd3F64_x87(const double* s, double* d) { Interleaved<8, false, false>(s, d, 1.0); }
void FftCodeletCplxFwd3ScaledF64_x87(const double* s, double* d, double f) { Interleaved<8, false, true>(s, d, f); }
void FftCodeletCplxInv3F64_x87(const double* s, double* d) { Interleaved<8, true, false>(s, d, 1.0); }
void FftCodeletCplxInv3ScaledF64_x87(const double* s, double* d, double f) { Interleaved<8, true, true>(s, d, f); }

void FftCodeletSplit0F64_x87(const double* sr, const double* si, double* dr, double* di) {
    Split<1, false, false>(sr, si, dr, di, 1.0);
}
void FftCodeletSplit0ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f) {
    Split<1, false, true>(sr, si, dr, di, f);
}
void FftCodeletSplit1F64_x87(const double* sr, const double* si, double* dr, double* di) {
    Split<2, false, false>(sr, si, dr, di, 1.0);
}
void FftCodeletSplit1ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f) {
    Split<2, false, true>(sr, si, dr, di, f);
}
void FftCodeletSplitFwd2F64_x87(const double* sr, const double* si, double* dr, double* di) {
    Split<4, false, false>(sr, si, dr, di, 1.0);
}
void FftCodeletSplitFwd2ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f) {
    Split<4, false, true>(sr, si, dr, di, f);
}
void FftCodeletSplitInv2F64_x87(const double* sr, const double* si, double* dr, double* di) {
    Split<4, true, false>(sr, si, dr, di, 1.0);
}
void FftCodeletSplitInv2ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f) {
    Split<4, true, true>(sr, si, dr, di, f);
}
void FftCodeletSplitFwd3F64_x87(const double* sr, const double* si, double* dr, double* di) {
    Split<8, false, false>(sr, si, dr, di, 1.0);
}
void FftCodeletSplitFwd3ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f) {
    Split<8, false, true>(sr, si, dr, di, f);
}
void FftCodeletSplitInv3F64_x87(const double* sr, const double* si, double* dr, double* di) {
    Split<8, true, false>(sr, si, dr, di, 1.0);
}
void FftCodeletSplitInv3ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f) {
    Split<8, true, true>(sr, si, dr, di, f);
}

const FftCodeletCplx FftRowCplxForwardF64_x87[4] = {
    FftCodeletCplx0F64_x87, FftCodeletCplx1F64_x87, FftCodeletCplxFwd2F64_x87, FftCodeletCplxFwd3F64_x87};
const FftCodeletCplxScaled FftRowCplxForwardScaledF64_x87[4] = {FftCodeletCplx0ScaledF64_x87,
    FftCodeletCplx1ScaledF64_x87, FftCodeletCplxFwd2ScaledF64_x87, FftCodeletCplxFwd3ScaledF64_x87};
const FftCodeletCplx FftRowCplxInverseF64_x87[4] = {
    FftCodeletCplx0F64_x87, FftCodeletCplx1F64_x87, FftCodeletCplxInv2F64_x87, FftCodeletCplxInv3F64_x87};
const FftCodeletCplxScaled FftRowCplxInverseScaledF64_x87[4] = {FftCodeletCplx0ScaledF64_x87,
    FftCodeletCplx1ScaledF64_x87, FftCodeletCplxInv2ScaledF64_x87, FftCodeletCplxInv3ScaledF64_x87};
const FftCodeletSplit FftRowSplitForwardF64_x87[4] = {
    FftCodeletSplit0F64_x87, FftCodeletSplit1F64_x87, FftCodeletSplitFwd2F64_x87, FftCodeletSplitFwd3F64_x87};
const FftCodeletSplitScaled FftRowSplitForwardScaledF64_x87[4] = {FftCodeletSplit0ScaledF64_x87,
    FftCodeletSplit1ScaledF64_x87, FftCodeletSplitFwd2ScaledF64_x87, FftCodeletSplitFwd3ScaledF64_x87};
const FftCodeletSplit FftRowSplitInverseF64_x87[4] = {
    FftCodeletSplit0F64_x87, FftCodeletSplit1F64_x87, FftCodeletSplitInv2F64_x87, FftCodeletSplitInv3F64_x87};
const FftCodeletSplitScaled FftRowSplitInverseScaledF64_x87[4] = {FftCodeletSplit0ScaledF64_x87,
    FftCodeletSplit1ScaledF64_x87, FftCodeletSplitInv2ScaledF64_x87, FftCodeletSplitInv3ScaledF64_x87};

}  // namespace Prim
