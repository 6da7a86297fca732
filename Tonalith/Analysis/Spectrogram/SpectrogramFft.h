#pragma once
#include <Primitives/Vec/Fft.h>

#include <cstdint>

namespace UI {

// The spectrogram's forward real FFT on doubles: its order, record and work buffer.
class SpectrogramFft {
public:
    // Creates the record and buffer of an order; IsValid() is false when either fails.
    explicit SpectrogramFft(std::uint32_t order);
    SpectrogramFft(const SpectrogramFft&) = delete;
    SpectrogramFft& operator=(const SpectrogramFft&) = delete;
    ~SpectrogramFft();

    bool IsValid() const { return m_spec != nullptr && (m_bufferSize == 0 || m_buffer != nullptr); }
    std::uint32_t Order() const { return m_order; }
    // 2^order doubles in, (2^order / 2 + 1) complex bins out as (re, im) pairs.
    void Forward(const double* src, double* dst) const;
    // The same with a caller's work buffer of BufferSize() bytes, so that threads can share
    // the record.
    void Forward(const double* src, double* dst, std::uint8_t* buffer) const;
    std::int32_t BufferSize() const { return m_bufferSize; }

private:
    std::uint32_t m_order;
    Prim::FftSpecRealF64* m_spec = nullptr;
    std::uint8_t* m_buffer = nullptr;
    std::int32_t m_bufferSize = 0;
};

}  // namespace UI
