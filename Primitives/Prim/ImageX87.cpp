// Portable builds of the image operations: byte by byte.
#include <Primitives/Prim/Image.h>
#include <Primitives/Prim/ImagePixel.h>

namespace Prim {
namespace {

using ImagePixel::ForEachRow;

struct X87 {
    static void Add(const std::uint8_t* value, std::uint8_t* srcDst, std::int32_t step, std::int32_t width,
        std::int32_t height, std::int32_t scale) {
        ForEachRow(srcDst, step, height, [&](std::uint8_t* row) {
            for (std::int32_t x = 0; x < width; ++x) {
                std::uint8_t* pixel = row + 4 * static_cast<std::ptrdiff_t>(x);
                for (int c = 0; c < 3; ++c) {
                    pixel[c] = ImagePixel::AddScaled(pixel[c], value[c], scale);
                }
            }
        });
    }

    static void Premultiply(
        std::uint8_t alpha, std::uint8_t* srcDst, std::int32_t step, std::int32_t width, std::int32_t height) {
        ForEachRow(srcDst, step, height, [&](std::uint8_t* row) {
            for (std::int32_t x = 0; x < width; ++x) {
                std::uint8_t* pixel = row + 4 * static_cast<std::ptrdiff_t>(x);
                for (int c = 0; c < 3; ++c) {
                    pixel[c] = ImagePixel::Premultiply(pixel[c], alpha);
                }
                pixel[3] = alpha;
            }
        });
    }
};

using Steps = ImagePixel::Steps<X87>;

}  // namespace

Status ImageSetU8C4_x87(
    const std::uint8_t* value, std::uint8_t* dst, std::int32_t step, std::int32_t width, std::int32_t height) {
    return Steps::Set(value, dst, step, width, height);
}

Status ImageAddConstU8C4_x87(const std::uint8_t* value, std::uint8_t* srcDst, std::int32_t step, std::int32_t width,
    std::int32_t height, std::int32_t scale) {
    return Steps::AddConst(value, srcDst, step, width, height, scale);
}

Status ImagePremulAlphaU8C4_x87(
    std::uint8_t alpha, std::uint8_t* srcDst, std::int32_t step, std::int32_t width, std::int32_t height) {
    return Steps::PremulAlpha(alpha, srcDst, step, width, height);
}

}  // namespace Prim
