#include <Platform/Text/Utf16.h>

#include <Platform/Text/Utf8.h>

#include <cstring>

namespace Platform::Text {

std::size_t NarrowToUtf16(const char* in, std::ptrdiff_t inLength, char16_t* out, std::size_t outCapacity) {
    if (in == nullptr) return 0;
    const std::size_t length = inLength < 0 ? std::strlen(in) + 1 : static_cast<std::size_t>(inLength);
    const auto* p = reinterpret_cast<const unsigned char*>(in);
    const auto* end = p + length;
    const bool measuring = out == nullptr || outCapacity == 0;

    std::size_t units = 0;
    while (p < end) {
        const char32_t cp = NextUtf8(p, end);
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
