#include <QvBase/UI/Widgets/CheckBox.h>

QV_META_BEGIN(UI::CheckBox, UI::Button)
    QV_META_SLOTS
QV_META_END

namespace UI {

CheckBox::CheckBox(Frame* frame, Window* parent, const String& name, const String& label)
    : Button(frame, parent, name) {
    m_label = new Text(frame, this, String("CheckBox %1 Label Text").Arg(name), label, 0, 3);
    SetToggle(true);
    SetGeometry(GetRect().left, GetRect().top, 100, 10);
}

void CheckBox::SetLabelCentred(bool centred) {
    m_labelCentred = centred;
    OnGeometryChanged();
}

void CheckBox::SetLabelOffset(std::int32_t offset) {
    m_labelOffset = offset;
    OnGeometryChanged();
}

void CheckBox::SetLabelGap(std::int32_t gap) {
    m_labelGap = gap;
    OnGeometryChanged();
}

Rect CheckBox::PaintRect() const {
    if (!m_label || !m_label->IsVisible()) return FrameRect();
    return Rect::Union(FrameRect(), m_label->FrameRect());
}

void CheckBox::OnGeometryChanged() {
    if (!m_label) return;
    const int w = Width();
    const int h = Height();
    const int lw = m_label->Width();
    const int lh = m_label->Height();
    const int y = h / 2 - lh / 2 + m_labelOffset + 1;
    if (m_labelCentred) {
        m_label->SetGeometry(w / 2 - lw / 2 + 1, y, lw, lh);
        return;
    }
    m_label->SetGeometry(h + m_labelGap, y, lw, lh);
    ResizeWidth(h + m_labelGap + lw);
}

void CheckBox::OnColourChanged() {
    m_colourGiven = true;
    if (m_label) m_label->SetColour(GetColour());
    Button::OnColourChanged();
}

void CheckBox::OnTransparencyChanged() {
    if (m_label) m_label->SetTransparency(GetTransparency());
}

}  // namespace UI
