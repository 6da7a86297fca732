#pragma once
#include <cstdint>

// Sample format conversions; length first, the status dropped.

namespace Vec {

// x * 2^-scale: scale 15 maps 16-bit samples onto [-1, 1), scale 31 does so for 32-bit ones.
void ConvertS16ToF32(std::int32_t len, const std::int16_t* src, float* dst, std::int32_t scale);
void ConvertS16ToF64(std::int32_t len, const std::int16_t* src, double* dst, std::int32_t scale);
void ConvertS32ToF32(std::int32_t len, const std::int32_t* src, float* dst, std::int32_t scale);
void ConvertS32ToF64(std::int32_t len, const std::int32_t* src, double* dst, std::int32_t scale);

// x * 2^-scale saturated to 16 bits, rounded to nearest (ties to even) or toward zero.
void ConvertF32ToS16(std::int32_t len, const float* src, std::int16_t* dst, std::int32_t scale, bool round);

void ConvertF32ToF64(std::int32_t len, const float* src, double* dst);
// Values beyond the float range become the largest float of their sign.
void ConvertF64ToF32(std::int32_t len, const double* src, float* dst);

}  // namespace Vec
