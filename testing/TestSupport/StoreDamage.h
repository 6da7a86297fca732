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

// Ways a user re-indents a store by hand; the text still reads whole. `at` starts the
// line that a change of one line moves (damage right beside it reads as a lost brace).
struct Reindentation {
    const char* name;
    std::string (*apply)(std::string text, std::size_t at);
    bool movesOneLine;
};

// The writer's indent of two spaces a level rewritten as `perLevel` a level.
inline std::string Reindented(std::string text, const std::string& perLevel) {
    for (std::size_t at = 0, spaces; at < text.size(); at = text.find('\n', at) + 1) {
        spaces = text.find_first_not_of(' ', at) - at;
        for (std::size_t level = 0; level < spaces / 2; ++level)
            text.replace(at + level * perLevel.size(), 2, perLevel);
    }
    return text;
}

inline std::vector<Reindentation> Reindentations() {
    return {{"Tabs", [](std::string text, std::size_t) { return Reindented(text, "\t"); }, false},
        {"FourSpaces", [](std::string text, std::size_t) { return Reindented(text, "    "); }, false},
        {"OneLineTwoSpacesShallower", [](std::string text, std::size_t at) { return text.erase(at, 2); }, true}};
}

}  // namespace TestSupport
