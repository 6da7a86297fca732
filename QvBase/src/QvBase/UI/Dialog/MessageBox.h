#pragma once
#include <QvBase/Util/String.h>

#include <Platform/Gui/WindowSystem.h>

namespace UI {

// The answer of a message box: its one button.
inline constexpr int MessageBoxOk = 1;

// A modal message box with one OK button. The caption comes first, the text second.
int MessageBox(Platform::Gui::WindowId owner, const String& caption, const String& text, bool systemModal);

}  // namespace UI
