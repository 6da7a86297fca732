#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace Audio::Decode {

static_assert(std::endian::native == std::endian::little, "the decoders assume a little-endian host");

// The byte-order setting a decoder gives its file: 0 (unset) and 1 take header numbers
// as stored, any other value swaps them.
enum class ByteOrder : uint32_t { Unset = 0, LittleEndian = 1, BigEndian = 2 };

inline uint16_t SwapBytes16(uint16_t v) { return static_cast<uint16_t>((v >> 8) | (v << 8)); }
inline uint32_t SwapBytes32(uint32_t v) { return __builtin_bswap32(v); }

inline bool TakesAsStored(ByteOrder order) { return order == ByteOrder::Unset || order == ByteOrder::LittleEndian; }

inline uint16_t FromFileOrder16(uint16_t stored, ByteOrder order) {
    return TakesAsStored(order) ? stored : SwapBytes16(stored);
}

inline uint32_t FromFileOrder32(uint32_t stored, ByteOrder order) {
    return TakesAsStored(order) ? stored : SwapBytes32(stored);
}

// Four bytes in file order as a number with the first byte most significant: the form in
// which chunk identifiers and format tags are compared.
inline uint32_t FourCC(const uint8_t* bytes) {
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | bytes[3];
}

constexpr uint32_t FourCC(const char (&text)[5]) {
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) | (uint32_t(uint8_t(text[2])) << 8) |
        uint8_t(text[3]);
}

// Reverses the bytes of one range in place.
void ReverseBytes(void* data, size_t length);

// Exchanges the two bytes of each of `count` 16-bit values in place.
void SwapBytes16InPlace(void* data, size_t count);

// Reverses the bytes of each of `count` samples of `width` bytes in place.
void ReverseEachSample(void* data, size_t count, unsigned width);

}  // namespace Audio::Decode
