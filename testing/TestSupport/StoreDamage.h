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
    // The text with the line that starts at `at` damaged.
    std::string (*apply)(std::string text, std::size_t at);
};

inline std::vector<LineDamage> LineDamages() {
    return {
        {"junk line before it",
            [](std::string text, std::size_t at) { return text.insert(at, "  @@@ garbage }{ \"unterminated\n"); }},
        {"plus in its indent",
            [](std::string text, std::size_t at) {
                return text.insert((at + text.find_first_not_of(' ', at)) / 2, "+");
            }},
        {"unbalanced quote",  // the second quote goes, or one is added where there is none
            [](std::string text, std::size_t at) {
                const std::size_t end = text.find('\n', at), first = text.find('"', at);
                const std::size_t second = first < end ? text.find('"', first + 1) : std::string::npos;
                return second < end ? text.erase(second, 1) : text.insert(text.find_first_not_of(' ', at), "\"");
            }},
        {"NUL bytes over it",
            [](std::string text, std::size_t at) {
                const std::size_t length = text.find('\n', at) - at;
                return text.replace(at, length, length, '\0');
            }},
    };
}

}  // namespace TestSupport
