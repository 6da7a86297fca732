#include <QvBase/Audio/Decode/ByteOrder.h>

#include <algorithm>
#include <cstring>

namespace Audio::Decode {

void ReverseBytes(void* data, size_t length) {
    auto* bytes = static_cast<uint8_t*>(data);
    std::reverse(bytes, bytes + length);
}

void SwapBytes16InPlace(void* data, size_t count) {
    auto* bytes = static_cast<uint8_t*>(data);
    for (size_t i = 0; i < count; ++i) {
        uint16_t v;
        std::memcpy(&v, bytes + 2 * i, 2);
        v = SwapBytes16(v);
        std::memcpy(bytes + 2 * i, &v, 2);
    }
}

void ReverseEachSample(void* data, size_t count, unsigned width) {
    if (width < 2) return;
    if (width == 2) {
        SwapBytes16InPlace(data, count);
        return;
    }
    auto* bytes = static_cast<uint8_t*>(data);
    for (size_t i = 0; i < count; ++i) ReverseBytes(bytes + i * width, width);
}

}  // namespace Audio::Decode
