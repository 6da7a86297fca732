#pragma once
#include <Tonalith/Analysis/DSP/AudioProcessor.h>

#include <cstdint>
#include <vector>

namespace DSP {

// A multi-channel float store of (length + tail) floats per channel, with a fill
// position at which appended samples go. Sizes that do not fit the 32-bit fields throw
// std::length_error, and a lack of memory std::bad_alloc, leaving the store empty.
class DataTail : public AudioProcessor {
public:
    DataTail() = default;
    DataTail(std::int32_t channels, std::int32_t length);
    DataTail(const DataTail&) = default;
    DataTail& operator=(const DataTail&) = default;
    ~DataTail() override;

    void Resize(std::int32_t channels, std::uint32_t sampleRate, std::int32_t length, std::int32_t tail, bool bReset);

    void Configure(std::int32_t channels, std::uint32_t sampleRate, std::int32_t maxBlockLength) override;
    void Reset() override;
    // Keeps the last tail-length samples of every channel at the front of the new store.
    void SetMaxBlockLength(std::int32_t n) override;

    // Fill position = tail length; every buffer set to value.
    void Fill(float value);
    // Copies n floats of every channel from channels[c] + sourceOffset to the fill position
    // and advances it. What would pass the end of the store is dropped.
    void Append(const float* const* channels, std::int32_t n, std::int32_t sourceOffset);

    float* Channel(std::int32_t c) { return m_buffers[static_cast<std::size_t>(c)].data(); }
    const float* Channel(std::int32_t c) const { return m_buffers[static_cast<std::size_t>(c)].data(); }
    std::int32_t BufferCount() const { return static_cast<std::int32_t>(m_buffers.size()); }
    // Floats per channel: length + tail.
    std::int32_t Capacity() const { return m_maxBlockLength + m_tail; }
    std::int32_t TailLength() const { return m_tail; }
    std::int32_t FillPosition() const { return m_fill; }

private:
    std::vector<std::vector<float>> m_buffers;
    std::int32_t m_tail = 0;
    std::int32_t m_fill = 0;
};

}  // namespace DSP
