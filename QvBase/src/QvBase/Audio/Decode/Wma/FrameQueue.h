#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Audio::Decode::WMA {

// Frames handed out by the reader in buffers of any size, taken back in exact counts.
// The storage doubles as needed and never shrinks.
class FrameQueue {
public:
    FrameQueue(uint32_t channels, uint32_t bytesPerSample, uint32_t frames);

    void SetLayout(uint32_t channels, uint32_t bytesPerSample);
    uint32_t FrameSize() const { return m_channels * m_bytesPerSample; }
    uint32_t Queued() const { return FrameSize() ? (m_write - m_read) / FrameSize() : 0; }
    // Copies up to `frames` frames out; returns how many.
    uint32_t Take(uint8_t* out, uint32_t frames);
    // Appends `frames` whole frames; throws std::bad_alloc when the storage cannot grow.
    void Append(const uint8_t* data, uint32_t frames);
    void Clear() { m_read = m_write = 0; }
    size_t Capacity() const { return m_storage.size(); }

private:
    uint32_t m_channels;
    uint32_t m_bytesPerSample;
    uint32_t m_read = 0;
    uint32_t m_write = 0;
    std::vector<uint8_t> m_storage;
};

}  // namespace Audio::Decode::WMA
