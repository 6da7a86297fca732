#pragma once
#include <cstddef>
#include <cstdint>

// Byte-level kernels behind copy, move, fill and zero; no checks, counts in bytes
// (fills: in elements). Overlapping copies are undefined; moves are overlap-safe.

namespace Prim {

void CopyBytes_x87(const void* src, void* dst, std::size_t bytes);
void MoveBytes_x87(const void* src, void* dst, std::size_t bytes);
void ZeroBytes_x87(void* dst, std::size_t bytes);
// Writes `count` copies of the `size`-byte pattern at `value` (size 1, 2, 4 or 8).
void FillKernel_x87(const void* value, std::size_t size, void* dst, std::size_t count);

void CopyBytes_sse2(const void* src, void* dst, std::size_t bytes);
void MoveBytes_sse2(const void* src, void* dst, std::size_t bytes);
void ZeroBytes_sse2(void* dst, std::size_t bytes);
void FillKernel_sse2(const void* value, std::size_t size, void* dst, std::size_t count);

}  // namespace Prim
