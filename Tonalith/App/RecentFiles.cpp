#include <Tonalith/App/RecentFiles.h>

#include <QvBase/Util/File.h>

#include <algorithm>

namespace UI {
namespace {

const String kRecentPrefix = "RecentFile";

String RecentKey(unsigned n) { return String("%1%2").Arg(kRecentPrefix).Arg(n); }

// Whether a stored value is a recent-file key (named as the store compares names) whose
// number lies past the first `listed`.
bool IsRecentKeyPast(const String& name, unsigned listed) {
    if (!name.StartsWith(kRecentPrefix, false)) return false;
    bool number = false;
    const int n = name.Mid(kRecentPrefix.Length()).ToInt(&number);
    return number && n > int(listed) && RecentKey(unsigned(n)).ToLower() == name.ToLower();
}

}  // namespace

std::vector<String> LoadRecentFiles(const Settings& settings) {
    std::vector<String> files, keys;
    for (unsigned n = 1; n <= MaxRecentFiles; ++n) {
        const String value = settings.GetString(RecentKey(n), String());
        if (value.IsEmpty()) continue;
        const String key = Path(value).SpellingKey();
        if (std::find(keys.begin(), keys.end(), key) != keys.end() || !Util::File(Path(value)).Exists()) continue;
        files.push_back(value);
        keys.push_back(key);
    }
    return files;
}

void AddRecentFile(Settings& settings, const Path& path) {
    std::vector<String> files = LoadRecentFiles(settings);
    const String key = path.SpellingKey();
    std::erase_if(files, [&](const String& file) { return Path(file).SpellingKey() == key; });
    files.insert(files.begin(), path.ToNative());
    if (files.size() > MaxRecentFiles) files.resize(MaxRecentFiles);
    for (unsigned i = 0; i < files.size(); ++i) settings.SetString(RecentKey(i + 1), files[i]);
    // The list can be shorter than the keys stored (gaps, files gone, second spellings, keys
    // past the eighth from a hand edit): no key past its end may stay, to be read back behind
    // it or, past the eighth, never read and never replaced.
    for (const String& name : settings.ValueNames())
        if (IsRecentKeyPast(name, unsigned(files.size()))) settings.Remove(name);
}

String LastFolderOf(const Path& file) { return Path(Path::NativeDirectoryOf(file.Text())).NativeKey(); }

}  // namespace UI
