#pragma once
// The work buffer of one transform call: the caller's block from its next 16-byte
// boundary, or a block of the record's size allocated for the call.

#include <Primitives/Prim/Fft/FftMemory.h>

#include <cstdint>

namespace Prim {

class FftWorkBuffer {
public:
    FftWorkBuffer(uint8_t* callerBlock, uint32_t size) {
        if (size == 0) return;
        if (callerBlock) {
            const auto address = reinterpret_cast<uintptr_t>(callerBlock);
            data_ = reinterpret_cast<double*>((address + 15) & ~uintptr_t{15});
        } else {
            owned_ = FftAllocBytes(size);
            data_ = static_cast<double*>(owned_);
            failed_ = owned_ == nullptr;
        }
    }
    ~FftWorkBuffer() { FreeDirect(owned_); }
    FftWorkBuffer(const FftWorkBuffer&) = delete;
    FftWorkBuffer& operator=(const FftWorkBuffer&) = delete;

    bool Failed() const { return failed_; }
    double* Data() const { return data_; }

private:
    void* owned_ = nullptr;
    double* data_ = nullptr;
    bool failed_ = false;
};

}  // namespace Prim
