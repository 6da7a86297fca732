#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

// The pixel memory of an image: 32-bit pixels shared between holders by a use count
// that starts at 1. The last holder frees the memory. The count is atomic, so holders
// on different threads may copy and release their handles.
class PixelBuffer {
public:
    PixelBuffer();
    // Takes over memory from Allocate (null allowed).
    explicit PixelBuffer(std::uint32_t* memory);
    PixelBuffer(const PixelBuffer& other);
    PixelBuffer& operator=(const PixelBuffer& other);
    ~PixelBuffer();

    std::uint32_t* Get() const { return m_pixels; }
    int UseCount() const { return m_count->load(std::memory_order_relaxed); }

    // Holds `memory` instead (unless it is the block already held), giving up the share
    // of the old block.
    void Reset(std::uint32_t* memory);

    // Memory for `count` pixels, contents not set; null when count is 0 or too large,
    // or when memory runs out.
    static std::uint32_t* Allocate(std::size_t count);
    static void Free(std::uint32_t* memory);

private:
    // True when this holder was the last one, in which case the memory is freed.
    bool Release();

    std::uint32_t* m_pixels;
    std::atomic<int>* m_count;
};
