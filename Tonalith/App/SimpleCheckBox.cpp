#include <Tonalith/App/SimpleCheckBox.h>

#include <QvBase/Object/MetaDeclare.h>
#include <QvBase/UI/Drawing/DrawContext.h>

#include <algorithm>

QV_META_BEGIN(UI::SimpleCheckBox, UI::CheckBox)
    QV_META_SLOTS
QV_META_END

namespace UI {

SimpleCheckBox::SimpleCheckBox(Frame* frame, Window* parent, const String& name, const String& label)
    : CheckBox(frame, parent, name, label) {}

void SimpleCheckBox::Paint(DrawContext& dc) {
    const int t = std::min(EffectiveTransparency() + (IsEnabled() ? 0 : 80), 255);
    const int side = Height();
    dc.DrawRect(Rect{0, side - 1, 0, side - 1}, DrawRectOutline, 0xFFFFFF, Transparency(t));
    if (IsChecked())
        dc.DrawRect(Rect{1, side - 2, 1, side - 2}, DrawRectFilled, 0xFFFFFF, Transparency(t >= 156 ? 255 : t + 100));
    Window::Paint(dc);
}

void SimpleCheckBox::OnEnabledChanged() { SetExtraTransparency(IsEnabled() ? 0 : 110); }

}  // namespace UI
