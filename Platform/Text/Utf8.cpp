#include <Platform/Text/Utf8.h>

namespace Platform::Text {

char32_t NextUtf8(const unsigned char*& at, const unsigned char* end) {
    const unsigned char lead = *at++;
    if (lead < 0x80) return lead;

    int extra = 0;
    char32_t code = 0;
    // The range of the first continuation byte rules out overlong forms, surrogates and
    // values past U+10FFFF, so a sequence is cut at the first byte that makes it invalid.
    unsigned char lo = 0x80, hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        code = lead & 0x0F;
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        code = lead & 0x07;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
    } else {
        return kReplacementCharacter;
    }
    for (int i = 0; i < extra; ++i) {
        if (at == end || *at < lo || *at > hi) return kReplacementCharacter;
        code = (code << 6) | (*at++ & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    return code;
}

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    const auto* at = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = at + text.size();
    while (at < end) out.push_back(NextUtf8(at, end));
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacementCharacter;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) AppendUtf8(out, c);
    return out;
}

std::string ValidUtf8(std::string_view text) { return EncodeUtf8(DecodeUtf8(text)); }

}  // namespace Platform::Text
