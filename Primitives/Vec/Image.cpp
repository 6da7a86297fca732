#include <Primitives/Vec/Image.h>

#include <Primitives/Prim/Image.h>

#include <limits>

namespace Vec {
namespace {

// Four bytes a pixel. A row length whose byte step does not fit the
// operation's 32-bit step becomes 0, which the operation refuses.
std::int32_t RowStep(std::int32_t rowLength) {
    const std::int64_t step = 4 * std::int64_t{rowLength};
    return step > std::numeric_limits<std::int32_t>::max() ? 0 : static_cast<std::int32_t>(step);
}

}  // namespace

void ImageAddConstU8C4(
    std::uint32_t colour, std::uint8_t* dst, std::int32_t rowLength, std::int32_t width, std::int32_t height) {
    const std::uint8_t value[3] = {static_cast<std::uint8_t>(colour & 0xFF),
        static_cast<std::uint8_t>((colour >> 8) & 0xFF), static_cast<std::uint8_t>((colour >> 16) & 0xFF)};
    Prim::ImageAddConstU8C4(value, dst, RowStep(rowLength), width, height, 0);
}

void ImagePremulAlphaU8C4(
    std::uint8_t alpha, std::uint8_t* dst, std::int32_t rowLength, std::int32_t width, std::int32_t height) {
    Prim::ImagePremulAlphaU8C4(alpha, dst, RowStep(rowLength), width, height);
}

}  // namespace Vec
