#pragma once
// Table and buffer allocation for the FFT engine: sizes are counted in 64 bits and
// anything beyond the allocator's 32-bit signed byte count is refused, never truncated.

#include <Primitives/Prim/Memory.h>

#include <cstdint>
#include <limits>

namespace Prim {

inline constexpr uint64_t FftMaxBlockBytes = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());

inline void* FftAllocBytes(uint64_t bytes) {
    if (bytes == 0 || bytes > FftMaxBlockBytes) return nullptr;
    return AllocU8Direct(static_cast<int32_t>(bytes));
}

template <typename T>
T* FftAllocArray(uint64_t count) {
    if (count > FftMaxBlockBytes / sizeof(T)) return nullptr;
    return static_cast<T*>(FftAllocBytes(count * sizeof(T)));
}

}  // namespace Prim
