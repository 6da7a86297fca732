#pragma once

#include <QvBase/Util/Path.h>
#include <QvBase/Util/Settings.h>
#include <QvBase/Util/String.h>

#include <vector>

namespace UI {

inline constexpr unsigned MaxRecentFiles = 8;

// The stored recent files ("RecentFile1".."RecentFile8"), most recent first: reading stops at
// the first empty value, and files that no longer exist are skipped.
std::vector<String> LoadRecentFiles(const Settings& settings);

// Moves or inserts the path at the front, keeping at most eight entries.
void AddRecentFile(Settings& settings, const Path& path);

// The native text, with its trailing separator, of the folder holding the file.
String LastFolderOf(const Path& file);

}  // namespace UI
