#pragma once
#include <string>
#include <string_view>

namespace Platform::Text {

// UTF-8 is the system's text. Every reader of it follows one rule for input that is not
// UTF-8: each maximal invalid sequence (the longest run that could have begun a valid
// character, or else one byte) reads as one U+FFFD.

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Reads the character at `at` and moves `at` past it; `at` must be before `end`.
char32_t NextUtf8(const unsigned char*& at, const unsigned char* end);

std::u32string DecodeUtf8(std::string_view text);

// Appends the UTF-8 bytes of one character; surrogates and values past U+10FFFF, which no
// UTF-8 text holds, are written as U+FFFD.
void AppendUtf8(std::string& out, char32_t c);

std::string EncodeUtf8(std::u32string_view text);

// The text as it stands when it is valid, otherwise with the rule above applied.
std::string ValidUtf8(std::string_view text);

}  // namespace Platform::Text
