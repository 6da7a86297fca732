#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// In-place operations on a rectangle of 4-byte pixels (bytes 0-2 colour,
// byte 3 alpha). step is the byte distance between row starts.
namespace Prim {

Status ImageSetU8C4_x87(
    const std::uint8_t* value, std::uint8_t* dst, std::int32_t step, std::int32_t width, std::int32_t height);
Status ImageSetU8C4_sse2(
    const std::uint8_t* value, std::uint8_t* dst, std::int32_t step, std::int32_t width, std::int32_t height);

// Colour bytes become the saturated sum scaled by 2^-scale; alpha is kept.
Status ImageAddConstU8C4_x87(const std::uint8_t* value, std::uint8_t* srcDst, std::int32_t step, std::int32_t width,
    std::int32_t height, std::int32_t scale);
Status ImageAddConstU8C4_sse2(const std::uint8_t* value, std::uint8_t* srcDst, std::int32_t step, std::int32_t width,
    std::int32_t height, std::int32_t scale);

// Colour bytes become floor(c * alpha / 255); byte 3 becomes alpha.
Status ImagePremulAlphaU8C4_x87(
    std::uint8_t alpha, std::uint8_t* srcDst, std::int32_t step, std::int32_t width, std::int32_t height);
Status ImagePremulAlphaU8C4_sse2(
    std::uint8_t alpha, std::uint8_t* srcDst, std::int32_t step, std::int32_t width, std::int32_t height);

// Entry points through the start-up binding.
Status ImageAddConstU8C4(const std::uint8_t* value, std::uint8_t* srcDst, std::int32_t step, std::int32_t width,
    std::int32_t height, std::int32_t scale);
Status ImagePremulAlphaU8C4(
    std::uint8_t alpha, std::uint8_t* srcDst, std::int32_t step, std::int32_t width, std::int32_t height);

}  // namespace Prim
