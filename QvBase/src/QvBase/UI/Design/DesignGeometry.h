#pragma once
#include <QvBase/UI/Drawing/Geometry.h>
#include <QvBase/UI/Native/Cursor.h>

#include <vector>

namespace UI::Design {

// Handle codes: 0 inside away from the edges, 1 top left, 2 left, 3 bottom left,
// 4 bottom, 5 bottom right, 6 right, 7 top right, 8 top.
inline constexpr int HandleReach = 4;

// The handle of `r` under `p` (which r holds); a fixed width removes the left and right
// edges, a fixed height the top and bottom ones, both together the corners too.
unsigned HandleAt(const Rect& r, Point p, bool widthFixed, bool heightFixed);

// `r` with the handle's edges moved by the offset (handle 0 moves it whole). A fixed
// dimension keeps its edges; a moved edge never passes the opposite one.
Rect DragHandle(const Rect& r, unsigned handle, Point offset, bool widthFixed, bool heightFixed);

// The cursor that shows what dragging the handle does: the arrow for 0.
Cursor HandleCursor(unsigned handle);

// The rectangle spanned by two corner points, in either order.
Rect Spanned(Point a, Point b);

// Where windows at `starts` with `sizes` (sorted by start) go when spaced evenly along
// one axis: the first stays, the last ends where it ended, the gaps are equal, and with
// `remainderFirst` the first gaps take the pixels the division leaves.
std::vector<int> SpacedStarts(const std::vector<int>& starts, const std::vector<int>& sizes, bool remainderFirst);

}  // namespace UI::Design
