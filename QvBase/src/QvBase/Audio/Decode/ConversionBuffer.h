#pragma once

#include <cstddef>
#include <cstdint>

namespace Audio::Decode {

// A 32-byte-aligned byte buffer that grows to the exact size asked, keeps its contents when
// it grows, and never shrinks.
class ConversionBuffer {
public:
    ConversionBuffer() = default;
    ConversionBuffer(const ConversionBuffer&) = delete;
    ConversionBuffer& operator=(const ConversionBuffer&) = delete;
    ~ConversionBuffer();

    // Makes room for `bytes` bytes and returns the block; throws std::bad_alloc when the
    // aligned allocator cannot give it.
    uint8_t* Reserve(size_t bytes);

    template <class T>
    T* ReserveAs(size_t count) {
        return reinterpret_cast<T*>(Reserve(count * sizeof(T)));
    }

    size_t Capacity() const { return m_capacity; }

private:
    uint8_t* m_data = nullptr;
    size_t m_capacity = 0;
    size_t m_length = 0;
};

}  // namespace Audio::Decode
