#include <QvBase/Audio/Decode/ConversionBuffer.h>

#include <Primitives/Vec/Memory.h>

#include <cstring>
#include <limits>
#include <new>

namespace Audio::Decode {

ConversionBuffer::~ConversionBuffer() { Vec::Free(m_data); }

uint8_t* ConversionBuffer::Reserve(size_t bytes) {
    if (bytes > m_capacity) {
        if (bytes > size_t(std::numeric_limits<int32_t>::max())) throw std::bad_alloc();
        uint8_t* grown = Vec::AllocU8(int32_t(bytes));
        if (!grown) throw std::bad_alloc();
        if (m_length) std::memcpy(grown, m_data, m_length);
        Vec::Free(m_data);
        m_data = grown;
        m_capacity = bytes;
    }
    m_length = bytes;
    return m_data;
}

}  // namespace Audio::Decode
