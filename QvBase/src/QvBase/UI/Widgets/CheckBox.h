#pragma once
#include <QvBase/UI/Text/Text.h>
#include <QvBase/UI/Widgets/Button.h>

#include <cstdint>

namespace UI {

// A toggling button: a square box of the button's height with its label to the right
// (or centred), the button's width following the label.
class CheckBox : public Button {
    QV_OBJECT()
public:
    CheckBox(Frame* frame, Window* parent, const String& name, const String& label);

    Text* GetLabel() const { return m_label; }
    bool IsLabelCentred() const { return m_labelCentred; }
    void SetLabelCentred(bool centred);
    std::int32_t GetLabelOffset() const { return m_labelOffset; }
    void SetLabelOffset(std::int32_t offset);
    std::int32_t GetLabelGap() const { return m_labelGap; }
    void SetLabelGap(std::int32_t gap);
    bool IsColourGiven() const { return m_colourGiven; }

    // The box and its whole label: a label taller than the box keeps its descenders.
    Rect PaintRect() const override;
    void OnGeometryChanged() override;
    void OnColourChanged() override;
    void OnTransparencyChanged() override;

private:
    bool m_labelCentred = false;
    Text* m_label = nullptr;
    bool m_colourGiven = false;
    std::int32_t m_labelOffset = 0;
    std::int32_t m_labelGap = 4;
};

}  // namespace UI
