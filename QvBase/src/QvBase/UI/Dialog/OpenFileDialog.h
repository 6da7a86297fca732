#pragma once
#include <QvBase/Util/Path.h>
#include <QvBase/Util/String.h>

#include <Platform/Gui/WindowSystem.h>

#include <vector>

namespace UI {

// The longest initial file name the dialog is given, in bytes.
inline constexpr unsigned OpenFileNameLimit = 1023;

// The filter list of the open-file dialog from parallel texts, one entry per line: the
// descriptions decide how many entries there are; no descriptions, no filter.
std::vector<Platform::Gui::FileFilter> OpenFileFilters(const String& descriptions, const String& patterns);

// What the open-file dialog is asked: the filter index counts from 0, the initial file
// name is cut to OpenFileNameLimit bytes (never inside a character).
Platform::Gui::OpenFileRequest MakeOpenFileRequest(const Path& initialFolder, const String& initialName,
    const String& descriptions, const String& patterns, int filterIndex, const String& title,
    Platform::Gui::WindowId owner);

// The chosen file, or an empty path when the user cancelled or the dialog failed.
Path GetOpenFileName(const Path& initialFolder, const String& initialName, const String& descriptions,
    const String& patterns, int filterIndex, const String& title, Platform::Gui::WindowId owner);

}  // namespace UI
