#pragma once
#include <string>

namespace UI {

// Characters of UTF-8 text; a byte that starts no valid character reads as U+FFFD.
std::u32string DecodeUtf8(const std::string& text);
std::string EncodeUtf8(const std::u32string& text);

}  // namespace UI
