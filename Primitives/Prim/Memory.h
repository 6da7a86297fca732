#pragma once
#include <cstdint>

// Aligned allocation: every block is 32-byte aligned, its contents are not
// initialised, and it must be released with Prim::Free (and nothing else).
// A count below 1, or one whose byte count exceeds 2^31 - 1, gives null.

namespace Prim {

inline constexpr std::int64_t MaxAllocBytes = 0x7FFFFFFF;
inline constexpr std::uintptr_t AllocAlignment = 32;

// Entry points (pairs 192 to 195).
std::uint8_t* AllocU8(std::int32_t n);
float* AllocF32(std::int32_t n);
double* AllocF64(std::int32_t n);
void Free(void* p);

// The single build of each; library code calls these directly.
std::uint8_t* AllocU8Direct(std::int32_t n);
float* AllocF32Direct(std::int32_t n);
double* AllocF64Direct(std::int32_t n);
void FreeDirect(void* p);

// The heap address kept in front of a block (for tests).
void* AllocRawAddress(const void* block);

// Tests only: while set, the hook is asked before every allocation and a true answer
// makes that allocation fail, so that every failure path can be reached.
using AllocFailHook = bool (*)();
void SetAllocFailHook(AllocFailHook hook);

}  // namespace Prim
