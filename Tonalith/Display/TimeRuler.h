#pragma once
#include <Tonalith/Display/AudioCanvasWindow.h>
#include <Tonalith/Display/RulerLabel.h>

#include <QvBase/UI/Widgets/Window.h>

#include <cstdint>
#include <vector>

namespace UI {

class TimeScale;
class Text;

// The strip under the displays that labels the visible time range in seconds or in
// sample frames (a right click switches, kept in the settings store); dragging it with
// the left button scrolls the visible range.
class TimeRuler : public Window, public AudioCanvasWindow {
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
    void Layout();

    void Paint(DrawContext& dc) override;
    void OnGeometryChanged() override;
    bool OnLeftDown(Point p, uint modifiers) override;
    bool OnLeftUp(Point p, uint modifiers) override;
    bool OnRightDown(Point p, uint modifiers) override;
    bool OnMouseMove(Point p, uint modifiers) override;

    Text* UnitLabel() const { return m_unitLabel; }
    const std::vector<RulerLabel>& Labels() const { return m_labels; }
    const std::vector<int>& MajorTicks() const { return m_majorTicks; }
    const std::vector<int>& MinorTicks() const { return m_minorTicks; }
    bool IsLaidOut() const { return m_laidOut; }
    bool IsDragging() const { return m_dragging; }

private:
    std::uint32_t m_mode = ModeSeconds;
    TimeScale* m_scale;
    Text* m_unitLabel = nullptr;
    std::vector<RulerLabel> m_labels;
    std::vector<int> m_majorTicks;
    std::vector<int> m_minorTicks;
    int m_laidOutExtent = 0;
    bool m_laidOut = false;
    std::uint64_t m_dragAnchor = 0;
    bool m_dragging = false;
};

}  // namespace UI
