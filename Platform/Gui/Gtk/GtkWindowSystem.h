#pragma once
#include <Platform/Gui/WindowSystem.h>

#include <memory>

namespace Platform::Gui {

// The desktop's window system: GTK 3 on the X11 display at scale 1, numbers formatted
// with "." whatever the user's locale, and no recent-files list written.
// Throws std::runtime_error when the display cannot be opened.
std::unique_ptr<WindowSystem> MakeGtkWindowSystem();

}  // namespace Platform::Gui
