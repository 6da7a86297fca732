#pragma once
#include <cstdint>

// Rectangles of 4-byte pixels (bytes 0-2 colour, byte 3 alpha), rows
// rowLength pixels apart. Bad arguments are dropped silently.
namespace Vec {

// Adds the colour's three low bytes (bits 0-7 to byte 0, 8-15 to byte 1,
// 16-23 to byte 2) with saturation; alpha is kept.
void ImageAddConstU8C4(
    std::uint32_t colour, std::uint8_t* dst, std::int32_t rowLength, std::int32_t width, std::int32_t height);

// Colour bytes become floor(c * alpha / 255), byte 3 becomes alpha.
void ImagePremulAlphaU8C4(
    std::uint8_t alpha, std::uint8_t* dst, std::int32_t rowLength, std::int32_t width, std::int32_t height);

}  // namespace Vec
