#pragma once
#include <Primitives/Prim/Operations.h>

#include <cstdint>

// Aligned allocation: every block is 32-byte aligned, its contents are not
// initialised, and it must be released with Prim::Free (and nothing else).
// A count below 1, or one whose byte count exceeds 2^31 - 1, gives null.

namespace Prim {

inline constexpr std::int64_t MaxAllocBytes = 0x7FFFFFFF;
inline constexpr std::uintptr_t AllocAlignment = 32;

// AllocU8, AllocF32, AllocF64 and Free are entry points; library code
// calls their single builds, AllocU8Direct ... FreeDirect, directly.

// The heap address kept in front of a block (for tests).
void* AllocRawAddress(const void* block);

// Tests only: while set, the hook is asked before every allocation and a true answer
// makes that allocation fail, so that every failure path can be reached.
using AllocFailHook = bool (*)();
void SetAllocFailHook(AllocFailHook hook);

}  // namespace Prim
