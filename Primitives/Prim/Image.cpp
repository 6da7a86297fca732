#include <Primitives/Prim/Image.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(ImageSetU8C4)
PRIM_BIND_VARIANT(ImageAddConstU8C4)
PRIM_BIND_VARIANT(ImagePremulAlphaU8C4)

namespace Prim {

Status ImageAddConstU8C4(const std::uint8_t* value, std::uint8_t* srcDst, std::int32_t step, std::int32_t width,
    std::int32_t height, std::int32_t scale) {
    return BoundVariant<Pair::ImageAddConstU8C4>(&ImageAddConstU8C4_x87, &ImageAddConstU8C4_sse2)(
        value, srcDst, step, width, height, scale);
}
Status ImagePremulAlphaU8C4(
    std::uint8_t alpha, std::uint8_t* srcDst, std::int32_t step, std::int32_t width, std::int32_t height) {
    return BoundVariant<Pair::ImagePremulAlphaU8C4>(&ImagePremulAlphaU8C4_x87, &ImagePremulAlphaU8C4_sse2)(
        alpha, srcDst, step, width, height);
}

}  // namespace Prim
