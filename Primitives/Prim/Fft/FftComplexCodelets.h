#pragma once
// Straight-line complex transforms of 1 to 8 points on doubles: interleaved (re, im)
// pairs in one array, or split real and imaginary arrays. Forward uses e^(-2 pi i jk/n),
// inverse e^(+2 pi i jk/n); the scaled forms multiply every output by the factor.
// Every codelet reads all its input first, so the output may overwrite it.

#include <Primitives/Prim/Fft/FftCodelets.h>

namespace Prim {

using FftCodeletCplx = FftCodeletReal;
using FftCodeletCplxScaled = FftCodeletRealScaled;
using FftCodeletSplit = void (*)(const double* srcRe, const double* srcIm, double* dstRe, double* dstIm);
using FftCodeletSplitScaled = void (*)(
    const double* srcRe, const double* srcIm, double* dstRe, double* dstIm, double factor);

void FftCodeletCplx0F64_x87(const double* src, double* dst);
void FftCodeletCplx0ScaledF64_x87(const double* src, double* dst, double f);
void FftCodeletCplx1F64_x87(const double* src, double* dst);
void FftCodeletCplx1ScaledF64_x87(const double* src, double* dst, double f);
void FftCodeletCplxFwd2F64_x87(const double* src, double* dst);
void FftCodeletCplxFwd2ScaledF64_x87(const double* src, double* dst, double f);
void FftCodeletCplxInv2F64_x87(const double* src, double* dst);
void FftCodeletCplxInv2ScaledF64_x87(const double* src, double* dst, double f);
void FftCodeletCplxFwd3F64_x87(const double* src, double* dst);
void FftCodeletCplxFwd3ScaledF64_x87(const double* src, double* dst, double f);
void FftCodeletCplxInv3F64_x87(const double* src, double* dst);
void FftCodeletCplxInv3ScaledF64_x87(const double* src, double* dst, double f);

void FftCodeletSplit0F64_x87(const double* sr, const double* si, double* dr, double* di);
void FftCodeletSplit0ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f);
void FftCodeletSplit1F64_x87(const double* sr, const double* si, double* dr, double* di);
void FftCodeletSplit1ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f);
void FftCodeletSplitFwd2F64_x87(const double* sr, const double* si, double* dr, double* di);
void FftCodeletSplitFwd2ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f);
void FftCodeletSplitInv2F64_x87(const double* sr, const double* si, double* dr, double* di);
void FftCodeletSplitInv2ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f);
void FftCodeletSplitFwd3F64_x87(const double* sr, const double* si, double* dr, double* di);
void FftCodeletSplitFwd3ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f);
void FftCodeletSplitInv3F64_x87(const double* sr, const double* si, double* dr, double* di);
void FftCodeletSplitInv3ScaledF64_x87(const double* sr, const double* si, double* dr, double* di, double f);

// Rows indexed by order 0..3.
extern const FftCodeletCplx FftRowCplxForwardF64_x87[4];
extern const FftCodeletCplxScaled FftRowCplxForwardScaledF64_x87[4];
extern const FftCodeletCplx FftRowCplxInverseF64_x87[4];
extern const FftCodeletCplxScaled FftRowCplxInverseScaledF64_x87[4];
extern const FftCodeletSplit FftRowSplitForwardF64_x87[4];
extern const FftCodeletSplitScaled FftRowSplitForwardScaledF64_x87[4];
extern const FftCodeletSplit FftRowSplitInverseF64_x87[4];
extern const FftCodeletSplitScaled FftRowSplitInverseScaledF64_x87[4];

}  // namespace Prim
