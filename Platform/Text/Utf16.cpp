#include <Platform/Text/Utf16.h>

#include <cstring>

namespace Platform::Text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at `p`, advancing it; invalid input yields U+FFFD and
// consumes the longest prefix that could have started a valid sequence.
char32_t DecodeOne(const unsigned char*& p, const unsigned char* end) {
    const unsigned char lead = *p++;
    if (lead < 0x80) return lead;

    int extra = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        cp = lead & 0x07;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
    } else {
        return kReplacement;
    }
    for (int i = 0; i < extra; ++i) {
        if (p == end || *p < lo || *p > hi) return kReplacement;
        cp = (cp << 6) | (*p++ & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    return cp;
}

}  // namespace

std::size_t NarrowToUtf16(const char* in, std::ptrdiff_t inLength, char16_t* out, std::size_t outCapacity) {
    if (in == nullptr) return 0;
    const std::size_t length = inLength < 0 ? std::strlen(in) + 1 : static_cast<std::size_t>(inLength);
    const auto* p = reinterpret_cast<const unsigned char*>(in);
    const auto* end = p + length;
    const bool measuring = out == nullptr || outCapacity == 0;

    std::size_t units = 0;
    while (p < end) {
        const char32_t cp = DecodeOne(p, end);
        const std::size_t need = cp >= 0x10000 ? 2 : 1;
        if (!measuring) {
            if (units + need > outCapacity) return 0;
            if (need == 2) {
                out[units] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
                out[units + 1] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            } else {
                out[units] = static_cast<char16_t>(cp);
            }
        }
        units += need;
    }
    return units;
}

}  // namespace Platform::Text
