#pragma once
#include <Primitives/Vec/Fft.h>

#include <cstdint>

namespace DSP {

// Owns a real-FFT record on 32-bit floats and its work buffer. Only the record's life
// cycle is needed here: nothing transforms through it.
class FftHolderF32 {
public:
    FftHolderF32() = default;
    FftHolderF32(const FftHolderF32&) = delete;
    FftHolderF32& operator=(const FftHolderF32&) = delete;
    ~FftHolderF32();

    // Frees what it held and creates the record for the smallest power of two >= size
    // (order 1 for sizes up to 2). False when the record or its buffer cannot be made.
    bool Init(std::int32_t size);
    void Free();

    // Order chosen for a size: 1 up to 2, else the smallest k >= 2 with 2^k >= size.
    static std::int32_t OrderFor(std::int32_t size);

    std::int32_t Size() const { return m_size; }
    const Prim::FftSpecRealF32* Spec() const { return m_spec; }
    const std::uint8_t* Buffer() const { return m_buffer; }
    std::int32_t BufferSize() const { return m_bufferSize; }

private:
    std::int32_t m_size = 0;
    Prim::FftSpecRealF32* m_spec = nullptr;
    std::uint8_t* m_buffer = nullptr;
    std::int32_t m_bufferSize = 0;
};

}  // namespace DSP
