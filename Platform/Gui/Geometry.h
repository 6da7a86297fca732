#pragma once
#include <algorithm>

namespace Platform::Gui {

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// A rectangle by its top-left corner and its size; empty when either size is below 1.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool IsEmpty() const { return width <= 0 || height <= 0; }
    int Right() const { return x + width; }  // one past the last column
    int Bottom() const { return y + height; }  // one past the last row
    bool Contains(PixelPoint p) const { return p.x >= x && p.x < Right() && p.y >= y && p.y < Bottom(); }
    PixelPoint Origin() const { return {x, y}; }
    PixelSize Size() const { return {width, height}; }

    // Empty results are normalised to a zero size at the overlap's corner.
    PixelRect Intersected(const PixelRect& o) const {
        const int l = std::max(x, o.x);
        const int t = std::max(y, o.y);
        const int r = std::min(Right(), o.Right());
        const int b = std::min(Bottom(), o.Bottom());
        return {l, t, std::max(0, r - l), std::max(0, b - t)};
    }
    bool Intersects(const PixelRect& o) const { return !Intersected(o).IsEmpty(); }

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace Platform::Gui
