#include <QvBase/Util/String.h>
#include <QvBase/Util/WString.h>

#include <Platform/Text/Utf16.h>

#include <string>

namespace {

char16_t* SingleTerminator() { return new char16_t[1]{0}; }

}  // namespace

WString::WString() : m_text(SingleTerminator()), m_count(new int(1)) {}

WString::WString(char16_t* ownedText) : m_text(ownedText), m_count(new int(1)) {}

WString::WString(const WString& other) : m_text(other.m_text), m_count(other.m_count) { ++*m_count; }

WString& WString::operator=(const WString& other) {
    if (this == &other || m_count == other.m_count) return *this;
    ++*other.m_count;
    Release();
    m_text = other.m_text;
    m_count = other.m_count;
    return *this;
}

WString::~WString() { Release(); }

void WString::Release() {
    if (--*m_count == 0) {
        delete[] m_text;
        delete m_count;
    }
}

uint WString::Length() const { return static_cast<uint>(std::char_traits<char16_t>::length(m_text)); }

WString String::ToWide() const {
    const char* text = CStr();
    const std::size_t needed = Platform::Text::NarrowToUtf16(text, -1, nullptr, 0);
    if (needed < 1) return WString();
    auto* units = new char16_t[needed + 1];
    if (Platform::Text::NarrowToUtf16(text, -1, units, needed) != needed) {
        delete[] units;
        return WString();
    }
    units[needed] = 0;
    return WString(units);
}
