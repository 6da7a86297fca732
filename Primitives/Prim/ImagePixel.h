#pragma once
#include <Primitives/Prim/Status.h>

#include <cstddef>
#include <cstdint>

// What both builds of the image operations share: the argument checks and the
// scale that clears, the row walk, the colour fill, and the per-byte rules (the
// SSE2 builds use the rules for the pixels left over after their 16-byte blocks).
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

// The three operations of both builds, checked in one order. A build brings its
// additions and premultiply as K, over a rectangle that has passed the checks:
//   static void Add(const uint8_t* value, uint8_t* srcDst, int32_t step, int32_t width,
//                   int32_t height, int32_t scale)          scale below 10
//   static void Premultiply(uint8_t alpha, uint8_t* srcDst, int32_t step, int32_t width,
//                           int32_t height)
template <class K>
struct Steps {
    static Status Set(
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

    static Status AddConst(const std::uint8_t* value, std::uint8_t* srcDst, std::int32_t step, std::int32_t width,
        std::int32_t height, std::int32_t scale) {
        if (const Status s = Check(value, srcDst, step, width, height); s != StatusOk) return s;
        if (scale >= 10) {
            static constexpr std::uint8_t black[3] = {0, 0, 0};
            return Set(black, srcDst, step, width, height);
        }
        K::Add(value, srcDst, step, width, height, scale);
        return StatusOk;
    }

    static Status PremulAlpha(
        std::uint8_t alpha, std::uint8_t* srcDst, std::int32_t step, std::int32_t width, std::int32_t height) {
        if (const Status s = Check(&alpha, srcDst, step, width, height); s != StatusOk) return s;
        K::Premultiply(alpha, srcDst, step, width, height);
        return StatusOk;
    }
};

}  // namespace Prim::ImagePixel
