#include <QvBase/Util/CharClass.h>
#include <QvBase/Util/String.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>

namespace {

const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

int EffectiveRadix(int radix) { return (radix < 2 || radix > 36) ? 10 : radix; }

std::string FormatMagnitude(unsigned long long v, int radix, bool negative) {
    const auto base = static_cast<unsigned long long>(EffectiveRadix(radix));
    char buffer[72];
    char* end = buffer + sizeof buffer;
    char* p = end;
    do {
        *--p = kDigits[v % base];
        v /= base;
    } while (v != 0);
    if (negative) *--p = '-';
    return std::string(p, end);
}

std::string FormatSigned(long long v, int radix) {
    // Negating in unsigned arithmetic keeps the most negative value exact.
    const bool negative = v < 0;
    const auto magnitude = negative ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    return FormatMagnitude(magnitude, radix, negative);
}

// Value of c as a digit of the radix, or -1.
int DigitValue(char c, int radix) {
    int value = -1;
    if (Util::IsDecimalDigit(c))
        value = c - '0';
    else if (c >= 'a' && c <= 'z')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'Z')
        value = c - 'A' + 10;
    return value < radix ? value : -1;
}

char FormChar(char form) {
    switch (form) {
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G': return form;
    default: return 'f';
    }
}

}  // namespace

String StringFromUInt(uint v, int radix) { return String(FormatMagnitude(v, radix, false)); }

String StringFromInt(int v, int radix) { return String(FormatSigned(v, radix)); }

String StringFromUInt64(unsigned long long v, int radix) { return String(FormatMagnitude(v, radix, false)); }

String StringFromInt64(long long v, int radix) { return String(FormatSigned(v, radix)); }

String String::Number(int v, int radix) { return StringFromInt(v, radix); }
String String::Number(uint v, int radix) { return StringFromUInt(v, radix); }
String String::Number(long v, int radix) { return StringFromInt64(v, radix); }
String String::Number(unsigned long v, int radix) { return StringFromUInt64(v, radix); }
String String::Number(long long v, int radix) { return StringFromInt64(v, radix); }
String String::Number(unsigned long long v, int radix) { return StringFromUInt64(v, radix); }

// Same text as printf("%.<precision><form>") in the "C" locale, whatever the
// process locale is.
String String::Number(double v, int precision, char form) {
    const char f = FormChar(form);
    const int digits = precision == -1 ? 6 : static_cast<int>(std::min(static_cast<uint>(precision), 99u));
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(f)));
    const std::chars_format format = lower == 'f' ? std::chars_format::fixed
        : lower == 'e'                            ? std::chars_format::scientific
                                                  : std::chars_format::general;
    char buffer[1024];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, v, format, digits);
    std::string text(buffer, result.ec == std::errc() ? result.ptr : buffer);
    if (f != lower)
        for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return String(text);
}

int StringToInt(bool* ok, int radix, const String& s) {
    if (ok) *ok = false;
    if (radix < 2 || radix > 36) return 0;
    const char* p = s.CStr();
    const char* end = p + s.Length();
    while (p < end && Util::IsWhiteSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    if (p == end || DigitValue(*p, radix) < 0) return 0;

    const unsigned int limit = UINT_MAX / static_cast<unsigned>(radix);
    const unsigned int lastDigit = UINT_MAX % static_cast<unsigned>(radix);
    unsigned int value = 0;
    for (int digit; p < end && (digit = DigitValue(*p, radix)) >= 0; ++p) {
        if (value > limit || (value == limit && static_cast<unsigned>(digit) > lastDigit)) return 0;
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
    }
    while (p < end && Util::IsWhiteSpace(*p)) ++p;
    if (p != end) return 0;
    if (value > (negative ? 0x80000000u : 0x7FFFFFFFu)) return 0;
    if (ok) *ok = true;
    return negative ? static_cast<int>(0u - value) : static_cast<int>(value);
}

// Both '.' and ',' are read as the decimal point; nothing else may surround the
// number. Values beyond the range of a double fail rather than turn into infinity.
double StringToDouble(bool* ok, const String& s) {
    if (ok) *ok = false;
    if (s.IsEmpty()) return 0.0;
    std::string text(s.CStr(), s.Length());
    std::replace(text.begin(), text.end(), ',', '.');
    const char* first = text.data();
    const char* last = first + text.size();
    if (*first == '+' && last - first > 1 && first[1] != '-') ++first;
    double value = 0.0;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last) return 0.0;
    if (ok) *ok = true;
    return value;
}

int String::ToInt(bool* ok, int radix) const { return StringToInt(ok, radix, *this); }

double String::ToDouble(bool* ok) const { return StringToDouble(ok, *this); }
