#include <QvBase/UI/Dialog/Utf8Text.h>

#include <Platform/Text/Utf8.h>

namespace UI {

std::u32string DecodeUtf8(const std::string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool valid = extra >= 0 && i + std::size_t(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const unsigned char f = static_cast<unsigned char>(text[i + std::size_t(k)]);
            if ((f & 0xC0) != 0x80) valid = false;
            c = (c << 6) | (f & 0x3F);
        }
        if (valid && extra > 0) {
            static constexpr char32_t least[] = {0, 0x80, 0x800, 0x10000};
            if (c < least[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) valid = false;
        }
        if (!valid) {
            out.push_back(0xFFFD);
            ++i;
        } else {
            out.push_back(c);
            i += std::size_t(extra) + 1;
        }
    }
    return out;
}

std::string EncodeUtf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        Platform::Text::AppendUtf8(out, c);
    }
    return out;
}

}  // namespace UI
