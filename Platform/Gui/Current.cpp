#include <Platform/Gui/Gtk/GtkWindowSystem.h>
#include <Platform/Gui/WindowSystem.h>

#include <mutex>

namespace Platform::Gui {

namespace {

std::mutex gLock;
std::unique_ptr<WindowSystem> gCurrent;

}  // namespace

WindowSystem& Current() {
    std::lock_guard guard(gLock);
    if (!gCurrent) gCurrent = MakeGtkWindowSystem();
    return *gCurrent;
}

std::unique_ptr<WindowSystem> Install(std::unique_ptr<WindowSystem> system) {
    std::lock_guard guard(gLock);
    std::swap(gCurrent, system);
    return system;
}

}  // namespace Platform::Gui
