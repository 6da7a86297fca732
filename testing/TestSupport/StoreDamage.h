// Ways one line of a settings store file gets damaged (a crash mid-write, a bad sector,
// a careless edit), for the tests of the store and of the program that keeps its
// settings there.
#pragma once

#include <algorithm>
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
        // Fewer zeros than a closing brace's line and a key line take: more could have
        // stood for them, and then the damage is no longer one line's.
        {"NUL bytes over its start",
            [](std::string text, std::size_t at) {
                const std::size_t length = std::min<std::size_t>(text.find('\n', at) - at, 10);
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

// The writer's indent of two spaces a level rewritten as `indent(level)`.
inline std::string Reindented(std::string text, std::string (*indent)(std::size_t level)) {
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
        const std::size_t spaces = text.find_first_not_of(' ', at) - at;
        text.replace(at, spaces, indent(spaces / 2));
    }
    return text;
}

inline std::string Tabs(std::size_t level) { return std::string(level, '\t'); }
inline std::string FourSpaces(std::size_t level) { return std::string(4 * level, ' '); }

inline std::vector<Reindentation> Reindentations() {
    return {{"Tabs", [](std::string text, std::size_t) { return Reindented(text, Tabs); }, false},
        {"FourSpaces", [](std::string text, std::size_t) { return Reindented(text, FourSpaces); }, false},
        {"OneLineTwoSpacesShallower", [](std::string text, std::size_t at) { return text.erase(at, 2); }, true}};
}

// The indents a store comes in: the writer's, and as users re-indent it (a tab reaches the
// next multiple of 8 columns; "Mixed" steps 4 columns and writes each 8 as a tab).
struct Indent {
    const char* name;
    std::string (*of)(std::size_t level);
};

inline std::vector<Indent> Indents() {
    return {{"Writers", [](std::size_t level) { return std::string(2 * level, ' '); }}, {"Tabs", Tabs},
        {"FourSpaces", FourSpaces}, {"ThreeSpaces", [](std::size_t level) { return std::string(3 * level, ' '); }},
        {"Mixed", [](std::size_t level) { return std::string(level / 2, '\t') + std::string(level % 2 * 4, ' '); }}};
}

}  // namespace TestSupport
