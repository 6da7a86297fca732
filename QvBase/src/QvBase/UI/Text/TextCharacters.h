#pragma once
#include <vector>

namespace UI {

// The characters of UTF-8 text; a byte that starts no valid sequence reads as U+FFFD
// and moves on by one byte. A null text has none.
std::vector<char32_t> DecodeCharacters(const char* text);

}  // namespace UI
