#include <QvBase/Audio/Decode/Wma/FrameQueue.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace Audio::Decode::WMA {

FrameQueue::FrameQueue(uint32_t channels, uint32_t bytesPerSample, uint32_t frames)
    : m_channels(channels), m_bytesPerSample(bytesPerSample), m_storage(size_t(frames) * channels * bytesPerSample) {}

void FrameQueue::SetLayout(uint32_t channels, uint32_t bytesPerSample) {
    m_channels = channels;
    m_bytesPerSample = bytesPerSample;
    Clear();
}

uint32_t FrameQueue::Take(uint8_t* out, uint32_t frames) {
    const uint32_t m = std::min(frames, Queued());
    const uint32_t bytes = m * FrameSize();
    if (bytes) std::memcpy(out, m_storage.data() + m_read, bytes);
    m_read += bytes;
    return m;
}

void FrameQueue::Append(const uint8_t* data, uint32_t frames) {
    const uint64_t bytes = uint64_t(frames) * FrameSize();
    if (bytes == 0) return;
    if (m_write + bytes >= m_storage.size()) {
        const uint32_t queued = m_write - m_read;
        if (queued) std::memmove(m_storage.data(), m_storage.data() + m_read, queued);
        m_read = 0;
        m_write = queued;
        const uint64_t need = queued + bytes;
        if (need >= m_storage.size()) {
            // The offsets are 32-bit: a queue that would pass them is refused like memory
            // that cannot be had.
            uint64_t size = std::max<uint64_t>(m_storage.size(), 1) * 2;
            while (size <= need) size *= 2;
            if (size > std::numeric_limits<uint32_t>::max()) throw std::bad_alloc();
            m_storage.resize(size);
        }
    }
    std::memcpy(m_storage.data() + m_write, data, bytes);
    m_write += uint32_t(bytes);
}

}  // namespace Audio::Decode::WMA
