#include <QvBase/UI/Drawing/Geometry.h>

#include <QvBase/Util/CharClass.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace UI {

Rect Rect::Intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::min(a.right, b.right), std::max(a.top, b.top), std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left - 1;
    if (r.bottom < r.top) r.bottom = r.top - 1;
    return r;
}

Rect Rect::Union(const Rect& a, const Rect& b) {
    const bool aHas = !a.IsEmpty(), bHas = !b.IsEmpty();
    if (aHas && bHas)
        return {
            std::min(a.left, b.left), std::max(a.right, b.right), std::min(a.top, b.top), std::max(a.bottom, b.bottom)};
    return aHas ? a : b;
}

Rect Rect::FromNative(const Platform::Gui::PixelRect& r) { return {r.x, r.x + r.width - 1, r.y, r.y + r.height - 1}; }

Platform::Gui::PixelRect Rect::ToNative() const { return {left, top, Width(), Height()}; }

String Rect::ToString() const {
    const long long width = static_cast<long long>(right) - left + 1;
    const long long height = static_cast<long long>(bottom) - top + 1;
    return String("[(%1,%2)-(%3,%4) %5x%6]").Arg(left).Arg(top).Arg(right).Arg(bottom).Arg(width).Arg(height);
}

namespace {

// Reads the text with the rules of a C scanf format: a blank in the pattern takes any
// run of white space, a number may follow white space and a sign, other characters
// must match. Numbers that do not fit an int fail the read.
class Scanner {
public:
    explicit Scanner(const char* text) : m_at(text) {}

    void SkipSpace() {
        while (Util::IsWhiteSpace(*m_at)) ++m_at;
    }

    bool Literal(char c) {
        if (c == ' ') {
            SkipSpace();
            return true;
        }
        if (*m_at != c) return false;
        ++m_at;
        return true;
    }

    bool Number(int& out) {
        SkipSpace();
        bool negative = false;
        if (*m_at == '+' || *m_at == '-') negative = *m_at++ == '-';
        if (!Util::IsDecimalDigit(*m_at)) return false;
        long long value = 0;
        while (Util::IsDecimalDigit(*m_at)) {
            value = value * 10 + (*m_at++ - '0');
            if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return false;
        }
        if (negative) value = -value;
        if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) return false;
        out = static_cast<int>(value);
        return true;
    }

private:
    const char* m_at;
};

}  // namespace

Rect Rect::FromString(const String& text, bool* ok) {
    if (ok) *ok = false;
    Scanner scan(text.CStr());
    int left, top, right, bottom, width, height;
    const bool read = scan.Literal('[') && scan.Literal('(') && scan.Number(left) && scan.Literal(',') &&
        scan.Number(top) && scan.Literal(')') && scan.Literal('-') && scan.Literal('(') && scan.Number(right) &&
        scan.Literal(',') && scan.Number(bottom) && scan.Literal(')') && scan.Literal(' ') && scan.Number(width) &&
        scan.Literal('x') && scan.Number(height);
    if (!read) return {};
    if (static_cast<long long>(right) - left + 1 != width || static_cast<long long>(bottom) - top + 1 != height)
        return {};
    if (ok) *ok = true;
    return {left, right, top, bottom};
}

}  // namespace UI
