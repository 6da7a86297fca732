#include <Tonalith/App/RecentFiles.h>

#include <QvBase/Util/File.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>

namespace UI {
namespace {

String RecentKey(unsigned n) { return String("%1%2").Arg("RecentFile").Arg(n); }

std::string Text(const String& s) { return std::string(s.CStr(), s.Length()); }

// One text for every spelling of a file: "." parts and repeated "/" go, ".." takes the part
// before it. Links are not followed: the menu lists what was opened, not where it leads.
String EntryKey(const String& entry) {
    std::string plain;
    std::istringstream parts(Text(Path(entry).Text()));
    for (std::string part; std::getline(parts, part, '/');)
        if (!part.empty() && part != ".") plain += "/" + part;
    return Path(String(plain.empty() ? "/" : plain)).NativeKey();
}

// A path's text, without trailing "/", split at its last "/" (npos when it has none): a
// "\" belongs to a name here.
struct LastSlash {
    std::string text;
    std::string::size_type at;
};

LastSlash SplitAtLastSlash(const String& path) {
    std::string text = Text(path);
    while (!text.empty() && text.back() == '/') text.pop_back();
    const std::string::size_type at = text.rfind('/');
    return {std::move(text), at};
}

}  // namespace

std::vector<String> LoadRecentFiles(const Settings& settings) {
    std::vector<String> files, keys;
    for (unsigned n = 1; n <= MaxRecentFiles; ++n) {
        const String value = settings.GetString(RecentKey(n), String());
        if (value.IsEmpty()) continue;
        const String key = EntryKey(value);
        if (std::find(keys.begin(), keys.end(), key) != keys.end() || !Util::File(Path(value)).Exists()) continue;
        files.push_back(value);
        keys.push_back(key);
    }
    return files;
}

void AddRecentFile(Settings& settings, const Path& path) {
    std::vector<String> files = LoadRecentFiles(settings);
    const String key = EntryKey(path.Text());
    std::erase_if(files, [&](const String& file) { return EntryKey(file) == key; });
    files.insert(files.begin(), path.ToNative());
    if (files.size() > MaxRecentFiles) files.resize(MaxRecentFiles);
    for (unsigned i = 0; i < files.size(); ++i) settings.SetString(RecentKey(i + 1), files[i]);
    // The list can be shorter than the keys stored (gaps, files gone, second spellings):
    // the keys past its end would otherwise be read back behind it.
    for (unsigned n = unsigned(files.size()) + 1; n <= MaxRecentFiles; ++n) settings.Remove(RecentKey(n));
}

String RecentFileName(const String& entry) {
    const LastSlash split = SplitAtLastSlash(entry);
    return String(split.at == std::string::npos ? split.text : split.text.substr(split.at + 1));
}

String LastFolderOf(const Path& file) {
    const LastSlash split = SplitAtLastSlash(file.Text());
    return Path(String(split.at == std::string::npos ? "." : split.text.substr(0, split.at + 1))).NativeKey();
}

}  // namespace UI
