// The pure text functions of Path: no file system, no environment.
#include <QvBase/Util/Path.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

std::string ToStd(const String& text) { return std::string(text.CStr(), text.Length()); }

// A text without its trailing separators, and the place of its last separator (npos: none).
struct SplitText {
    std::string text;
    std::string::size_type at;
};

SplitText AtLastSeparator(const String& text, std::string_view separators) {
    std::string trimmed = ToStd(text);
    while (!trimmed.empty() && separators.find(trimmed.back()) != std::string_view::npos) trimmed.pop_back();
    const auto at = trimmed.find_last_of(separators);
    return {std::move(trimmed), at};
}

constexpr std::string_view kBothSeparators = "/\\";
constexpr std::string_view kNativeSeparator = "/";

bool HasDriveColon(const std::string& text) { return text.size() >= 2 && text[1] == ':'; }

// A drive form such as "c:" standing first.
bool IsDrive(const std::string& component) { return component.size() == 2 && component[1] == ':'; }

}  // namespace

String Path::ToForwardSlashes(const String& text) { return text.Replace('\\', '/'); }

String Path::ToBackslashes(const String& text) { return text.Replace('/', '\\'); }

bool Path::IsRelative(const String& text) { return !text.IsEmpty() && text.At(0) != '/'; }

String Path::FileNameOf(const String& text) {
    const auto [trimmed, separator] = AtLastSeparator(text, kBothSeparators);
    if (separator != std::string::npos) return String(trimmed.substr(separator + 1));
    if (HasDriveColon(trimmed)) return String(trimmed.substr(2));
    return String(trimmed);
}

String Path::DirectoryOf(const String& text) {
    const auto [trimmed, separator] = AtLastSeparator(text, kBothSeparators);
    if (separator == std::string::npos)
        return HasDriveColon(trimmed) ? String(trimmed.substr(0, 2) + "/") : String(".");
    if (separator == 0) return "/";
    if (separator == 2 && trimmed[1] == ':') return String(trimmed.substr(0, 3));
    return String(trimmed.substr(0, separator));
}

String Path::NativeFileNameOf(const String& text) {
    const auto [trimmed, separator] = AtLastSeparator(text, kNativeSeparator);
    return String(separator == std::string::npos ? trimmed : trimmed.substr(separator + 1));
}

String Path::NativeDirectoryOf(const String& text) {
    const auto [trimmed, separator] = AtLastSeparator(text, kNativeSeparator);
    if (separator == std::string::npos) return ".";
    return separator == 0 ? String("/") : String(trimmed.substr(0, separator));
}

String Path::ExtensionOf(const String& text) {
    const std::optional<uint> dot = text.FindLast('.');
    return dot ? text.Mid(*dot + 1) : String("");
}

String Path::Collapse(const String& text) {
    if (text.IsEmpty()) return text;
    return CollapseNative(ToForwardSlashes(text));
}

String Path::CollapseNative(const String& text) {
    if (text.IsEmpty()) return text;
    std::string path = ToStd(text);
    while (path.size() > 1 && path.back() == '/') path.pop_back();

    // A leading "//" (a network form) stays; every other run of "/" becomes one.
    const std::size_t kept = path.size() >= 2 && path.compare(0, 2, "//") == 0 ? 2 : 0;
    std::string squeezed = path.substr(0, kept);
    for (std::size_t i = kept; i < path.size(); ++i) {
        if (path[i] == '/' && squeezed.size() > kept && squeezed.back() == '/') continue;
        squeezed += path[i];
    }

    std::vector<std::string> components;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = squeezed.find('/', start);
        components.push_back(squeezed.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }

    // ".." cancels an ordinary name only. After the root (or a drive) it is dropped:
    // nothing lies above. After "." or ".." it stays.
    for (std::size_t i = 1; i < components.size();) {
        if (components[i] != "..") {
            ++i;
            continue;
        }
        const std::string& previous = components[i - 1];
        const bool isRoot = previous.empty() || (i - 1 == 0 && IsDrive(previous));
        if (isRoot) {
            components.erase(components.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (previous == "." || previous == "..") {
            ++i;
        } else {
            components.erase(components.begin() + static_cast<std::ptrdiff_t>(i - 1),
                components.begin() + static_cast<std::ptrdiff_t>(i + 1));
            --i;
            if (i == 0) i = 1;
        }
    }

    if (components.size() == 1 && components[0].empty()) return "/";
    std::string joined;
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0) joined += '/';
        joined += components[i];
    }
    return String(joined);
}

namespace {

std::string EndingInOneSeparator(std::string normal) {
    normal += '/';
    while (normal.size() >= 2 && normal.compare(normal.size() - 2, 2, "//") == 0) normal.pop_back();
    return normal;
}

}  // namespace

String Path::Normalize(const String& text) { return String(EndingInOneSeparator(ToStd(Collapse(text)))); }

String Path::NormalizeNative(const String& text) { return String(EndingInOneSeparator(ToStd(CollapseNative(text)))); }
