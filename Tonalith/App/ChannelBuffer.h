#pragma once

#include <cstddef>

namespace UI {

// The samples of one channel: floats that start out zero. A long buffer comes straight
// from the system, already zero, so that making room for an hour of audio costs no fill
// pass; its pages are only had when first written (see Platform::Kernel::PrepareForWriting).
class ChannelBuffer {
public:
    ChannelBuffer() = default;
    // std::bad_alloc when there is no room.
    explicit ChannelBuffer(std::size_t count);
    ChannelBuffer(ChannelBuffer&& other) noexcept;
    ChannelBuffer& operator=(ChannelBuffer&& other) noexcept;
    ChannelBuffer(const ChannelBuffer&) = delete;
    ChannelBuffer& operator=(const ChannelBuffer&) = delete;
    ~ChannelBuffer();

    // Keeps the first values and moves them when it must; values past the old size are
    // unset until written. std::bad_alloc when there is no room, the buffer then unchanged.
    void Resize(std::size_t count);

    float* data() const { return m_data; }
    std::size_t size() const { return m_count; }
    float& operator[](std::size_t i) const { return m_data[i]; }

private:
    float* m_data = nullptr;
    std::size_t m_count = 0;
};

}  // namespace UI
