#include <QvBase/UI/Drawing/DrawContextPixels.h>

#include <QvBase/Util/Math.h>

#include <Primitives/Vec/Copy.h>
#include <Primitives/Vec/Image.h>

#include <cstddef>
#include <cstdlib>

namespace UI {

namespace {

std::uint32_t* PixelAt(std::uint32_t* pixels, int stride, int x, int y) {
    return pixels + static_cast<std::ptrdiff_t>(y) * stride + x;
}

}  // namespace

void FillRectPixels(std::uint32_t* pixels, int stride, const Rect& clip, const Rect& rect, Colour colour) {
    const Rect area = Rect::Intersect(rect, clip);
    if (!area.HasArea()) return;
    for (int y = area.top; y <= area.bottom; ++y)
        Vec::SetS32(area.Width(), reinterpret_cast<std::int32_t*>(PixelAt(pixels, stride, area.left, y)),
            static_cast<std::int32_t>(colour));
}

void FillRectPixels(
    std::uint32_t* pixels, int stride, const Rect& clip, const Rect& rect, Colour colour, Transparency t) {
    const Rect area = Rect::Intersect(rect, clip);
    if (!area.HasArea()) return;
    const unsigned weight = t == 0 ? 255u : 256u - t;
    Colour scaled = 0;
    for (int shift = 0; shift <= 16; shift += 8) scaled |= (((colour >> shift) & 0xFFu) * weight / 255u) << shift;
    auto* first = reinterpret_cast<std::uint8_t*>(PixelAt(pixels, stride, area.left, area.top));
    Vec::ImagePremulAlphaU8C4(t, first, stride, area.Width(), area.Height());
    Vec::ImageAddConstU8C4(scaled, first, stride, area.Width(), area.Height());
}

Colour BlendColourWeighted(Colour destination, Colour colour, Transparency t, unsigned weight) {
    if (t == 0) return colour;
    if (t == 255) return destination;
    Colour result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned c = (colour >> shift) & 0xFFu, d = (destination >> shift) & 0xFFu;
        const unsigned channel = (c * weight + d * t + 128u) >> 8;
        result |= (channel > 255u ? 255u : channel) << shift;
    }
    return result;
}

void OutlineRectPixels(
    std::uint32_t* pixels, int stride, const Rect& clip, const Rect& rect, Colour colour, Transparency t) {
    const Rect area = Rect::Intersect(rect, clip);
    if (!area.HasArea()) return;
    const unsigned weight = 256u - t;
    auto paint = [&](int x, int y) {
        std::uint32_t* p = PixelAt(pixels, stride, x, y);
        *p = t == 0 ? colour : BlendColourWeighted(*p, colour, t, weight);
    };
    auto row = [&](int y) {
        for (int x = area.left; x <= area.right; ++x) paint(x, y);
    };
    auto column = [&](int x) {
        for (int y = area.top; y <= area.bottom; ++y) paint(x, y);
    };
    if (rect.top >= clip.top) row(area.top);
    if (rect.bottom <= clip.bottom) row(area.bottom);
    if (rect.left >= clip.left) column(area.left);
    if (rect.right <= clip.right) column(area.right);
}

void DrawLinePixels(
    std::uint32_t* pixels, int stride, const Rect& clip, Point from, Point to, Colour colour, Transparency t) {
    // 64-bit: the differences of two ints need 33 bits.
    const std::int64_t dx = std::llabs(static_cast<std::int64_t>(to.x) - from.x);
    const std::int64_t dy = std::llabs(static_cast<std::int64_t>(to.y) - from.y);
    const std::int64_t steps = dx > dy ? dx : dy;
    const int sx = from.x <= to.x ? 1 : -1, sy = from.y <= to.y ? 1 : -1;
    std::int64_t x = from.x, y = from.y, ex = 0, ey = 0;
    for (std::int64_t i = 0; i <= steps; ++i) {
        if (clip.left <= x && x <= clip.right && clip.top <= y && y <= clip.bottom) {
            std::uint32_t* p = PixelAt(pixels, stride, static_cast<int>(x), static_cast<int>(y));
            *p = t == 0 ? colour : BlendColour(*p, colour, t);
        }
        ey += dy;
        if (ey >= steps) {
            ey -= steps;
            y += sy;
        }
        ex += dx;
        if (ex >= steps) {
            ex -= steps;
            x += sx;
        }
    }
}

}  // namespace UI
