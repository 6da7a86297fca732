#include <Tonalith/App/ChannelBuffer.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

namespace UI {

// A long block comes straight from the system, already zero: the allocator fills only
// memory it had before.
ChannelBuffer::ChannelBuffer(std::size_t count)
    : m_data(count ? static_cast<float*>(std::calloc(count, sizeof(float))) : nullptr), m_count(count) {
    if (count && !m_data) throw std::bad_alloc();
}

ChannelBuffer::ChannelBuffer(ChannelBuffer&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_count(std::exchange(other.m_count, 0)) {}

ChannelBuffer& ChannelBuffer::operator=(ChannelBuffer&& other) noexcept {
    if (this != &other) {
        std::free(m_data);
        m_data = std::exchange(other.m_data, nullptr);
        m_count = std::exchange(other.m_count, 0);
    }
    return *this;
}

// A long block grows and shrinks by remapping its pages, never by copying them.
void ChannelBuffer::Resize(std::size_t count) {
    if (count == m_count) return;
    if (count == 0) {
        std::free(std::exchange(m_data, nullptr));
        m_count = 0;
        return;
    }
    if (count > SIZE_MAX / sizeof(float)) throw std::bad_alloc();
    void* moved = std::realloc(m_data, count * sizeof(float));
    if (!moved) throw std::bad_alloc();
    m_data = static_cast<float*>(moved);
    m_count = count;
}

ChannelBuffer::~ChannelBuffer() { std::free(m_data); }

}  // namespace UI
