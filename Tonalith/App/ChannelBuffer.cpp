#include <Tonalith/App/ChannelBuffer.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

namespace UI {

namespace {

std::size_t PageSize() {
    static const std::size_t size = [] {
        const long page = sysconf(_SC_PAGESIZE);
        return page > 0 ? std::size_t(page) : std::size_t(4096);
    }();
    return size;
}

}  // namespace

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

ChannelBuffer::~ChannelBuffer() { std::free(m_data); }

void PrepareForWriting(float* first, std::size_t count) {
#ifdef MADV_POPULATE_WRITE
    if (!first || count == 0) return;
    const std::size_t page = PageSize();
    const auto begin = reinterpret_cast<std::uintptr_t>(first) / page * page;
    const auto end = reinterpret_cast<std::uintptr_t>(first + count);
    // Pages outside any mapping, or a system without the request, leave the writes to fault.
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)first;
    (void)count;
#endif
}

}  // namespace UI
