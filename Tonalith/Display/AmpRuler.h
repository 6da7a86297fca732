#pragma once
#include <Tonalith/Display/RulerBase.h>

#include <cstdint>
#include <vector>

namespace UI {

class AmpScale;

// The strip that labels the amplitude axis of every channel band of the waveform, in
// dB, sample values, 16-bit values or percent; a right click moves to the next unit
// (kept in the settings store), the wheel zooms the visible amplitude range.
class AmpRuler : public RulerBase {
    QV_OBJECT()
public:
    enum Mode : std::uint32_t { ModeDb = 0, ModeSample = 1, Mode16Bit = 2, ModePercent = 3, ModeCount = 4 };
    static constexpr const char* ModeKey = "AmpRuler.Mode";

    AmpRuler(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, AmpScale* scale);
    ~AmpRuler() override;

    void slotUserChangedVisibleAmpRange();

    std::uint32_t GetMode() const { return m_mode; }
    void SetMode(std::uint32_t mode);
    void Layout() override;

    // The unit label's text and a label's text for value v in a mode.
    static String UnitText(std::uint32_t mode);
    static String LabelText(std::uint32_t mode, float v, int decimals);

    void Paint(DrawContext& dc) override;
    bool OnRightDown(Point p, uint modifiers) override;
    bool OnMouseWheel(Point p, int delta, uint modifiers) override;

private:
    std::uint32_t m_mode = ModeDb;
    AmpScale* m_scale;
};

}  // namespace UI
