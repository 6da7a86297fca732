#include <QvBase/Util/CharClass.h>
#include <QvBase/Util/String.h>

using Util::FoldAsciiCase;
using Util::IsWhiteSpace;

namespace {

bool SameChar(char a, char b, bool caseSensitive) {
    return caseSensitive ? a == b : FoldAsciiCase(a) == FoldAsciiCase(b);
}

}  // namespace

std::optional<uint> String::Find(char c, uint from, bool caseSensitive) const {
    const uint length = Length();
    for (uint i = from; i < length; ++i)
        if (SameChar(At(i), c, caseSensitive)) return i;
    return std::nullopt;
}

std::optional<uint> String::FindLast(char c, std::optional<uint> start, bool caseSensitive) const {
    const uint length = Length();
    if (length == 0) return std::nullopt;
    const uint first = start.value_or(length - 1);
    if (first >= length) return std::nullopt;
    for (uint i = first + 1; i-- > 0;)
        if (SameChar(At(i), c, caseSensitive)) return i;
    return std::nullopt;
}

String String::Left(uint n) const {
    if (!m_text) return String();
    return String(m_text->substr(0, n));
}

String String::Right(uint n) const {
    if (!m_text) return String();
    const std::size_t length = m_text->size();
    return String(n >= length ? *m_text : m_text->substr(length - n));
}

String String::Mid(uint pos, std::optional<uint> count) const {
    if (pos >= Length()) return String();
    return count ? String(m_text->substr(pos, *count)) : String(m_text->substr(pos));
}

String String::ToLower() const {
    if (!m_text) return String();
    std::string lowered(*m_text);
    for (char& c : lowered) c = FoldAsciiCase(c);
    return String(lowered);
}

String String::Replace(char from, char to) const {
    if (!m_text) return String();
    std::string replaced(*m_text);
    for (char& c : replaced)
        if (c == from) c = to;
    return String(replaced);
}

String String::Replace(const String& what, const String& with) const {
    if (IsEmpty() || what.IsEmpty()) return *this;
    const std::string_view text(CStr(), Length());
    const std::string_view needle(what.CStr(), what.Length());
    std::string result;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, needle.size(), needle) == 0) {
            result.append(with.CStr(), with.Length());
            i += needle.size();
        } else {
            result += text[i++];
        }
    }
    return String(result);
}

String String::Trim() const {
    const uint length = Length();
    if (length == 0 || (!IsWhiteSpace(At(0)) && !IsWhiteSpace(At(length - 1)))) return *this;
    uint first = 0;
    while (first < length && IsWhiteSpace(At(first))) ++first;
    uint end = length;
    while (end > first && IsWhiteSpace(At(end - 1))) --end;
    return String(m_text->substr(first, end - first));
}

String String::Simplify() const {
    if (IsEmpty()) return *this;
    std::string result;
    const uint length = Length();
    for (uint i = 0; i < length;) {
        while (i < length && IsWhiteSpace(At(i))) ++i;
        if (i == length) break;
        while (i < length && !IsWhiteSpace(At(i))) result += At(i++);
        result += ' ';
    }
    if (!result.empty()) result.pop_back();
    return String(result);
}

void String::Split(char separator, std::vector<String>& out) const {
    out.clear();
    const uint length = Length();
    uint pieceStart = 0;
    for (uint i = 0; i < length; ++i) {
        if (At(i) == separator) {
            out.push_back(String(m_text->substr(pieceStart, i - pieceStart)));
            pieceStart = i + 1;
        }
    }
    if (out.empty()) {
        out.push_back(*this);
        return;
    }
    out.push_back(String(m_text->substr(pieceStart)));
}

String String::Join(const String& separator, const std::vector<String>& parts) {
    if (parts.empty()) return String();
    std::string result;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) result.append(separator.CStr(), separator.Length());
        result.append(parts[i].CStr(), parts[i].Length());
    }
    return String(result);
}

bool String::StartsWith(const String& prefix, bool caseSensitive) const {
    if (prefix.Length() > Length()) return false;
    const String slice = Left(prefix.Length());
    return caseSensitive ? slice == prefix : slice.ToLower() == prefix.ToLower();
}

bool String::EndsWith(const String& suffix, bool caseSensitive) const {
    if (suffix.Length() > Length()) return false;
    const String slice = Right(suffix.Length());
    return caseSensitive ? slice == suffix : slice.ToLower() == suffix.ToLower();
}
