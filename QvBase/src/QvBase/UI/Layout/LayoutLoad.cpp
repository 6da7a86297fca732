#include <QvBase/UI/Layout/Layout.h>

#include <QvBase/UI/Widgets/Window.h>
#include <QvBase/Util/Path.h>
#include <QvBase/Util/ResourceArchive.h>

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>

namespace UI {

namespace {

const char* const RootName = "QvCanvasLayout-1";

// Position just past the first `end` at or after `from`, or the end of the text.
std::size_t After(const std::string& text, std::size_t from, const char* end) {
    const std::size_t found = text.find(end, from);
    return found == std::string::npos ? text.size() : found + std::char_traits<char>::length(end);
}

// Position just past the '>' (or "?>") that ends a tag begun before `from`; quoted values
// are skipped, so a '>' or "/>" inside one ends nothing. Sets `selfClosed` for "/>".
std::size_t AfterTag(const std::string& text, std::size_t from, bool& selfClosed) {
    selfClosed = false;
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            const std::size_t close = text.find(c, i + 1);
            if (close == std::string::npos) return text.size();
            i = close;
        } else if (c == '>') {
            selfClosed = i > from && text[i - 1] == '/';
            return i + 1;
        }
    }
    return text.size();
}

bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// Position just past an XML declaration begun at `from`, or npos when it is not plain
// name="value" pairs: the parser honours quotes in some of its values and not in others,
// so only a declaration both readings end at the same '>' is let through.
std::size_t AfterDeclaration(const std::string& text, std::size_t from) {
    std::size_t i = from + 5;
    while (i < text.size()) {
        while (i < text.size() && IsSpace(text[i])) ++i;
        if (i < text.size() && text[i] == '>') return i + 1;
        if (text.compare(i, 2, "?>") == 0) return i + 2;
        const std::size_t name = i;
        while (i < text.size() &&
            (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_' || text[i] == ':' || text[i] == '.' ||
                text[i] == '-'))
            ++i;
        if (i == name || i + 1 >= text.size() || text[i] != '=' || (text[i + 1] != '"' && text[i + 1] != '\''))
            return std::string::npos;
        const char quote = text[i + 1];
        i += 2;
        while (i < text.size() && text[i] != quote) {
            const char c = text[i];
            if (c == '"' || c == '\'' || c == '<' || c == '>' || c == '=' || IsSpace(c)) return std::string::npos;
            ++i;
        }
        if (i >= text.size()) return std::string::npos;
        ++i;
        if (i < text.size() && !IsSpace(text[i]) && text[i] != '>' && text[i] != '?') return std::string::npos;
    }
    return std::string::npos;
}

// An upper bound of the element nesting, found without parsing: the parser recurses once
// per level, so a hostile document must not reach it. Only real closing tags and "/>" that
// end a tag lower the count; marks inside values, text, comments and character data do not.
int NestingBound(const std::string& text) {
    int depth = 0, deepest = 0;
    std::size_t i = text.find('<');
    while (i != std::string::npos && i + 1 < text.size()) {
        const unsigned char next = static_cast<unsigned char>(text[i + 1]);
        bool selfClosed = false;
        if (text.compare(i, 4, "<!--") == 0) {
            i = After(text, i + 4, "-->");
        } else if (text.compare(i, 9, "<![CDATA[") == 0) {
            i = After(text, i + 9, "]]>");
        } else if (text.size() - i >= 5 && text.compare(i, 2, "<?") == 0 &&
            std::tolower(static_cast<unsigned char>(text[i + 2])) == 'x' &&
            std::tolower(static_cast<unsigned char>(text[i + 3])) == 'm' &&
            std::tolower(static_cast<unsigned char>(text[i + 4])) == 'l') {
            i = AfterDeclaration(text, i);
            if (i == std::string::npos) return std::numeric_limits<int>::max();
        } else if (next == '!' || next == '?') {
            i = After(text, i + 2, ">");
        } else if (next == '/') {
            depth = std::max(depth - 1, 0);
            i = After(text, i + 2, ">");
        } else if (std::isalpha(next) || next == '_' || next >= 0x80) {
            i = AfterTag(text, i + 1, selfClosed);
            if (!selfClosed) deepest = std::max(deepest, ++depth);
        } else {
            // Anything else is read up to the next '>' as an unknown node.
            i = After(text, i + 1, ">");
        }
        i = text.find('<', i);
    }
    return deepest;
}

// Missing reads as 0; anything but a whole decimal number within the limits is refused.
std::optional<int> Coordinate(const TiXmlElement& e, const char* name, bool isSize) {
    const String text = LayoutAttribute(e, name);
    if (text.IsEmpty()) return 0;
    const char* begin = text.CStr();
    const char* end = begin + text.Length();
    if (*begin == '+') ++begin;
    int value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    if (value > LayoutMaxCoordinate || value < (isSize ? 0 : -LayoutMaxCoordinate)) return std::nullopt;
    return value;
}

// Applies the element's geometry; false when a value is refused (nothing is changed then).
bool ApplyGeometry(const TiXmlElement& e, Window& w) {
    const std::optional<int> x = Coordinate(e, "X", false), y = Coordinate(e, "Y", false);
    const std::optional<int> width = Coordinate(e, "Width", true), height = Coordinate(e, "Height", true);
    if (!x || !y || !width || !height) return false;
    w.SetGeometry(*x, *y, *width, *height);
    return true;
}

void ApplyElement(const TiXmlElement& e, Window& w) {
    const TiXmlNode* first = e.FirstChild();
    const TiXmlText* nameNode = first ? first->ToText() : nullptr;
    if (!nameNode || !nameNode->Value() || !*nameNode->Value()) return;
    Window* child = w.FindChild(String(nameNode->Value()));
    if (!child) return;
    if (!LayoutAttribute(e, "X").IsEmpty()) {
        if (!ApplyGeometry(e, *child)) return;
        child->SetLayoutRect(child->GetRect());
        if (!(LayoutAttribute(e, "Type") == child->ClassName())) return;
    }
    for (const TiXmlElement* sub = e.FirstChildElement(); sub; sub = sub->NextSiblingElement())
        ApplyElement(*sub, *child);
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size == 0 || size > LayoutMaxBytes) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(size, '\0');
    if (!in.read(text.data(), std::streamsize(size))) return std::nullopt;
    return text;
}

std::optional<std::string> ReadMember(const String& name) {
    const void* data = nullptr;
    std::uint32_t size = 0;
    ResourceArchive::Instance().Find(name, data, size);
    if (!data || size == 0 || size > LayoutMaxBytes) return std::nullopt;
    return std::string(static_cast<const char*>(data), size);
}

bool ApplyDocument(const std::string& text, Window& window) {
    // Text past an embedded NUL is not part of the document.
    const std::string document(text.c_str());
    if (document.empty() || NestingBound(document) > LayoutMaxDepth) return false;
    TiXmlDocument doc;
    doc.Parse(document.c_str());
    if (doc.Error()) return false;
    const TiXmlElement* root = doc.RootElement();
    if (!root || !root->Value() || std::string(root->Value()) != RootName) return false;
    if (!LayoutAttribute(*root, "X").IsEmpty()) ApplyGeometry(*root, window);
    for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) ApplyElement(*e, window);
    return true;
}

}  // namespace

bool ApplyLayoutText(const String& text, Window* window) { return window && ApplyDocument(text.CStr(), *window); }

bool LoadLayout(const String& directory, const String& fileName, Window* window) {
    if (!window) return false;
    std::optional<std::string> text;
    if (!directory.IsEmpty()) {
        const std::string path = Path(directory + fileName).ToNative().CStr();
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) {
            text = ReadFile(path);
            if (!text) return false;
        }
    }
    if (!text) text = ReadMember(fileName);
    return text && ApplyDocument(*text, *window);
}

}  // namespace UI
