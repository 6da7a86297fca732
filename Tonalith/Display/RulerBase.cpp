#include <Tonalith/Display/RulerBase.h>
#include <Tonalith/Display/RulerLabel.h>

#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Text/Text.h>

namespace UI {

RulerBase::RulerBase(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, bool horizontal)
    : Window(frame, parent, name), AudioCanvasWindow(canvas), m_horizontal(horizontal) {}

RulerBase::~RulerBase() = default;

void RulerBase::OnGeometryChanged() {
    if (!m_laidOut || m_laidOutExtent != Extent()) Layout();
}

void RulerBase::ClearLayout() {
    m_labels.clear();
    m_majorTicks.clear();
    m_minorTicks.clear();
    Invalidate();
}

void RulerBase::FinishLayout() {
    m_laidOutExtent = Extent();
    m_laidOut = true;
    Invalidate();
}

void PaintVerticalRulerBox(DrawContext& dc, int w, int h, Transparency t, const std::vector<int>& majorTicks,
    const std::vector<int>& minorTicks, const std::vector<int>& separatorTops) {
    dc.DrawRect({1, w - 2, 1, h - 2}, DrawRectFilled, RulerColours::Background, t);
    dc.DrawRect({0, w - 1, 0, h - 1}, DrawRectOutline, RulerColours::Border, t);
    // Only the left and right edges keep the border.
    dc.DrawLine({1, 0}, {w - 2, 0}, RulerColours::Background, t);
    dc.DrawLine({1, h - 1}, {w - 2, h - 1}, RulerColours::Background, t);
    for (int row : majorTicks) dc.DrawLine({1, row}, {3, row}, RulerColours::Tick, t);
    for (int row : minorTicks) dc.BlendPixel({1, row}, RulerColours::Tick, t);
    for (int top : separatorTops) {
        dc.DrawLine({0, top - 3}, {w - 1, top - 3}, RulerColours::Separator[0], t);
        dc.DrawLine({0, top - 2}, {w - 1, top - 2}, RulerColours::Separator[1], t);
        dc.DrawLine({0, top - 1}, {w - 2, top - 1}, RulerColours::Separator[2], t);
    }
}

std::optional<ValueRange> ZoomValueRange(const ValueRange& visible, const ValueRange& full, int delta) {
    const int n = delta / WheelNotch;
    if (n == 0 || !(full.low <= full.high)) return std::nullopt;
    const double span = static_cast<double>(visible.high - visible.low);
    const double newSpan = n > 0 ? span / (1.05 + 0.05 * n) : span * (1.05 - 0.05 * n);
    const double mid = static_cast<double>(visible.low) + span * 0.5;
    double newLow = mid - newSpan * 0.5;
    // Taken from the unclamped low end: at an edge the span grows by less.
    double newHigh = newLow + newSpan;
    const double lo = full.low;
    const double hi = full.high;
    newLow = newLow < lo ? lo : (newLow > hi ? hi : newLow);
    newHigh = newHigh < lo ? lo : (newHigh > hi ? hi : newHigh);
    return ValueRange{static_cast<float>(newLow), static_cast<float>(newHigh)};
}

}  // namespace UI
