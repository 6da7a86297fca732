// Text put into a command line for the shell.
#pragma once

#include <string>

namespace TestSupport {

// `text` as one word of the shell, whatever it holds.
inline std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace TestSupport
