#include <QvBase/UI/Native/MenuAccelerators.h>

#include <Platform/Gui/Keys.h>

namespace UI {

std::optional<unsigned> MenuAccelerators::Translate(const Platform::Gui::KeyEvent& keyDown) const {
    if (keyDown.kind != Platform::Gui::KeyKind::Down) return std::nullopt;
    if (Platform::Gui::Current().IsKeyDown(Platform::Gui::Key::Alt)) return std::nullopt;
    const std::uint32_t held = keyDown.modifiers & (Platform::Gui::Modifier::Ctrl | Platform::Gui::Modifier::Shift);
    for (const Entry& e : m_entries)
        if (e.key == keyDown.key && (e.modifiers & 24u) == held) return e.command;
    return std::nullopt;
}

}  // namespace UI
