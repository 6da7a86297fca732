#pragma once

#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/UI/Text/Text.h>
#include <QvBase/UI/Widgets/Slider.h>

namespace UI {

// A horizontal slider over a float range, drawn with PNG pieces, with its label on the left
// and a readout of its value on the right.
class SimpleSlider : public Slider {
    QV_OBJECT()
public:
    SimpleSlider(Frame* frame, Window* parent, bool centred, const String& name, const String& label, bool imageStyle);
    ~SimpleSlider() override;

    // The value is kept when it lies in the new range.
    void SetRange(float minimum, float maximum);
    // Not clamped: only the thumb stops at the end of the track. Emits nothing.
    void SetValue(float value);
    float GetValue() const { return m_value; }
    float GetMinimum() const { return m_minimum; }
    float GetMaximum() const { return m_maximum; }
    Text* GetLabel() const { return m_label; }
    Text* GetValueReadout() const { return m_valueReadout; }

    void sigUserValueChanged();
    void sigUserValueChanged(float fValue);

    void slotUserPositionChanged(uint uPos);
    void slotEdited(const String& strContents);

    void Paint(DrawContext& dc) override;
    void OnEnabledChanged() override;
    void OnGeometryChanged() override;
    bool OnLeftDown(Point p, uint modifiers) override;
    Rect GetTrackRect() const override { return Rect{0, Width() - 1, 0, Height() - 1}; }
    Rect GetReadoutRect() const override { return Rect{0, -1, 0, -1}; }
    Rect GetEndRect() const override { return Rect{0, -1, 0, -1}; }

    static String ReadoutText(float value);

private:
    void UpdatePosition();
    void RefreshReadout();
    void PaintImageStyle(DrawContext& dc, int t);
    void PaintScrollBarStyle(DrawContext& dc, int t);
    void EmitValue();

    bool m_centred;
    bool m_imageStyle;
    float m_minimum;
    float m_maximum = 1.0f;
    float m_value = 0.0f;
    float m_defaultValue = 0.0f;
    bool m_hasDefault = false;
    SharedPtr<Image> m_background, m_overlay, m_trackLeft, m_trackRight, m_trackFill, m_thumbLeft, m_thumbRight,
        m_thumbFill;
    Text* m_label = nullptr;
    Text* m_valueReadout = nullptr;
    bool m_readoutShown = true;
};

}  // namespace UI
