#pragma once
#include <Platform/Gui/WindowSystem.h>

#include <gtk/gtk.h>

#include <optional>
#include <string>

namespace Platform::Gui {

void RunGtkMessageBox(GtkWindow* owner, const std::string& caption, const std::string& text, bool systemModal);
std::optional<std::string> RunGtkOpenFileDialog(GtkWindow* owner, const OpenFileRequest& request);

// "*.wav" as a pattern that also matches "*.WAV" and "*.Wav".
std::string CaseInsensitivePattern(const std::string& pattern);

}  // namespace Platform::Gui
