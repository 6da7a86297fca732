#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Widgets/Box.h>

QV_META_BEGIN(UI::Box, UI::Window)
    QV_META_SLOTS
QV_META_END

namespace UI {

namespace {
constexpr int DefaultSide = 100;
}

Box::Box(Frame* frame, Window* parent, const String& name, bool outline, uint layoutKind)
    : Window(frame, parent, name), m_filled(outline ? 0 : 1) {
    m_layoutKind = layoutKind;
    SetEnabled(false);
    SetGeometry(GetRect().left, GetRect().top, DefaultSide, DefaultSide);
}

void Box::Paint(DrawContext& dc) {
    Rect area{0, Width() - 1, 0, Height() - 1};
    if (m_limitSet) {
        const Point base = Parent() ? Parent()->FramePosition() : Point{};
        area = Rect::Intersect(area, m_limit.Offsetted(base));
    }
    dc.DrawRect(area, m_filled ? 1 : 0, GetColour(), EffectiveTransparency());
}

}  // namespace UI
