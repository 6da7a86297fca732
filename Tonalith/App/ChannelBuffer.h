#pragma once

#include <cstddef>

namespace UI {

// The samples of one channel, in pages straight from the system: already zero, so that
// making room for an hour of audio costs no fill pass, and only had when first written (see
// Platform::Kernel::PrepareForWriting). Under AddressSanitizer an unaddressable page follows
// each, so that a write past the end is reported.
class ChannelBuffer {
public:
    ChannelBuffer() = default;
    ChannelBuffer(ChannelBuffer&& other) noexcept;
    ChannelBuffer& operator=(ChannelBuffer&& other) noexcept;
    ChannelBuffer(const ChannelBuffer&) = delete;
    ChannelBuffer& operator=(const ChannelBuffer&) = delete;
    ~ChannelBuffer();

    // Keeps the first values, moving their pages when it must but never copying them, so
    // that growing takes only the memory added; values past the old size are zero in a new
    // buffer and otherwise unset until written. std::bad_alloc when there is no room, the
    // buffer then unchanged.
    void Resize(std::size_t count);

    float* data() const { return m_data; }
    std::size_t size() const { return m_count; }
    float& operator[](std::size_t i) const { return m_data[i]; }

private:
    float* m_data = nullptr;
    std::size_t m_count = 0;
};

}  // namespace UI
