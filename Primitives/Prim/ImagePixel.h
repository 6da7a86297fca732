#pragma once
#include <Primitives/Prim/Status.h>

#include <cstddef>
#include <cstdint>

// What both builds of the image operations share: the argument checks, the
// row walk and the per-byte rules (the SSE2 builds use the rules for the
// pixels left over after their 16-byte blocks).
namespace Prim::ImagePixel {

inline Status Check(const void* value, const void* image, std::int32_t step, std::int32_t width, std::int32_t height) {
    if (value == nullptr || image == nullptr) return StatusNullPointer;
    if (width < 1 || height < 1) return StatusSizeError;
    return step < 1 ? StatusStepError : StatusOk;
}

// Visits the rows from the first downwards.
template <class Row>
void ForEachRow(std::uint8_t* first, std::int32_t step, std::int32_t height, Row row) {
    for (std::int32_t y = 0; y < height; ++y) {
        row(first + static_cast<std::ptrdiff_t>(y) * step);
    }
}

// The new colour byte for c + v under scale (scale below 10).
inline std::uint8_t AddScaled(unsigned c, unsigned v, std::int32_t scale) {
    const unsigned s = c + v;
    if (scale == 0) return static_cast<std::uint8_t>(s < 255 ? s : 255);
    if (scale <= -8) return s == 0 ? 0 : 255;
    if (scale < 0) {
        const unsigned shifted = s << -scale;
        return static_cast<std::uint8_t>(shifted < 255 ? shifted : 255);
    }
    // Rounded to nearest, ties to even.
    const unsigned half = (1u << (scale - 1)) - 1;
    return static_cast<std::uint8_t>((s + half + ((s >> scale) & 1)) >> scale);
}

inline std::uint8_t Premultiply(unsigned c, unsigned alpha) {
    const unsigned p = c * alpha;
    return static_cast<std::uint8_t>((p + (p >> 8) + 1) >> 8);
}

}  // namespace Prim::ImagePixel
