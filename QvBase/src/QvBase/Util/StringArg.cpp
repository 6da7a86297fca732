#include <QvBase/Util/CharClass.h>
#include <QvBase/Util/String.h>

String String::Arg(const String& a) const {
    const uint length = Length();
    if (length == 0) return a;
    std::optional<uint> marker;
    char markerDigit = 0;
    for (uint i = 0; i + 1 < length; ++i) {
        const char next = At(i + 1);
        if (At(i) == '%' && Util::IsDecimalDigit(next) && (!marker || next < markerDigit)) {
            marker = i;
            markerDigit = next;
        }
    }
    if (!marker) return *this + a;
    std::string result(CStr(), *marker);
    result.append(a.CStr(), a.Length());
    result.append(CStr() + *marker + 2, length - *marker - 2);
    return String(result);
}

String String::Arg(const char* a) const { return Arg(String(a)); }
String String::Arg(char c) const { return Arg(String(c)); }

String String::Arg(int v, int radix) const {
    return Arg(radix == 16 ? StringFromUInt(static_cast<uint>(v), 16) : StringFromInt(v, radix));
}

String String::Arg(uint v, int radix) const { return Arg(StringFromUInt(v, radix)); }
String String::Arg(short v, int radix) const { return Arg(StringFromInt(v, radix)); }
String String::Arg(ushort v, int radix) const { return Arg(StringFromInt(v, radix)); }

String String::Arg(long v, int radix) const { return Arg(static_cast<long long>(v), radix); }

String String::Arg(unsigned long v, int radix) const { return Arg(StringFromUInt64(v, radix)); }

String String::Arg(long long v, int radix) const {
    return Arg(radix == 16 ? StringFromUInt64(static_cast<unsigned long long>(v), 16) : StringFromInt64(v, radix));
}

String String::Arg(unsigned long long v, int radix) const { return Arg(StringFromUInt64(v, radix)); }

String String::Arg(float v, int precision, char form) const {
    return Arg(Number(static_cast<double>(v), precision, form));
}

String String::Arg(double v, int precision, char form) const { return Arg(Number(v, precision, form)); }
