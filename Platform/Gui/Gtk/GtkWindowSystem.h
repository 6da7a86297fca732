#pragma once
#include <Platform/Gui/WindowSystem.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Platform::Gui {

// The desktop's window system: GTK 3 on the X11 display at scale 1, numbers formatted
// with "." whatever the user's locale, and no recent-files list written.
// Throws Unavailable when the display cannot be opened.
std::unique_ptr<WindowSystem> MakeGtkWindowSystem();

namespace Testing {
// The texts that the entries of a window's menu `menu` show on the desktop, as a user
// reads them (mnemonic marks gone, shortcut part left out; empty for a separator). Empty
// when the current window system is not the desktop's or there is no such menu.
std::vector<std::string> ShownMenuEntries(WindowId window, std::size_t menu);
// Whether the pop-up of a window's menu `menu` is open on the desktop.
bool MenuOpen(WindowId window, std::size_t menu);
// How the open pop-up of a window's menu `menu` is laid out, in pixels: its height and the
// height its entries ask for; how far down its first entry starts and how far the entries
// are scrolled (a scroll arrow or a scroll moves them); the highlighted entry (-1: none).
struct MenuLayout {
    int height = 0;
    int neededHeight = 0;
    int firstEntryTop = 0;
    int scrolledBy = 0;
    int highlighted = -1;
};
std::optional<MenuLayout> ShownMenuLayout(WindowId window, std::size_t menu);
}  // namespace Testing

}  // namespace Platform::Gui
