#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Vector sum and dot product. Each build adds in its own fixed order, so the
// builds may differ in the last bits of a float total.
namespace Prim {

// hint: 1 selects the SSE2 build's fast single-precision path, anything else
// its accurate double-precision path; the x87 build ignores it.
using SumAccuracyHint = std::int32_t;

Status SumF32_x87(const float* src, std::int32_t len, float* sum, SumAccuracyHint hint);
Status SumF32_sse2(const float* src, std::int32_t len, float* sum, SumAccuracyHint hint);

// Entry point through the start-up binding.
Status SumF32(const float* src, std::int32_t len, float* sum, SumAccuracyHint hint);

// Sum of a[i] * b[i]. The callers have already checked the pointers and that
// len is at least 1.
void DotProdKernelF32_x87(const float* a, const float* b, std::int32_t len, float* result);
void DotProdKernelF32_sse2(const float* a, const float* b, std::int32_t len, float* result);
void DotProdKernelF64_x87(const double* a, const double* b, std::int32_t len, double* result);
void DotProdKernelF64_sse2(const double* a, const double* b, std::int32_t len, double* result);

}  // namespace Prim
