#pragma once
#include <Tonalith/Display/RulerBase.h>

#include <cstdint>
#include <vector>

namespace UI {

class FreqScale;

// The strip right of the displays that labels the frequency axis of every channel band
// in Hz, linear or Mel-like; the mouse wheel over it zooms the visible frequency range.
class FreqRuler : public RulerBase {
    QV_OBJECT()
public:
    FreqRuler(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, FreqScale* scale);
    ~FreqRuler() override;

    void slotUserChangedVisibleFreqRange();

    void Layout() override;

    void Paint(DrawContext& dc) override;
    bool OnMouseWheel(Point p, int delta, uint modifiers) override;

private:
    void LayoutMel();

    FreqScale* m_scale;
};

}  // namespace UI
