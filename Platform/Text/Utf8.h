#pragma once
#include <string>

namespace Platform::Text {

// Appends the UTF-8 bytes of one code point. It is written as it stands: a caller that may
// hold surrogates or values past U+10FFFF replaces them first.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace Platform::Text
