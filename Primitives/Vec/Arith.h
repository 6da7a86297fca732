#pragma once
#include <cstdint>

// Element-wise arithmetic, length first. Bad arguments are dropped silently
// by the operation beneath.
namespace Vec {

// srcDst[i] = src[i] + srcDst[i]
void AddF32(std::int32_t len, const float* src, float* srcDst);
void AddF64(std::int32_t len, const double* src, double* srcDst);

// srcDst[i] *= value
void MulConstF32(std::int32_t len, float* srcDst, float value);
void MulConstF64(std::int32_t len, double* srcDst, double value);

// srcDst[i] = src[i] * srcDst[i]
void MulF64(std::int32_t len, const double* src, double* srcDst);

}  // namespace Vec
