#include <QvBase/UI/Design/DesignGeometry.h>

#include <algorithm>
#include <cstddef>

namespace UI::Design {

Handle HandleAt(const Rect& r, Point p, bool widthFixed, bool heightFixed) {
    const bool left = p.x<r.left + HandleReach, right = p.x> r.right - HandleReach;
    const bool top = p.y<r.top + HandleReach, bottom = p.y> r.bottom - HandleReach;
    if (!(widthFixed && heightFixed)) {
        if (left && top) return Handle::TopLeft;
        if (left && bottom) return Handle::BottomLeft;
        if (right && bottom) return Handle::BottomRight;
        if (right && top) return Handle::TopRight;
    }
    if (!widthFixed) {
        if (left) return Handle::Left;
        if (right) return Handle::Right;
    }
    if (!heightFixed) {
        if (top) return Handle::Top;
        if (bottom) return Handle::Bottom;
    }
    return Handle::Inside;
}

Rect DragHandle(const Rect& r, Handle handle, Point offset, bool widthFixed, bool heightFixed) {
    if (handle == Handle::Inside) return r.Offsetted(offset);
    const int dx = widthFixed ? 0 : offset.x, dy = heightFixed ? 0 : offset.y;
    Rect out = r;
    if (handle == Handle::TopLeft || handle == Handle::Left || handle == Handle::BottomLeft)
        out.left = std::min(r.left + dx, r.right);
    if (handle == Handle::BottomRight || handle == Handle::Right || handle == Handle::TopRight)
        out.right = std::max(r.right + dx, r.left);
    if (handle == Handle::TopLeft || handle == Handle::TopRight || handle == Handle::Top)
        out.top = std::min(r.top + dy, r.bottom);
    if (handle == Handle::BottomLeft || handle == Handle::Bottom || handle == Handle::BottomRight)
        out.bottom = std::max(r.bottom + dy, r.top);
    return out;
}

Cursor HandleCursor(Handle handle) {
    switch (handle) {
    case Handle::TopLeft:
    case Handle::BottomRight: return Cursor(Cursor::Shape::SizeNwSe);
    case Handle::BottomLeft:
    case Handle::TopRight: return Cursor(Cursor::Shape::SizeNeSw);
    case Handle::Left:
    case Handle::Right: return Cursor(Cursor::Shape::SizeWe);
    case Handle::Bottom:
    case Handle::Top: return Cursor(Cursor::Shape::SizeNs);
    case Handle::Inside: break;
    }
    return Cursor();
}

Rect Spanned(Point a, Point b) {
    return {std::min(a.x, b.x), std::max(a.x, b.x), std::min(a.y, b.y), std::max(a.y, b.y)};
}

std::vector<int> SpacedStarts(const std::vector<int>& starts, const std::vector<int>& sizes, bool remainderFirst) {
    const std::size_t n = std::min(starts.size(), sizes.size());
    std::vector<int> out(starts.begin(), starts.begin() + std::ptrdiff_t(n));
    if (n < 2) return out;
    long long sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += sizes[i];
    const long long span = (static_cast<long long>(starts[n - 1]) + sizes[n - 1]) - starts[0];
    const long long gaps = static_cast<long long>(n) - 1;
    const long long gap = (span - sum) / gaps;
    long long extra = remainderFirst ? (span - sum) % gaps : 0;
    long long at = starts[0];
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = int(at);
        at += sizes[i] + gap + (extra > 0 ? 1 : 0);
        if (extra > 0) --extra;
    }
    return out;
}

}  // namespace UI::Design
