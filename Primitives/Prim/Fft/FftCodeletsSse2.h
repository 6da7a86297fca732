#pragma once
// The SSE2 codelets on doubles: the same transforms of 1 to 8 points as the x87 ones
// (FftCodelets.h, FftComplexCodelets.h), computed in SSE2 registers, with rows of their own.

#include <Primitives/Prim/Fft/FftComplexCodelets.h>

namespace Prim {

void FftCodeletReal0F64_sse2(const double* src, double* dst);
void FftCodeletReal0ScaledF64_sse2(const double* src, double* dst, double f);
void FftCodeletReal1F64_sse2(const double* src, double* dst);
void FftCodeletReal1ScaledF64_sse2(const double* src, double* dst, double f);
void FftCodeletRealFwd2F64_sse2(const double* src, double* dst);
void FftCodeletRealFwd2ScaledF64_sse2(const double* src, double* dst, double f);
void FftCodeletRealFwd3F64_sse2(const double* src, double* dst);
void FftCodeletRealFwd3ScaledF64_sse2(const double* src, double* dst, double f);
void FftCodeletRealInv2F64_sse2(const double* src, double* dst);
void FftCodeletRealInv2ScaledF64_sse2(const double* src, double* dst, double f);
void FftCodeletRealInv3F64_sse2(const double* src, double* dst);
void FftCodeletRealInv3ScaledF64_sse2(const double* src, double* dst, double f);

extern const FftCodeletReal FftRowRealForwardF64_sse2[4];
extern const FftCodeletRealScaled FftRowRealForwardScaledF64_sse2[4];
extern const FftCodeletReal FftRowRealInverseF64_sse2[4];
extern const FftCodeletRealScaled FftRowRealInverseScaledF64_sse2[4];

extern const FftCodeletCplx FftRowCplxForwardF64_sse2[4];
extern const FftCodeletCplxScaled FftRowCplxForwardScaledF64_sse2[4];
extern const FftCodeletCplx FftRowCplxInverseF64_sse2[4];
extern const FftCodeletCplxScaled FftRowCplxInverseScaledF64_sse2[4];
extern const FftCodeletSplit FftRowSplitForwardF64_sse2[4];
extern const FftCodeletSplitScaled FftRowSplitForwardScaledF64_sse2[4];
extern const FftCodeletSplit FftRowSplitInverseF64_sse2[4];
extern const FftCodeletSplitScaled FftRowSplitInverseScaledF64_sse2[4];

}  // namespace Prim
