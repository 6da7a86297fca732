#pragma once
// Vector sum and dot product. Each build adds in its own fixed order, so the
// builds may differ in the last bits of a float total.
// SumF32 (listed in Operations.inc): its SumAccuracyHint 1 selects the SSE2
// build's fast single-precision path, anything else its accurate
// double-precision path; the x87 build ignores it.
#include <Primitives/Prim/Operations.h>

#include <cstdint>

namespace Prim {

// Sum of a[i] * b[i]. The callers have already checked the pointers and that
// len is at least 1.
void DotProdKernelF32_x87(const float* a, const float* b, std::int32_t len, float* result);
void DotProdKernelF32_sse2(const float* a, const float* b, std::int32_t len, float* result);
void DotProdKernelF64_x87(const double* a, const double* b, std::int32_t len, double* result);
void DotProdKernelF64_sse2(const double* a, const double* b, std::int32_t len, double* result);

}  // namespace Prim
