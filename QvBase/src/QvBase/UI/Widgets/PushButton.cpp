#include <QvBase/UI/Widgets/PushButton.h>

QV_META_BEGIN(UI::PushButton, UI::Button)
    QV_META_SLOTS
QV_META_END

namespace UI {

PushButton::PushButton(Frame* frame, Window* parent, const String& name, const String& caption, const String& label)
    : Button(frame, parent, name), m_caption(caption) {
    if (!label.IsEmpty()) m_label = new Text(frame, parent, String("%1 Label Text").Arg(name), label, 0, 3);
    SetGeometry(GetRect().left, GetRect().top, 100, 20);
}

void PushButton::SetCaption(const String& caption) {
    m_caption = caption;
    Invalidate();
}

void PushButton::OnGeometryChanged() {
    if (!m_label) return;
    const int lw = m_label->Width();
    const int lh = m_label->Height();
    const Rect& r = GetRect();
    m_label->SetGeometry(r.left - lw - 3, r.top + (r.Height() - lh) / 2, lw, lh);
}

void PushButton::OnEnabledChanged() { SetExtraTransparency(IsEnabled() ? 0 : GetDisabledTransparency()); }

}  // namespace UI
