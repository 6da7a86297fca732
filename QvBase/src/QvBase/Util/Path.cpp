#include <QvBase/Util/Path.h>

#include <Platform/Kernel/Environment.h>
#include <Platform/Kernel/FileStatus.h>

#include <sstream>
#include <string>

Path::Path(const String& text) { Set(text); }

void Path::Set(const String& text) { m_strText = text.Trim().IsEmpty() ? String("") : Expand(text); }

String Path::FileName() const { return FileNameOf(m_strText); }

String Path::Extension() const { return ExtensionOf(FileNameOf(m_strText)); }

String Path::Expand(const String& text) {
    const String expanded = text == "~" ? String("~/") : text;
    if (expanded.StartsWith("~/") || expanded.StartsWith("~\\")) {
        const std::optional<std::string> home = Platform::Kernel::EnvironmentVariable("HOME");
        const String base = home ? String(*home) + "/" : String("/");
        return base + expanded.Mid(2);
    }
    if (IsRelative(expanded)) {
        String base("/");
        if (const std::optional<std::string> current = Platform::Kernel::CurrentDirectory())
            base = current->ends_with('/') ? String(*current) : String(*current) + "/";
        return base + expanded;
    }
    return expanded;
}

String Path::LongPathName(const String& text) {
    std::string trimmed(text.CStr(), text.Length());
    while (!trimmed.empty() && trimmed.back() == '/') trimmed.pop_back();
    if (trimmed.empty()) return text;
    const std::optional<std::string> longForm = Platform::Kernel::LongPathName(trimmed.c_str());
    return longForm ? String(*longForm) : text;
}

String Path::NativeKey() const { return NormalizeNative(LongPathName(m_strText)); }

String Path::SpellingKey() const {
    std::string plain;
    std::istringstream parts(std::string(m_strText.CStr(), m_strText.Length()));
    for (std::string part; std::getline(parts, part, '/');)
        if (!part.empty() && part != ".") plain += "/" + part;
    return NormalizeNative(LongPathName(String(plain.empty() ? "/" : plain)));
}

String Path::ToNative() const {
    const String longForm = LongPathName(m_strText);
    String native = NormalizeNative(longForm);
    // It ends in "/"; only the root keeps it, and an empty path stays empty.
    if (native.Length() > 1)
        native.Truncate(native.Length() - 1);
    else if (CollapseNative(longForm).IsEmpty())
        native = "";
    return native;
}

bool operator==(const Path& a, const Path& b) {
    const String normalA = Path::Normalize(a.Text());
    const String normalB = Path::Normalize(b.Text());
    if (normalA == normalB) return true;
    return Path::Normalize(Path::LongPathName(normalA)) == Path::Normalize(Path::LongPathName(normalB));
}
