#include <QvBase/UI/Layout.h>

#include <QvBase/UI/Window.h>
#include <QvBase/Util/Path.h>
#include <QvBase/Util/ResourceArchive.h>

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace UI {

namespace {

const char* const RootName = "QvCanvasLayout-1";

// An upper bound of the element nesting, found without parsing: the parser recurses once
// per level, so a hostile document must not reach it.
int NestingBound(const std::string& text) {
    int depth = 0, deepest = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '<') {
            const unsigned char next = static_cast<unsigned char>(text[i + 1]);
            if (next == '/') {
                --depth;
            } else if (std::isalpha(next) || next == '_' || next >= 0x80) {
                deepest = std::max(deepest, ++depth);
            }
        } else if (text[i] == '/' && text[i + 1] == '>') {
            --depth;
        }
        if (depth < 0) depth = 0;
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

bool ApplyLayoutText(const String& text, Window* window) {
    return window && ApplyDocument(text.CStr(), *window);
}

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
