#pragma once
#include <Platform/Gui/Gtk/FilePatterns.h>
#include <Platform/Gui/WindowSystem.h>

#include <gtk/gtk.h>

#include <functional>
#include <optional>
#include <string>

namespace Platform::Gui {

// Both run until the user answers or `stop` says the program is leaving (a cancel).
void RunGtkMessageBox(GtkWindow* owner, const std::string& caption, const std::string& text, bool systemModal,
    const std::function<bool()>& stop);
std::optional<std::string> RunGtkOpenFileDialog(
    GtkWindow* owner, const OpenFileRequest& request, const std::function<bool()>& stop);

}  // namespace Platform::Gui
