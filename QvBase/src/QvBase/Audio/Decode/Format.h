#pragma once

#include <cstdint>

namespace Audio::Decode {

// What a decoder reports about its file: five 32-bit words, copied by value.
struct Format {
    uint32_t Channels = 2;
    uint32_t BytesPerSample = 2;
    uint32_t SampleRate = 44100;
    uint32_t FloatFlag = 0;  // a boolean in the low byte: 1 for IEEE 32-bit float samples
    uint32_t ChannelMask = 0;  // speaker mask of an extensible wave format, else 0

    bool IsFloat() const { return (FloatFlag & 0xFF) != 0; }

    static Format Zero() { return Format{0, 0, 0, 0, 0}; }

    friend bool operator==(const Format&, const Format&) = default;
};

}  // namespace Audio::Decode
