#pragma once
// Straight-line transforms of 1 to 8 real points, reached through rows indexed by order.
// Forward codelets write the packed layout (X_0, X_N/2, then re/im of X_1..X_N/2-1);
// inverse codelets read it. Every codelet reads all its input first, so src may be dst.

namespace Prim {

using FftCodeletReal = void (*)(const double* src, double* dst);
using FftCodeletRealScaled = void (*)(const double* src, double* dst, double factor);

void FftCodeletReal0F64_x87(const double* src, double* dst);
void FftCodeletReal0ScaledF64_x87(const double* src, double* dst, double f);
void FftCodeletReal1F64_x87(const double* src, double* dst);
void FftCodeletReal1ScaledF64_x87(const double* src, double* dst, double f);
void FftCodeletRealFwd2F64_x87(const double* src, double* dst);
void FftCodeletRealFwd2ScaledF64_x87(const double* src, double* dst, double f);
void FftCodeletRealFwd3F64_x87(const double* src, double* dst);
void FftCodeletRealFwd3ScaledF64_x87(const double* src, double* dst, double f);
void FftCodeletRealInv2F64_x87(const double* src, double* dst);
void FftCodeletRealInv2ScaledF64_x87(const double* src, double* dst, double f);
void FftCodeletRealInv3F64_x87(const double* src, double* dst);
void FftCodeletRealInv3ScaledF64_x87(const double* src, double* dst, double f);

// Rows of the real transforms, indexed by order 0..3.
extern const FftCodeletReal FftRowRealForwardF64_x87[4];
extern const FftCodeletRealScaled FftRowRealForwardScaledF64_x87[4];
extern const FftCodeletReal FftRowRealInverseF64_x87[4];
extern const FftCodeletRealScaled FftRowRealInverseScaledF64_x87[4];

// The rows of the 32-bit family, one set per build: the x87 members carry their sums
// wider than a float, the SSE2 members compute in floats throughout.
using FftCodeletRealF32 = void (*)(const float* src, float* dst);
using FftCodeletRealScaledF32 = void (*)(const float* src, float* dst, float factor);

extern const FftCodeletRealF32 FftRowRealForwardF32_x87[4];
extern const FftCodeletRealScaledF32 FftRowRealForwardScaledF32_x87[4];
extern const FftCodeletRealF32 FftRowRealInverseF32_x87[4];
extern const FftCodeletRealScaledF32 FftRowRealInverseScaledF32_x87[4];
extern const FftCodeletRealF32 FftRowRealForwardF32_sse2[4];
extern const FftCodeletRealScaledF32 FftRowRealForwardScaledF32_sse2[4];
extern const FftCodeletRealF32 FftRowRealInverseF32_sse2[4];
extern const FftCodeletRealScaledF32 FftRowRealInverseScaledF32_sse2[4];

}  // namespace Prim
