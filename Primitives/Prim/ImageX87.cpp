// Portable builds of the image operations: byte by byte.
#include <Primitives/Prim/Image.h>
#include <Primitives/Prim/ImagePixel.h>

namespace Prim {

using ImagePixel::Check;
using ImagePixel::ForEachRow;

Status ImageSetU8C4_x87(
    const std::uint8_t* value, std::uint8_t* dst, std::int32_t step, std::int32_t width, std::int32_t height) {
    if (const Status s = Check(value, dst, step, width, height); s != StatusOk) return s;
    ForEachRow(dst, step, height, [&](std::uint8_t* row) {
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint8_t* pixel = row + 4 * static_cast<std::ptrdiff_t>(x);
            pixel[0] = value[0];
            pixel[1] = value[1];
            pixel[2] = value[2];
        }
    });
    return StatusOk;
}

Status ImageAddConstU8C4_x87(const std::uint8_t* value, std::uint8_t* srcDst, std::int32_t step, std::int32_t width,
    std::int32_t height, std::int32_t scale) {
    if (const Status s = Check(value, srcDst, step, width, height); s != StatusOk) return s;
    if (scale >= 10) {
        static constexpr std::uint8_t black[3] = {0, 0, 0};
        return ImageSetU8C4_x87(black, srcDst, step, width, height);
    }
    ForEachRow(srcDst, step, height, [&](std::uint8_t* row) {
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint8_t* pixel = row + 4 * static_cast<std::ptrdiff_t>(x);
            for (int c = 0; c < 3; ++c) {
                pixel[c] = ImagePixel::AddScaled(pixel[c], value[c], scale);
            }
        }
    });
    return StatusOk;
}

Status ImagePremulAlphaU8C4_x87(
    std::uint8_t alpha, std::uint8_t* srcDst, std::int32_t step, std::int32_t width, std::int32_t height) {
    if (const Status s = Check(&alpha, srcDst, step, width, height); s != StatusOk) return s;
    ForEachRow(srcDst, step, height, [&](std::uint8_t* row) {
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint8_t* pixel = row + 4 * static_cast<std::ptrdiff_t>(x);
            for (int c = 0; c < 3; ++c) {
                pixel[c] = ImagePixel::Premultiply(pixel[c], alpha);
            }
            pixel[3] = alpha;
        }
    });
    return StatusOk;
}

}  // namespace Prim
