#pragma once

#include <QvBase/Util/String.h>

#include <array>
#include <cstdint>

namespace Audio::Decode::WAV {

// The sub-format GUID of an extensible wave format, field by field.
struct WaveFormatGuid {
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    std::array<uint8_t, 8> Data4{};

    friend bool operator==(const WaveFormatGuid&, const WaveFormatGuid&) = default;
};

inline constexpr WaveFormatGuid kPcmSubFormat{
    0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
inline constexpr WaveFormatGuid kFloatSubFormat{
    0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// "%1/%2/%3/" then the eight bytes, each number in unpadded hexadecimal.
String GuidText(const WaveFormatGuid& guid);

}  // namespace Audio::Decode::WAV
