#pragma once
#include <QvBase/Object/Object.h>
#include <QvBase/Types.h>
#include <QvBase/Util/String.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace UI {

class MenuBar;

// One entry of a menu. Choosing it calls `slot` (a signature with its prefix, such as
// "1slotOpen()" or "1slotOpenRecent(uint)") of the receiver by name.
struct MenuItem {
    bool separator = false;
    std::uint32_t command = 0;  // unique over the whole bar once it belongs to one; 0 for a separator
    String label;  // as shown, shortcut part included
    Object* receiver = nullptr;  // not owned; null: the entry invokes nothing
    std::optional<std::uint32_t> argument;
    String slot;
    std::uint32_t modifiers = 0;  // 8 Ctrl, 16 Shift
    std::uint32_t key = 0;  // the shortcut's key code, 0 for none
    bool checked = false;
    // What the entry stands for, where its label can change while it stays the same entry
    // (a numbered list) or two entries can share a label; empty: the label tells.
    String identity;
};

// A pop-up menu: free, or one of the sub-menus of a menu bar, which then rebuilds after
// every change to it.
class Menu {
public:
    static constexpr std::uint32_t ModifierCtrl = 8;
    static constexpr std::uint32_t ModifierShift = 16;

    Menu() = default;
    ~Menu() = default;
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    void AddItem(bool separator, const String& label, bool checked, Object* receiver,
        std::optional<std::uint32_t> argument, const String& slot, std::uint32_t modifiers, std::uint32_t key,
        const String& identity = String());
    void Clear();

    const std::vector<MenuItem>& Items() const { return m_items; }
    MenuBar* Owner() const { return m_owner; }

    // The label followed by a tab and the shortcut, "Ctrl+Shift+O"; a key other than a
    // letter or a digit shows as "?".
    static String ShownLabel(const String& label, std::uint32_t modifiers, std::uint32_t key);
    // Text from data (a file name) made into a label that shows it as it is: "&" would
    // mark a mnemonic and a tab would start the shortcut part.
    static String LiteralLabel(const String& text);

private:
    friend class MenuBar;

    std::vector<MenuItem> m_items;
    MenuBar* m_owner = nullptr;
};

}  // namespace UI
