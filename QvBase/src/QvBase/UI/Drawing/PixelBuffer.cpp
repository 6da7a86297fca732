#include <QvBase/UI/Drawing/PixelBuffer.h>

#include <cstdlib>
#include <limits>
#include <utility>

PixelBuffer::PixelBuffer() : PixelBuffer(nullptr) {}

PixelBuffer::PixelBuffer(std::uint32_t* memory) : m_pixels(memory), m_count(new std::atomic<int>(1)) {}

PixelBuffer::PixelBuffer(const PixelBuffer& other) : m_pixels(other.m_pixels), m_count(other.m_count) {
    m_count->fetch_add(1, std::memory_order_relaxed);
}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
    PixelBuffer copy(other);
    std::swap(m_pixels, copy.m_pixels);
    std::swap(m_count, copy.m_count);
    return *this;
}

PixelBuffer::~PixelBuffer() {
    if (Release()) delete m_count;
}

bool PixelBuffer::Release() {
    if (m_count->fetch_sub(1, std::memory_order_acq_rel) != 1) return false;
    Free(m_pixels);
    return true;
}

void PixelBuffer::Reset(std::uint32_t* memory) {
    if (memory == m_pixels) return;
    // Made before the old share is given up, so that a failure leaves this holder intact.
    auto* fresh = new std::atomic<int>(1);
    if (Release()) {
        delete fresh;
        m_count->store(1, std::memory_order_relaxed);
    } else {
        m_count = fresh;
    }
    m_pixels = memory;
}

std::uint32_t* PixelBuffer::Allocate(std::size_t count) {
    if (count == 0 || count > std::numeric_limits<std::size_t>::max() / sizeof(std::uint32_t)) return nullptr;
    return static_cast<std::uint32_t*>(std::malloc(count * sizeof(std::uint32_t)));
}

void PixelBuffer::Free(std::uint32_t* memory) { std::free(memory); }
