#include <Tonalith/App/RecentFiles.h>

#include <QvBase/Util/Directory.h>
#include <QvBase/Util/File.h>

#include <algorithm>

namespace UI {
namespace {

String RecentKey(unsigned n) { return String("%1%2").Arg("RecentFile").Arg(n); }

}  // namespace

std::vector<String> LoadRecentFiles(const Settings& settings) {
    std::vector<String> files;
    for (unsigned n = 1; n <= MaxRecentFiles; ++n) {
        const String value = settings.GetString(RecentKey(n), String());
        if (value.IsEmpty()) break;
        // A store written by an earlier build can list a file twice; the menu shows it once.
        const Path path(value);
        const bool listed =
            std::any_of(files.begin(), files.end(), [&](const String& file) { return Path(file) == path; });
        if (!listed && Util::File(path).Exists()) files.push_back(value);
    }
    return files;
}

void AddRecentFile(Settings& settings, const Path& path) {
    std::vector<String> files = LoadRecentFiles(settings);
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (Path(*it) == path) {
            files.erase(it);
            break;
        }
    }
    files.insert(files.begin(), path.ToNative());
    if (files.size() > MaxRecentFiles) files.resize(MaxRecentFiles);
    for (unsigned i = 0; i < files.size(); ++i) settings.SetString(RecentKey(i + 1), files[i]);
    // The list can be shorter than the one stored (files gone, or listed twice): the keys
    // past its end would otherwise be read back behind it.
    for (unsigned n = unsigned(files.size()) + 1; n <= MaxRecentFiles; ++n) settings.Remove(RecentKey(n));
}

String LastFolderOf(const Path& file) { return Path(Directory::ParentOf(file).Text()).NativeKey(); }

}  // namespace UI
