#include <Tonalith/App/ChannelBuffer.h>

#include <Platform/Kernel/MemoryInfo.h>

#include <cstdint>
#include <new>
#include <utility>

namespace UI {

ChannelBuffer::ChannelBuffer(ChannelBuffer&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_count(std::exchange(other.m_count, 0)) {}

ChannelBuffer& ChannelBuffer::operator=(ChannelBuffer&& other) noexcept {
    if (this != &other) {
        Platform::Kernel::UnmapPages(m_data, m_count * sizeof(float));
        m_data = std::exchange(other.m_data, nullptr);
        m_count = std::exchange(other.m_count, 0);
    }
    return *this;
}

// The allocator's realloc may copy a block (one from its heap, or any block under a
// sanitizer) and then holds the old and the new at once: the pages are the system's own, so
// that a growth costs no more than the load measured for it.
void ChannelBuffer::Resize(std::size_t count) {
    if (count == m_count) return;
    if (count == 0) {
        Platform::Kernel::UnmapPages(std::exchange(m_data, nullptr), m_count * sizeof(float));
        m_count = 0;
        return;
    }
    if (count > SIZE_MAX / sizeof(float)) throw std::bad_alloc();
    void* block = m_data ? Platform::Kernel::RemapPages(m_data, m_count * sizeof(float), count * sizeof(float))
                         : Platform::Kernel::MapZeroPages(count * sizeof(float));
    if (!block) throw std::bad_alloc();
    m_data = static_cast<float*>(block);
    m_count = count;
}

ChannelBuffer::~ChannelBuffer() { Platform::Kernel::UnmapPages(m_data, m_count * sizeof(float)); }

}  // namespace UI
