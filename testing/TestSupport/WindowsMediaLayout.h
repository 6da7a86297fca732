// Where a Windows Media file keeps its packets, read from its bytes apart from the runtime's
// own reading, for tests that cut or damage such files at chosen places.
#pragma once

#include <cstddef>
#include <cstdint>

namespace TestSupport {

// The data object, as the header says: it follows the header object, holds its own size at
// 16 and its packet count at 40, and its packets, all of one size, from 50 on.
struct WindowsMediaData {
    std::size_t at = 0, end = 0, packets = 0, packetBytes = 0;
    std::size_t Packet(std::size_t index) const { return at + 50 + index * packetBytes; }
};

// `bytes`: any container of bytes with at(); throws std::out_of_range when they are too few.
template <typename Bytes>
WindowsMediaData WindowsMediaDataOf(const Bytes& bytes) {
    const auto le64 = [&](std::size_t offset) {
        std::uint64_t v = 0;
        for (std::size_t k = 8; k-- > 0;) v = v << 8 | static_cast<unsigned char>(bytes.at(offset + k));
        return std::size_t(v);
    };
    WindowsMediaData data;
    data.at = le64(16);
    data.end = data.at + le64(data.at + 16);
    data.packets = le64(data.at + 40);
    data.packetBytes = data.packets ? (data.end - data.at - 50) / data.packets : 0;
    return data;
}

}  // namespace TestSupport
