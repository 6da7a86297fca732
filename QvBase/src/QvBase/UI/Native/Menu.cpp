#include <QvBase/UI/Native/Menu.h>
#include <QvBase/UI/Native/MenuBar.h>

namespace UI {

String Menu::ShownLabel(const String& label, std::uint32_t modifiers, std::uint32_t key) {
    if (key == 0) return label;
    String shown = label;
    shown += '\t';
    if (modifiers & ModifierCtrl) shown += "Ctrl+";
    if (modifiers & ModifierShift) shown += "Shift+";
    const bool printable = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
    shown += printable ? char(key) : '?';
    return shown;
}

String Menu::LiteralLabel(const String& text) { return text.Replace("&", "&&").Replace('\t', ' '); }

void Menu::AddItem(bool separator, const String& label, bool checked, Object* receiver,
    std::optional<std::uint32_t> argument, const String& slot, std::uint32_t modifiers, std::uint32_t key,
    const String& identity) {
    MenuItem item;
    if (!separator) {
        item.command = std::uint32_t(m_items.size()) + 1;
        item.label = ShownLabel(label, modifiers, key);
        item.receiver = receiver;
        item.argument = argument;
        item.slot = slot;
        item.modifiers = modifiers;
        item.key = key;
        item.checked = checked;
        item.identity = identity;
    } else {
        item.separator = true;
    }
    m_items.push_back(item);
    if (m_owner) m_owner->Rebuild();
}

void Menu::Clear() {
    m_items.clear();
    if (m_owner) m_owner->Rebuild();
}

}  // namespace UI
