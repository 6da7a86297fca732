#pragma once
#include <QvBase/Types.h>

// UTF-16 text for the interfaces that need it, made by `String::ToWide`. Shares its
// NUL-terminated array and a use count like `String`; the count is not atomic.
class WString {
public:
    WString();  // a single 0 unit
    WString(const WString& other);
    WString& operator=(const WString& other);
    ~WString();

    const char16_t* CStr() const { return m_text; }
    uint Length() const;  // units before the terminator

private:
    friend class String;
    explicit WString(char16_t* ownedText);
    void Release();

    char16_t* m_text;
    int* m_count;
};
