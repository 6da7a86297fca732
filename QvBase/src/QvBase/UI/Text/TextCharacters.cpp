#include <QvBase/UI/Text/TextCharacters.h>

namespace UI {

namespace {

constexpr char32_t Replacement = 0xFFFD;

// The next character of UTF-8 text; a byte that starts no valid sequence reads as U+FFFD
// and moves on by one byte.
char32_t NextCharacter(const unsigned char*& at) {
    const unsigned char lead = *at++;
    if (lead < 0x80) return lead;
    int extra;
    char32_t code, minimum;
    if (lead >= 0xC2 && lead <= 0xDF)
        extra = 1, code = lead & 0x1F, minimum = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        extra = 2, code = lead & 0x0F, minimum = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        extra = 3, code = lead & 0x07, minimum = 0x10000;
    else
        return Replacement;
    for (int i = 0; i < extra; ++i) {
        if ((at[i] & 0xC0) != 0x80) return Replacement;
        code = (code << 6) | (at[i] & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return Replacement;
    at += extra;
    return code;
}

}  // namespace

std::vector<char32_t> DecodeCharacters(const char* text) {
    std::vector<char32_t> codes;
    if (!text) return codes;
    for (auto* at = reinterpret_cast<const unsigned char*>(text); *at;) codes.push_back(NextCharacter(at));
    return codes;
}

}  // namespace UI
