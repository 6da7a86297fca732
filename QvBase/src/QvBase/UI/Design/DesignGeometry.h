#pragma once
#include <QvBase/UI/Drawing/Geometry.h>
#include <QvBase/UI/Native/Cursor.h>

#include <vector>

namespace UI::Design {

// Where a drag grabs a window: inside away from the edges (it moves whole), or an edge or
// corner (it resizes). The codes run anticlockwise from the top left corner.
enum class Handle : unsigned {
    Inside = 0,
    TopLeft = 1,
    Left = 2,
    BottomLeft = 3,
    Bottom = 4,
    BottomRight = 5,
    Right = 6,
    TopRight = 7,
    Top = 8,
};
inline constexpr int HandleReach = 4;

// The handle of `r` under `p` (which r holds); a fixed width removes the left and right
// edges, a fixed height the top and bottom ones, both together the corners too.
Handle HandleAt(const Rect& r, Point p, bool widthFixed, bool heightFixed);

// `r` with the handle's edges moved by the offset (Inside moves it whole). A fixed
// dimension keeps its edges; a moved edge never passes the opposite one.
Rect DragHandle(const Rect& r, Handle handle, Point offset, bool widthFixed, bool heightFixed);

// The cursor that shows what dragging the handle does: the arrow for Inside.
Cursor HandleCursor(Handle handle);

// The rectangle spanned by two corner points, in either order.
Rect Spanned(Point a, Point b);

// Where windows at `starts` with `sizes` (sorted by start) go when spaced evenly along
// one axis: the first stays, the last ends where it ended, the gaps are equal, and with
// `remainderFirst` the first gaps take the pixels the division leaves.
std::vector<int> SpacedStarts(const std::vector<int>& starts, const std::vector<int>& sizes, bool remainderFirst);

}  // namespace UI::Design
