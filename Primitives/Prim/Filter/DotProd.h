#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Dot products: *result = sum of src1[i] * src2[i]. Checks: a null pointer -8, then len below 1 -6.
// The x87 build keeps one wide running sum; the SSE2 build several partial sums in the element
// type, so the builds may differ in the last bits.
namespace Prim {

Status DotProdF32_x87(const float* src1, const float* src2, std::int32_t len, float* result);
Status DotProdF32_sse2(const float* src1, const float* src2, std::int32_t len, float* result);
Status DotProdF64_x87(const double* src1, const double* src2, std::int32_t len, double* result);
Status DotProdF64_sse2(const double* src1, const double* src2, std::int32_t len, double* result);

}  // namespace Prim
