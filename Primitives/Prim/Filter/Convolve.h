#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Full linear convolution: dst[n] = sum over j of src1[n - j] * src2[j], len1 + len2 - 1 values.
// Short outputs or short operands are summed directly; comparable lengths go through one real
// FFT of the next power of two; an operand at least three times the other through overlap-save
// blocks. Checks: a null pointer -8, a length below 1 -6, an output longer than 2^31 - 1 -6,
// transform blocks past 2^31 - 1 bytes -9. dst must not overlap the operands.
namespace Prim {

Status ConvolveF32_x87(const float* src1, std::int32_t len1, const float* src2, std::int32_t len2, float* dst);
Status ConvolveF32_sse2(const float* src1, std::int32_t len1, const float* src2, std::int32_t len2, float* dst);
Status ConvolveF64_x87(const double* src1, std::int32_t len1, const double* src2, std::int32_t len2, double* dst);
Status ConvolveF64_sse2(const double* src1, std::int32_t len1, const double* src2, std::int32_t len2, double* dst);

}  // namespace Prim
