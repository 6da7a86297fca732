#pragma once

#include <QvBase/Util/Path.h>
#include <QvBase/Util/Settings.h>
#include <QvBase/Util/String.h>

#include <vector>

namespace UI {

inline constexpr unsigned MaxRecentFiles = 8;

// The stored recent files ("RecentFile1".."RecentFile8"), most recent first. Every key is
// read: empty values, files that no longer exist and second spellings of a listed file
// are skipped, so a gap in the keys hides nothing behind it.
std::vector<String> LoadRecentFiles(const Settings& settings);

// Moves or inserts the path at the front, keeping at most eight entries, and writes the
// list back from "RecentFile1" on without gaps; no other "RecentFile" key stays.
void AddRecentFile(Settings& settings, const Path& path);

// The native text, with its trailing separator, of the folder holding the file.
String LastFolderOf(const Path& file);

}  // namespace UI
