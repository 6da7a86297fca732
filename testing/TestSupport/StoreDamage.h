// Ways one line of a settings store file gets damaged (a crash mid-write, a bad sector,
// a careless edit), for the tests of the store and of the program that keeps its
// settings there.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace TestSupport {

struct LineDamage {
    const char* name;
    // The text with the line that starts at `lineStart` damaged.
    std::string (*apply)(const std::string& text, std::size_t lineStart);
};

inline std::vector<LineDamage> LineDamages() {
    return {
        {"junk line before it",
            [](const std::string& text, std::size_t lineStart) {
                std::string damaged = text;
                return damaged.insert(lineStart, "  @@@ garbage }{ \"unterminated\n");
            }},
        {"plus in its indent",
            [](const std::string& text, std::size_t lineStart) {
                const std::size_t indent = text.find_first_not_of(' ', lineStart) - lineStart;
                std::string damaged = text;
                return damaged.insert(lineStart + indent / 2, "+");
            }},
        {"unbalanced quote",
            [](const std::string& text, std::size_t lineStart) {
                const std::size_t lineEnd = text.find('\n', lineStart);
                const std::size_t first = text.find('"', lineStart);
                const std::size_t second = first < lineEnd ? text.find('"', first + 1) : std::string::npos;
                std::string damaged = text;
                if (second < lineEnd) return damaged.erase(second, 1);
                return damaged.insert(text.find_first_not_of(' ', lineStart), "\"");
            }},
        {"NUL bytes over it",
            [](const std::string& text, std::size_t lineStart) {
                std::string damaged = text;
                const std::size_t lineEnd = text.find('\n', lineStart);
                return damaged.replace(lineStart, lineEnd - lineStart, lineEnd - lineStart, '\0');
            }},
    };
}

}  // namespace TestSupport
