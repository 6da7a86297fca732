#include <QvBase/Util/String.h>

#include <string_view>

namespace {
const char kEmptyText[] = "";
}

String::String() : m_text(nullptr), m_count(new int(1)) {}

String::String(const char* text) : m_text(text ? new std::string(text) : nullptr), m_count(new int(1)) {}

String::String(const String& other) : m_text(other.m_text), m_count(other.m_count) { ++*m_count; }

String::String(char c) : m_text(new std::string(1, c)), m_count(new int(1)) {}

String::String(const std::string& text) : m_text(new std::string(text)), m_count(new int(1)) {}

String::~String() { Release(); }

void String::Release() {
    if (--*m_count == 0) {
        delete m_text;
        delete m_count;
    }
}

String& String::operator=(const String& other) {
    if (this == &other || m_count == other.m_count) return *this;
    ++*other.m_count;
    Release();
    m_text = other.m_text;
    m_count = other.m_count;
    return *this;
}

String& String::operator=(const char* text) { return *this = String(text); }

void String::SetText(std::string* text) {
    if (text == m_text) return;
    if (--*m_count == 0) {
        delete m_text;
        *m_count = 1;
    } else {
        m_count = new int(1);
    }
    m_text = text;
}

const char* String::CStr() const { return m_text ? m_text->c_str() : kEmptyText; }

char String::At(uint i) const { return (m_text && i < m_text->size()) ? (*m_text)[i] : 0; }

uint String::Length() const { return m_text ? static_cast<uint>(m_text->size()) : 0; }

bool String::IsEmpty() const { return !m_text || m_text->empty(); }

void String::Truncate(uint n) {
    if (m_text && m_text->size() > n) SetText(new std::string(*m_text, 0, n));
}

void String::Detach(uint i) {
    auto* copy = new std::string(m_text ? *m_text : std::string());
    if (copy->size() <= i) copy->resize(std::size_t(i) + 1, '\0');
    SetText(copy);
}

String& String::operator+=(const String& other) {
    if (other.IsEmpty()) return *this;
    if (IsEmpty()) return *this = other;
    SetText(new std::string(*m_text + *other.m_text));
    return *this;
}

String& String::operator+=(char c) {
    SetText(new std::string(std::string(CStr(), Length()) + c));
    return *this;
}

int CStringCompare(const char* a, const char* b) {
    if (a == b) return 0;
    if (!a) return -1;
    if (!b) return 1;
    for (;; ++a, ++b) {
        const auto ca = static_cast<unsigned char>(*a);
        const auto cb = static_cast<unsigned char>(*b);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

bool operator==(const String& a, const String& b) {
    return std::string_view(a.CStr(), a.Length()) == std::string_view(b.CStr(), b.Length());
}

bool operator==(const String& a, const char* b) { return b && CStringCompare(a.CStr(), b) == 0; }

bool operator<(const String& a, const String& b) { return CStringCompare(a.CStr(), b.CStr()) < 0; }

String operator+(const String& a, const String& b) {
    String result(a);
    result += b;
    return result;
}

String operator+(const String& a, const char* b) { return a + String(b); }

String operator+(const char* a, const String& b) { return String(a) + b; }
