// Ways a settings store file gets damaged (a crash mid-write, a bad sector, a careless
// edit) and edited by hand, for the tests of the store and of the program that keeps its
// settings there.
#pragma once

#include <algorithm>
#include <cstddef>
#include <random>
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
        {"its first byte's low bit flipped",  // a value line's opening quote becomes '#'
            [](std::string text, std::size_t at) {
                text[at] = static_cast<char>(text[at] ^ 1);
                return text;
            }},
        {"NUL bytes over its start",
            [](std::string text, std::size_t at) {
                const std::size_t length = std::min<std::size_t>(text.find('\n', at) - at, 10);
                return text.replace(at, length, length, '\0');
            }},
    };
}

// Edits by hand that leave what a store says as it was: the text still reads whole.
struct HandEdit {
    const char* name;
    std::string (*apply)(const std::string& text);
};

namespace StoreEditing {
// Each line of `text` (every one ends with a newline) rewritten by `edit(line, index)`.
template <typename Edit>
std::string EachLine(const std::string& text, Edit edit) {
    std::string out;
    std::size_t index = 0;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        out += edit(text.substr(at, end - at), index++) + '\n';
    return out;
}
}  // namespace StoreEditing

inline std::vector<HandEdit> HandEdits() {
    using StoreEditing::EachLine;
    return {
        {"as written", [](const std::string& text) { return text; }},
        {"spaces before lines",
            [](const std::string& text) {
                return EachLine(
                    text, [](const std::string& line, std::size_t i) { return std::string(i % 4 * 2, ' ') + line; });
            }},
        {"tabs before lines",
            [](const std::string& text) {
                return EachLine(
                    text, [](const std::string& line, std::size_t i) { return std::string(i % 3, '\t') + line; });
            }},
        {"comments between lines",  // of every form, braces and statements too
            [](const std::string& text) {
                return EachLine(text, [](const std::string& line, std::size_t i) {
                    static const char* const comments[] = {"# note {", "  # key \"Old\" {", "#}", "#", "\t# end",
                        "# \"A\" dword \"m\" = 9 [00000000]", "#qvreg 1", "# }\t{ \xC3\xA9"};
                    return line + "\n" + comments[i % 8];
                });
            }},
        {"CRLF line ends",
            [](const std::string& text) {
                return EachLine(text, [](const std::string& line, std::size_t) { return line + '\r'; });
            }},
        {"spacing within lines",  // the check still holds: it is of what a line says
            [](const std::string& text) {
                return EachLine(text, [](std::string line, std::size_t) {
                    for (std::size_t at = 0; (at = line.find(" = ", at)) != std::string::npos; at += 5)
                        line.replace(at, 3, " \t=  ");
                    const std::size_t check = line.rfind(" [");
                    return check == std::string::npos ? line : line.replace(check, 1, "\t  ");
                });
            }},
    };
}

// Random damage of a kind, anywhere in a text.
struct RandomDamage {
    const char* name;
    std::string (*apply)(std::string text, std::mt19937& random);
};

namespace StoreDamaging {
// Half any byte, half those the store's text is made of.
inline char Byte(std::mt19937& random) {
    return random() % 2 ? static_cast<char>(random()) : "\"\\\n \t#[]{}=0a"[random() % 13];
}
inline std::size_t At(const std::string& text, std::mt19937& random) { return random() % text.size(); }
inline std::size_t LineStart(const std::string& text, std::size_t at) {
    return at == 0 ? 0 : text.rfind('\n', at - 1) + 1;
}
inline std::size_t LineEnd(const std::string& text, std::size_t at) {  // its newline
    return std::min(text.find('\n', at), text.size() - 1);
}
std::string Damaged(std::string text, std::mt19937& random, std::size_t kind);
}  // namespace StoreDamaging

inline std::vector<RandomDamage> RandomDamages() {
    using namespace StoreDamaging;
    return {
        {"one to four bytes changed",
            [](std::string text, std::mt19937& random) {
                const std::size_t at = At(text, random), count = 1 + random() % 4;
                for (std::size_t i = at; i < std::min(at + count, text.size()); ++i) text[i] = Byte(random);
                return text;
            }},
        {"a byte inserted",
            [](std::string text, std::mt19937& random) { return text.insert(At(text, random), 1, Byte(random)); }},
        {"a byte deleted", [](std::string text, std::mt19937& random) { return text.erase(At(text, random), 1); }},
        {"a line cut short",  // its tail lost, the newline kept
            [](std::string text, std::mt19937& random) {
                const std::size_t at = At(text, random), end = LineEnd(text, at);
                return text.erase(at, end - std::min(at, end));
            }},
        {"a line repeated",
            [](std::string text, std::mt19937& random) {
                const std::size_t at = At(text, random), start = LineStart(text, at);
                return text.insert(start, text.substr(start, LineEnd(text, at) + 1 - start));
            }},
        {"a line dropped",
            [](std::string text, std::mt19937& random) {
                const std::size_t at = At(text, random), start = LineStart(text, at);
                return text.erase(start, LineEnd(text, at) + 1 - start);
            }},
        {"a newline removed",
            [](std::string text, std::mt19937& random) { return text.erase(LineEnd(text, At(text, random)), 1); }},
        {"a zeroed run",
            [](std::string text, std::mt19937& random) {
                const std::size_t at = At(text, random);
                const std::size_t count = std::min<std::size_t>(8 + random() % 121, text.size() - at);
                return text.replace(at, count, count, '\0');
            }},
        {"a run of random bytes",
            [](std::string text, std::mt19937& random) {
                const std::size_t at = At(text, random);
                const std::size_t count = std::min<std::size_t>(8 + random() % 121, text.size() - at);
                for (std::size_t i = at; i < at + count; ++i) text[i] = Byte(random);
                return text;
            }},
        {"two at once",
            [](std::string text, std::mt19937& random) {
                for (int i = 0; i < 2 && !text.empty(); ++i) text = Damaged(std::move(text), random, random() % 9);
                return text;
            }},
    };
}

inline std::string StoreDamaging::Damaged(std::string text, std::mt19937& random, std::size_t kind) {
    return RandomDamages()[kind].apply(std::move(text), random);
}

}  // namespace TestSupport
