#pragma once
#include <Platform/Gui/Gtk/FilePatterns.h>
#include <Platform/Gui/WindowSystem.h>

#include <gtk/gtk.h>

#include <optional>
#include <string>

namespace Platform::Gui {

void RunGtkMessageBox(GtkWindow* owner, const std::string& caption, const std::string& text, bool systemModal);
std::optional<std::string> RunGtkOpenFileDialog(GtkWindow* owner, const OpenFileRequest& request);

}  // namespace Platform::Gui
