#pragma once

#include <QvBase/UI/Widgets/CheckBox.h>

namespace UI {

// A check box drawn as a white square, filled while checked.
class SimpleCheckBox : public CheckBox {
    QV_OBJECT()
public:
    SimpleCheckBox(Frame* frame, Window* parent, const String& name, const String& label);

    void Paint(DrawContext& dc) override;
    Rect GetFocusRect() const override { return Rect{0, -1, 0, -1}; }
    void OnEnabledChanged() override;
};

}  // namespace UI
