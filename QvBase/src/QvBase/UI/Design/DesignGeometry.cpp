#include <QvBase/UI/Design/DesignGeometry.h>

#include <algorithm>
#include <cstddef>

namespace UI::Design {

unsigned HandleAt(const Rect& r, Point p, bool widthFixed, bool heightFixed) {
    const bool left = p.x<r.left + HandleReach, right = p.x> r.right - HandleReach;
    const bool top = p.y<r.top + HandleReach, bottom = p.y> r.bottom - HandleReach;
    if (!(widthFixed && heightFixed)) {
        if (left && top) return 1;
        if (left && bottom) return 3;
        if (right && bottom) return 5;
        if (right && top) return 7;
    }
    if (!widthFixed) {
        if (left) return 2;
        if (right) return 6;
    }
    if (!heightFixed) {
        if (top) return 8;
        if (bottom) return 4;
    }
    return 0;
}

Rect DragHandle(const Rect& r, unsigned handle, Point offset, bool widthFixed, bool heightFixed) {
    if (handle == 0) return r.Offsetted(offset);
    const int dx = widthFixed ? 0 : offset.x, dy = heightFixed ? 0 : offset.y;
    Rect out = r;
    if (handle == 1 || handle == 2 || handle == 3) out.left = std::min(r.left + dx, r.right);
    if (handle == 5 || handle == 6 || handle == 7) out.right = std::max(r.right + dx, r.left);
    if (handle == 1 || handle == 7 || handle == 8) out.top = std::min(r.top + dy, r.bottom);
    if (handle == 3 || handle == 4 || handle == 5) out.bottom = std::max(r.bottom + dy, r.top);
    return out;
}

Cursor HandleCursor(unsigned handle) {
    switch (handle) {
    case 1:
    case 5: return Cursor(Cursor::Shape::SizeNwSe);
    case 3:
    case 7: return Cursor(Cursor::Shape::SizeNeSw);
    case 2:
    case 6: return Cursor(Cursor::Shape::SizeWe);
    case 4:
    case 8: return Cursor(Cursor::Shape::SizeNs);
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
