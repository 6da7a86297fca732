#include <QvBase/Object/Signature.h>

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsPunctuation(char c) { return c == ',' || c == '(' || c == ')'; }

}  // namespace

std::string NormalizeSignature(const char* text) {
    if (!text || (text[0] != '1' && text[0] != '2')) return std::string();
    std::string result(1, text[0]);
    std::size_t end = std::strlen(text);
    std::size_t i = 1;
    while (i < end && IsBlank(text[i])) ++i;
    while (end > i && IsBlank(text[end - 1])) --end;
    for (; i < end; ++i) {
        const char c = text[i];
        if (i == end - 1) {
            result += c;
            break;
        }
        const char next = text[i + 1];
        if (IsBlank(c)) {
            if (!IsBlank(next) && !IsPunctuation(next)) result += c;
        } else {
            result += c;
            if (IsPunctuation(c) && IsBlank(next)) ++i;
        }
    }
    return result;
}

bool SignaturesCompatible(const char* signal, const char* member) {
    if (!signal || !member) return false;
    const char* s = std::strchr(signal, '(');
    const char* m = std::strchr(member, '(');
    if (!s || !m) return false;
    ++s;
    ++m;
    if (std::strcmp(m, ")") == 0 || std::strcmp(s, m) == 0) return true;
    const std::size_t sLength = std::strlen(s);
    const std::size_t mLength = std::strlen(m);
    if (mLength >= sLength || mLength == 0) return false;
    if (std::strncmp(s, m, mLength - 1) != 0) return false;
    return s[mLength - 1] == ',';
}
