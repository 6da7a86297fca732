#pragma once
// What the three rulers share: the state of their last layout, and for the two vertical
// ones the box they are painted in and the wheel zoom of a value range.
#include <Tonalith/Analysis/ValueRange.h>
#include <Tonalith/Display/AudioCanvasWindow.h>
#include <Tonalith/Display/RulerLabel.h>

#include <QvBase/UI/Drawing/Colour.h>
#include <QvBase/UI/Widgets/Window.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace UI {

class DrawContext;
class Text;

// A ruler's labels and ticks, laid out again whenever the extent along its axis (the
// width of a horizontal ruler, the height of a vertical one) changes.
class RulerBase : public Window, public AudioCanvasWindow {
public:
    virtual void Layout() = 0;
    void OnGeometryChanged() override;

    Text* UnitLabel() const { return m_unitLabel; }
    const std::vector<RulerLabel>& Labels() const { return m_labels; }
    const std::vector<int>& MajorTicks() const { return m_majorTicks; }
    const std::vector<int>& MinorTicks() const { return m_minorTicks; }
    bool IsLaidOut() const { return m_laidOut; }

protected:
    RulerBase(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, bool horizontal);
    ~RulerBase() override;

    // Drops every label and tick, and repaints: what an empty view shows.
    void ClearLayout();
    // Marks the layout done for the current extent and repaints.
    void FinishLayout();

    Text* m_unitLabel = nullptr;
    std::vector<RulerLabel> m_labels;
    std::vector<int> m_majorTicks;
    std::vector<int> m_minorTicks;

private:
    int Extent() const { return m_horizontal ? Width() : Height(); }

    bool m_horizontal;
    int m_laidOutExtent = 0;
    bool m_laidOut = false;
};

// A vertical ruler of w × h pixels: background, left and right border, ticks at column 1
// and the three separator rows above each band top in `separatorTops`.
void PaintVerticalRulerBox(DrawContext& dc, int w, int h, Transparency t, const std::vector<int>& majorTicks,
    const std::vector<int>& minorTicks, const std::vector<int>& separatorTops);

// The visible range after `delta` wheel units (WheelNotch a notch) about its centre, each end
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
