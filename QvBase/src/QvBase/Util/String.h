#pragma once
#include <QvBase/Types.h>
#include <QvBase/Util/WString.h>

#include <optional>
#include <string>
#include <vector>

// Shared text handle with copy-on-write. Two words: the characters (null for the
// empty handle) and a use count that every handle owns or shares. The count is not
// atomic: a handle and its copies belong to one thread at a time.
//
// Conventions of the numeric interface:
//  - a radix outside 2..36 formats in radix 10 (and makes a parse fail);
//  - a precision of -1 means "none given" (printf's default of 6); any other
//    negative precision acts as 99, the largest;
//  - the form is one of 'f' 'F' 'e' 'E' 'g' 'G'; any other character means 'f';
//  - numbers always use '.' as the decimal point, whatever the locale.
// Radix and precision are both `int`, so no integer/floating overload pair ties.
class String {
public:
    String();
    String(const char* text);  // null gives the empty handle
    String(const String& other);
    explicit String(char c);
    explicit String(const std::string& text);
    ~String();

    String& operator=(const String& other);
    String& operator=(const char* text);

    // Characters; the empty handle reads as "".
    const char* CStr() const;
    char At(uint i) const;  // 0 when i is out of range
    uint Length() const;
    bool IsEmpty() const;

    std::optional<uint> Find(char c, uint from = 0, bool caseSensitive = true) const;
    std::optional<uint> FindLast(char c, std::optional<uint> start = std::nullopt, bool caseSensitive = true) const;
    String Left(uint n) const;
    String Right(uint n) const;
    String Mid(uint pos, std::optional<uint> count = std::nullopt) const;

    String ToLower() const;  // ASCII letters only
    String Replace(char from, char to) const;
    String Replace(const String& what, const String& with) const;
    String Trim() const;
    String Simplify() const;
    void Split(char separator, std::vector<String>& out) const;
    static String Join(const String& separator, const std::vector<String>& parts);
    bool StartsWith(const String& prefix, bool caseSensitive = true) const;
    bool EndsWith(const String& suffix, bool caseSensitive = true) const;

    String& operator+=(const String& other);
    String& operator+=(char c);

    // Replaces the lowest-numbered marker "%0".."%9" (the first one on a tie) with
    // the argument, or appends the argument when no marker is left.
    String Arg(const String& a) const;
    String Arg(const char* a) const;
    String Arg(char c) const;
    String Arg(int v, int radix = 10) const;  // radix 16 shows the bits: -1 gives FFFFFFFF
    String Arg(uint v, int radix = 10) const;
    String Arg(short v, int radix = 10) const;
    String Arg(ushort v, int radix = 10) const;
    String Arg(long v, int radix = 10) const;  // radix 16 shows the bits
    String Arg(unsigned long v, int radix = 10) const;
    String Arg(long long v, int radix = 10) const;  // radix 16 shows the bits
    String Arg(unsigned long long v, int radix = 10) const;
    String Arg(float v, int precision = -1, char form = 'g') const;
    String Arg(double v, int precision = -1, char form = 'g') const;

    static String Number(int v, int radix = 10);
    static String Number(uint v, int radix = 10);
    static String Number(long v, int radix = 10);
    static String Number(unsigned long v, int radix = 10);
    static String Number(long long v, int radix = 10);
    static String Number(unsigned long long v, int radix = 10);
    static String Number(double v, int precision = -1, char form = 'g');

    // Leading and trailing white space is allowed; anything else makes *ok false
    // and the result 0.
    int ToInt(bool* ok = nullptr, int radix = 10) const;
    // No white space allowed; '.' and ',' are both decimal points. Out of range fails.
    double ToDouble(bool* ok = nullptr) const;

    WString ToWide() const;

    // Keeps the first n characters.
    void Truncate(uint n);
    // Gives the handle a text of its own, at least i + 1 characters long (padded
    // with NUL characters), so that position i may be written.
    void Detach(uint i);

private:
    void SetText(std::string* text);
    void Release();

    std::string* m_text;
    int* m_count;
};

bool operator==(const String& a, const String& b);
bool operator==(const String& a, const char* b);  // a null pointer equals nothing
bool operator<(const String& a, const String& b);

String operator+(const String& a, const String& b);
String operator+(const String& a, const char* b);
String operator+(const char* a, const String& b);

// Sign of the first differing byte (unsigned); a null pointer sorts first.
int CStringCompare(const char* a, const char* b);

String StringFromUInt(uint v, int radix = 10);
String StringFromInt(int v, int radix = 10);
String StringFromUInt64(unsigned long long v, int radix = 10);
String StringFromInt64(long long v, int radix = 10);
int StringToInt(bool* ok, int radix, const String& s);
double StringToDouble(bool* ok, const String& s);
