#pragma once
#include <cstdint>

// Copy, move, fill and clear; length first. A length of 0 does nothing; any
// other bad argument is dropped silently by the operation beneath.

namespace Vec {

void CopyU8(std::int32_t len, const std::uint8_t* src, std::uint8_t* dst);
void CopyF32(std::int32_t len, const float* src, float* dst);
void CopyF64(std::int32_t len, const double* src, double* dst);

void MoveU8(std::int32_t len, const std::uint8_t* src, std::uint8_t* dst);
void MoveF32(std::int32_t len, const float* src, float* dst);
void MoveF64(std::int32_t len, const double* src, double* dst);

void SetU8(std::int32_t len, std::uint8_t* dst, std::uint8_t value);
void SetS32(std::int32_t len, std::int32_t* dst, std::int32_t value);
void SetF32(std::int32_t len, float* dst, float value);
void SetF64(std::int32_t len, double* dst, double value);

void ZeroU8(std::int32_t len, std::uint8_t* dst);
void ZeroF32(std::int32_t len, float* dst);
void ZeroF64(std::int32_t len, double* dst);

}  // namespace Vec
