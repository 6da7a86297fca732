#pragma once
#include <Tonalith/Display/AudioCanvasWindow.h>
#include <Tonalith/Display/RulerLabel.h>

#include <QvBase/UI/Widgets/Window.h>

#include <cstdint>
#include <vector>

namespace UI {

class FreqScale;
class Text;

// The strip right of the displays that labels the frequency axis of every channel band
// in Hz, linear or Mel-like; the mouse wheel over it zooms the visible frequency range.
class FreqRuler : public Window, public AudioCanvasWindow {
    QV_OBJECT()
public:
    FreqRuler(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, FreqScale* scale);
    ~FreqRuler() override;

    void slotUserChangedVisibleFreqRange();

    void Layout();

    void Paint(DrawContext& dc) override;
    void OnGeometryChanged() override;
    bool OnMouseWheel(Point p, int delta, uint modifiers) override;

    Text* UnitLabel() const { return m_unitLabel; }
    const std::vector<RulerLabel>& Labels() const { return m_labels; }
    const std::vector<int>& MajorTicks() const { return m_majorTicks; }
    const std::vector<int>& MinorTicks() const { return m_minorTicks; }
    bool IsLaidOut() const { return m_laidOut; }

private:
    void LayoutMel();
    void Clear();
    void Finish();

    FreqScale* m_scale;
    Text* m_unitLabel = nullptr;
    std::vector<RulerLabel> m_labels;
    std::vector<int> m_majorTicks;
    std::vector<int> m_minorTicks;
    int m_laidOutExtent = 0;
    bool m_laidOut = false;
};

}  // namespace UI
