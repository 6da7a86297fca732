#include <QvBase/UI/Dialog/OpenFileDialog.h>

#include <string>

namespace UI {

namespace {

// Splits at the first newline; the rest is empty when there is none.
std::string TakeLine(std::string& text) {
    const std::size_t end = text.find('\n');
    std::string line = text.substr(0, end);
    text = end == std::string::npos ? std::string() : text.substr(end + 1);
    return line;
}

// At most `limit` bytes, backing off so that no UTF-8 character is cut in two.
std::string CutToCharacters(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

}  // namespace

std::vector<Platform::Gui::FileFilter> OpenFileFilters(const String& descriptions, const String& patterns) {
    std::vector<Platform::Gui::FileFilter> filters;
    std::string d = descriptions.CStr();
    std::string p = patterns.CStr();
    while (!d.empty()) {
        Platform::Gui::FileFilter f;
        f.description = TakeLine(d);
        f.patterns = TakeLine(p);
        filters.push_back(std::move(f));
    }
    return filters;
}

Platform::Gui::OpenFileRequest MakeOpenFileRequest(const Path& initialFolder, const String& initialName,
    const String& descriptions, const String& patterns, int filterIndex, const String& title,
    Platform::Gui::WindowId owner) {
    Platform::Gui::OpenFileRequest request;
    request.owner = owner;
    request.title = title.CStr();
    request.filters = OpenFileFilters(descriptions, patterns);
    // An index the list does not have selects the first entry.
    const bool inRange = filterIndex >= 0 && std::size_t(filterIndex) < request.filters.size();
    request.filterIndex = inRange ? filterIndex : 0;
    request.initialName = CutToCharacters(initialName.CStr(), OpenFileNameLimit);
    if (!initialFolder.IsEmpty()) request.initialFolder = initialFolder.ToNative().CStr();
    return request;
}

Path GetOpenFileName(const Path& initialFolder, const String& initialName, const String& descriptions,
    const String& patterns, int filterIndex, const String& title, Platform::Gui::WindowId owner) {
    const Platform::Gui::OpenFileRequest request =
        MakeOpenFileRequest(initialFolder, initialName, descriptions, patterns, filterIndex, title, owner);
    const std::optional<std::string> chosen = Platform::Gui::Current().ChooseFileToOpen(request);
    if (!chosen || chosen->empty()) return Path();
    return Path(String(*chosen));
}

}  // namespace UI
