#pragma once
#include <cstdint>

namespace Vec {

// 32-byte-aligned blocks; null when n < 1, too large, or out of memory.
std::uint8_t* AllocU8(std::int32_t n);
float* AllocF32(std::int32_t n);
double* AllocF64(std::int32_t n);
// Releases a block from the allocators above; null is ignored.
void Free(void* p);

}  // namespace Vec
