#include <Tonalith/App/ChannelBuffer.h>

#include <Platform/Kernel/MemoryInfo.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include <cstdint>
#include <new>
#include <utility>

namespace UI {

namespace {

// Pages from the system lie side by side, and AddressSanitizer sees none of them: a write
// past one buffer would land unseen in the next. Under it each block has a page more after
// its values, marked unaddressable as the zones after the sanitizer's own blocks are, so that
// the first float past the end is reported.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kGuardBytes = 4096;
void Guard(float* values, std::size_t count) { ASAN_POISON_MEMORY_REGION(values + count, kGuardBytes); }
void Unguard(float* values, std::size_t count) {
    if (values) ASAN_UNPOISON_MEMORY_REGION(values + count, kGuardBytes);
}
#else
constexpr std::size_t kGuardBytes = 0;
void Guard(float*, std::size_t) {}
void Unguard(float*, std::size_t) {}
#endif

std::size_t BlockBytes(std::size_t count) { return count * sizeof(float) + kGuardBytes; }

// The guard is lifted before the pages go: the addresses may be mapped again by anyone.
void Release(float* values, std::size_t count) {
    Unguard(values, count);
    Platform::Kernel::UnmapPages(values, BlockBytes(count));
}

}  // namespace

ChannelBuffer::ChannelBuffer(ChannelBuffer&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_count(std::exchange(other.m_count, 0)) {}

ChannelBuffer& ChannelBuffer::operator=(ChannelBuffer&& other) noexcept {
    if (this != &other) {
        Release(m_data, m_count);
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
        Release(std::exchange(m_data, nullptr), std::exchange(m_count, 0));
        return;
    }
    if (count > (SIZE_MAX - kGuardBytes) / sizeof(float)) throw std::bad_alloc();
    Unguard(m_data, m_count);
    void* block = m_data ? Platform::Kernel::RemapPages(m_data, BlockBytes(m_count), BlockBytes(count))
                         : Platform::Kernel::MapZeroPages(BlockBytes(count));
    if (!block) {
        if (m_data) Guard(m_data, m_count);
        throw std::bad_alloc();
    }
    m_data = static_cast<float*>(block);
    m_count = count;
    Guard(m_data, m_count);
}

ChannelBuffer::~ChannelBuffer() { Release(m_data, m_count); }

}  // namespace UI
