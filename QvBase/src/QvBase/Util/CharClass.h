#pragma once

namespace Util {

// Text is UTF-8: only ASCII bytes are classified, so a test never matches a byte
// inside a multi-byte character (0xA0 in particular is not white space).
constexpr bool IsWhiteSpace(char c) { return c == ' ' || (c >= 9 && c <= 13); }

constexpr bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }

constexpr char FoldAsciiCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace Util
