#pragma once
#include <Tonalith/Display/RulerBase.h>
#include <Tonalith/Display/RulerLabelStep.h>

#include <cstdint>
#include <vector>

namespace UI {

class TimeScale;

// The strip under the displays that labels the visible time range in seconds or in
// sample frames (a right click switches, kept in the settings store); dragging it with
// the left button scrolls the visible range.
class TimeRuler : public RulerBase {
    QV_OBJECT()
public:
    enum Mode : std::uint32_t { ModeSeconds = 0, ModeSamples = 1, ModeCount = 2 };
    static constexpr const char* ModeKey = "TimeRuler.Mode";

    TimeRuler(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, TimeScale* scale);
    ~TimeRuler() override;

    void slotSamplingRateChanged();
    void slotUserChangedVisibleSamples();

    std::uint32_t GetMode() const { return m_mode; }
    void SetMode(std::uint32_t mode);
    void Layout() override;

    void Paint(DrawContext& dc) override;
    bool OnLeftDown(Point p, uint modifiers) override;
    bool OnLeftUp(Point p, uint modifiers) override;
    bool OnRightDown(Point p, uint modifiers) override;
    bool OnMouseMove(Point p, uint modifiers) override;

    bool IsDragging() const { return m_dragging; }

private:
    // Labels and ticks for one step; the widest label's extent, shadow included.
    int LayOutLabels(const RulerLabelStep<double>& step, double start, int w);

    std::uint32_t m_mode = ModeSeconds;
    TimeScale* m_scale;
    std::uint64_t m_dragAnchor = 0;
    bool m_dragging = false;
};

}  // namespace UI
