#pragma once
// The areas of one FIR state block: each area starts on a 16-byte boundary, and every size
// is counted in 64 bits so that a state too large for the allocator is refused, not wrapped.

#include <Primitives/Prim/Memory.h>

#include <cstdint>

namespace Prim {

class FirBlockPlan {
public:
    // Reserves `bytes` and returns the area's offset from the block start.
    int64_t Add(int64_t bytes) {
        const int64_t offset = total_;
        total_ += (bytes + 15) & ~int64_t{15};
        return offset;
    }
    bool Fits() const { return total_ <= MaxAllocBytes; }
    int32_t Bytes() const { return static_cast<int32_t>(total_); }

private:
    int64_t total_ = 0;
};

template <class T>
T* FirArea(uint8_t* block, int64_t offset) {
    return reinterpret_cast<T*>(block + offset);
}

}  // namespace Prim
