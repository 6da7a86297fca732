#pragma once
#include <QvBase/Util/String.h>

#include <Platform/Gui/Geometry.h>

namespace UI {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Edges inclusive: a rectangle is empty when right < left or bottom < top.
// The default {0, -1, 0, -1} is the empty rectangle used throughout.
struct Rect {
    int left = 0;
    int right = -1;
    int top = 0;
    int bottom = -1;

    static Rect FromXYWH(int x, int y, int width, int height) { return {x, x + width - 1, y, y + height - 1}; }
    static Rect FromPointSize(Point p, Size s) { return FromXYWH(p.x, p.y, s.width, s.height); }

    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
    Size GetSize() const { return {Width(), Height()}; }
    Point TopLeft() const { return {left, top}; }
    bool IsEmpty() const { return right < left || bottom < top; }
    // Width and height at least 1: what painting and hit testing call a non-zero area.
    bool HasArea() const { return Width() >= 1 && Height() >= 1; }
    bool Contains(Point p) const { return left <= p.x && p.x <= right && top <= p.y && p.y <= bottom; }

    void Set(int x, int y, int width, int height) { *this = FromXYWH(x, y, width, height); }
    void Set(Point p, Size s) { *this = FromPointSize(p, s); }

    Rect& Offset(Point p) {
        left += p.x;
        right += p.x;
        top += p.y;
        bottom += p.y;
        return *this;
    }
    Rect Offsetted(Point p) const { return Rect(*this).Offset(p); }

    // Moves the right and bottom edges only.
    Rect& Grow(Size s) {
        right += s.width;
        bottom += s.height;
        return *this;
    }

    // Overlap of the two; an empty result has right = left - 1 and bottom = top - 1.
    static Rect Intersect(const Rect& a, const Rect& b);
    Rect& Intersect(const Rect& other) { return *this = Intersect(*this, other); }

    // Bounding box of the non-empty ones; when both are empty, b.
    static Rect Union(const Rect& a, const Rect& b);

    // The platform's rectangles have exclusive right and bottom edges.
    static Rect FromNative(const Platform::Gui::PixelRect& r);
    Platform::Gui::PixelRect ToNative() const;

    // "[(left,top)-(right,bottom) WxH]"
    String ToString() const;
    // Reads the text ToString writes; accepted only when width and height agree with the
    // edges, else the empty rectangle and *ok false.
    static Rect FromString(const String& text, bool* ok = nullptr);

    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace UI
