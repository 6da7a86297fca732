#pragma once
// What the frequency ruler shares with the amplitude ruler: the box they are painted
// in and the wheel zoom of a value range.
#include <Tonalith/Analysis/ValueRange.h>

#include <QvBase/UI/Colour.h>

#include <optional>
#include <vector>

namespace UI {

class DrawContext;

// A vertical ruler of w × h pixels: background, left and right border, ticks at column 1
// and the three separator rows above each band top in `separatorTops`.
void PaintVerticalRulerBox(DrawContext& dc, int w, int h, Transparency t, const std::vector<int>& majorTicks,
                           const std::vector<int>& minorTicks, const std::vector<int>& separatorTops);

// The visible range after `delta` wheel units (120 a notch) about its centre, each end
// kept within the full range; nothing when the wheel moved less than a notch or there
// is no full range to zoom in.
std::optional<ValueRange> ZoomValueRange(const ValueRange& visible, const ValueRange& full, int delta);

}  // namespace UI
