#pragma once
// Table set-up of a real-FFT record for its complex order m = order - 1.

#include <Primitives/Prim/Fft/FftSpec.h>

namespace Prim {

// sine: the sine table of order t, or null to build (and release) one of order m.
Status FftInitTablesF64_x87(FftSpecRealF64* spec, int m, const double* sine, int t);
Status FftInitTablesF64_sse2(FftSpecRealF64* spec, int m, const double* sine, int t);
Status FftInitTablesF32_x87(FftSpecRealF32* spec, int m, const float* sine, int t);
Status FftInitTablesF32_sse2(FftSpecRealF32* spec, int m, const float* sine, int t);

Status FftInitTablesLargeF64_x87(FftSpecRealF64* spec, int m, const double* sine, int t);
Status FftInitTablesLargeF64_sse2(FftSpecRealF64* spec, int m, const double* sine, int t);
Status FftInitTablesLargeF32_x87(FftSpecRealF32* spec, int m, const float* sine, int t);
Status FftInitTablesLargeF32_sse2(FftSpecRealF32* spec, int m, const float* sine, int t);

Status FftInitSplitLevelF64_x87(FftSpecRealF64* spec, int p, const double* sine, int t, int level);
Status FftInitSplitLevelF64_sse2(FftSpecRealF64* spec, int p, const double* sine, int t, int level);
Status FftInitSplitLevelF32_x87(FftSpecRealF32* spec, int p, const float* sine, int t, int level);
Status FftInitSplitLevelF32_sse2(FftSpecRealF32* spec, int p, const float* sine, int t, int level);

}  // namespace Prim
