#pragma once
// What the frequency ruler shares with the amplitude ruler: the box they are painted
// in and the wheel zoom of a value range.
#include <Tonalith/Analysis/ValueRange.h>

#include <QvBase/UI/Drawing/Colour.h>

#include <cstdint>
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

// Wheel zoom of a scale's visible range (see ZoomValueRange).
template <class Scale>
void ZoomVisibleRange(Scale& scale, int delta) {
    if (const auto range = ZoomValueRange(scale.GetVisibleRange(), scale.GetRange(), delta))
        scale.SetVisibleRange(*range);
}

// The ruler box with a separator above every channel band but the first.
template <class Scale>
void PaintVerticalRulerBox(DrawContext& dc, int w, int h, Transparency t, const std::vector<int>& majorTicks,
    const std::vector<int>& minorTicks, const Scale& scale) {
    std::vector<int> separators;
    for (std::uint32_t c = 1; c < scale.GetChannelCount(); ++c) separators.push_back(scale.ChannelBand(c).top);
    PaintVerticalRulerBox(dc, w, h, t, majorTicks, minorTicks, separators);
}

}  // namespace UI
