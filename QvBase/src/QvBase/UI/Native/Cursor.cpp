#include <QvBase/UI/Native/Cursor.h>

namespace UI {

Cursor Cursor::FromKind(std::uint32_t kind) {
    Cursor c;
    if (kind < KindCount) c.m_kind = kind;
    return c;
}

void Cursor::Apply(Platform::Gui::WindowId window) const {
    if (window == Platform::Gui::NoWindow) return;
    Platform::Gui::Current().SetCursor(window, GetShape());
}

void SetArrowCursor(Platform::Gui::WindowId window) { Cursor().Apply(window); }

}  // namespace UI
