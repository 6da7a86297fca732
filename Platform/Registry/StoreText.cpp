#include <Platform/Registry/StoreText.h>

#include <Platform/Registry/StoreNested.h>
#include <Platform/Registry/StoreSyntax.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <set>

#include <zlib.h>

namespace Platform::Registry::Detail {
namespace {

constexpr std::string_view kHeaderWord = "qvstore";
constexpr std::uint32_t kLayout = 2;
constexpr std::size_t kCheckDigits = 8;
constexpr std::size_t kMaxPathLength = kMaxKeyDepth * (kMaxKeyNameLength + 1);

std::uint32_t CheckOf(std::string_view statement) {
    return static_cast<std::uint32_t>(
        crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(statement.data()), statement.size()));
}

void AppendLine(std::string& out, std::string_view statement) {
    char end[kCheckDigits + 5];
    std::snprintf(end, sizeof end, " [%08x]\n", CheckOf(statement));
    out += statement;
    out += end;
}

std::string KeyStatement(std::string_view path) {
    std::string statement = "key ";
    AppendQuoted(statement, path);
    return statement;
}

std::string ValueStatement(std::string_view path, const StoredValue& value) {
    std::string statement;
    AppendQuoted(statement, path);
    statement += ' ';
    AppendValueStatement(statement, value);
    return statement;
}

void AppendKey(std::string& out, const StoredKey& key, const std::string& path) {
    if (!path.empty() && key.values.empty()) AppendLine(out, KeyStatement(path));
    for (const auto& [folded, value] : key.values) AppendLine(out, ValueStatement(path, value));
    for (const auto& [folded, sub] : key.subKeys) AppendKey(out, sub, path.empty() ? sub.name : path + '\\' + sub.name);
}

// One line of the text, read alone.
struct Line {
    enum class Kind { Nothing, Unreadable, Header, End, Key, Value } kind = Kind::Nothing;
    std::string path;  // of a key or value line, its names joined by '\'
    StoredValue value;
};

// How an entry's line ends: with its check in brackets, or with empty brackets when it was
// written by hand. A line cut short loses that end, so it never reads as less than it said.
struct LineEnd {
    bool found = false;
    std::optional<std::uint32_t> check;  // none: written by hand
};

// Takes the end off an entry's line.
LineEnd TakeLineEnd(std::string_view& line) {
    LineEnd lineEnd;
    const std::size_t close = line.find_last_not_of(kSpaces);
    if (close == std::string_view::npos || line[close] != ']') return lineEnd;
    const std::size_t open = line.rfind('[', close);
    if (open == std::string_view::npos) return lineEnd;
    const std::string_view digits = line.substr(open + 1, close - open - 1);
    if (!digits.empty()) {
        std::uint32_t check = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), check, 16);
        if (digits.size() != kCheckDigits || error != std::errc() || end != digits.data() + digits.size())
            return lineEnd;
        lineEnd.check = check;
    }
    lineEnd.found = true;
    line = line.substr(0, open);
    return lineEnd;
}

// A key path: names within the limits, none empty (an empty one would make a damaged
// path name another key); the root's is empty.
bool IsKeyPath(std::string_view path) {
    if (path.empty()) return true;
    std::size_t names = 0;
    for (std::size_t start = 0;; ++names) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end == start || end - start > kMaxKeyNameLength || names == kMaxKeyDepth) return false;
        if (end == path.size()) return true;
        start = end + 1;
    }
}

Line ReadLine(std::string_view text) {
    using Kind = Line::Kind;
    Line line;
    if (const Remark remark = AsRemark(text); remark != Remark::None) {
        if (remark == Remark::Damage) line.kind = Kind::Unreadable;
        return line;
    }
    line.kind = Kind::Unreadable;
    LineReader afterWord(text);
    const std::string_view word = afterWord.Word();
    if (word == kHeaderWord) {
        if (afterWord.Number() == kLayout && afterWord.AtEnd()) line.kind = Kind::Header;
        return line;
    }
    if (word == "end") {
        if (afterWord.AtEnd()) line.kind = Kind::End;
        return line;
    }
    const LineEnd lineEnd = TakeLineEnd(text);
    if (!lineEnd.found) return line;
    LineReader reader(text);
    std::string statement;  // as the writer spells it, for the check
    if (word == "key") {
        reader.Word();
        auto path = reader.Quoted(kMaxPathLength);
        if (!path || path->empty() || !IsKeyPath(*path) || !reader.AtEnd()) return line;
        line.kind = Kind::Key;
        line.path = std::move(*path);
        statement = KeyStatement(line.path);
    } else {
        auto path = reader.Quoted(kMaxPathLength);
        if (!path || !IsKeyPath(*path)) return line;
        auto value = ReadValueStatement(reader);
        if (!value) return line;
        line.kind = Kind::Value;
        line.path = std::move(*path);
        line.value = std::move(*value);
        statement = ValueStatement(line.path, line.value);
    }
    if (lineEnd.check && *lineEnd.check != CheckOf(statement)) line.kind = Kind::Unreadable;
    return line;
}

StoredKey& KeyAt(StoredKey& root, std::string_view path) {
    StoredKey* key = &root;
    for (const std::string_view name : SplitKeyPath(path)) key = &key->SubKey(name);
    return *key;
}

// Reads every line on its own. The text is whole when its statements are the header,
// entries given once each, and the end, in that order.
bool ReadLines(std::string_view text, StoredKey& root) {
    using Kind = Line::Kind;
    enum class Part { BeforeHeader, Entries, AfterEnd } part = Part::BeforeHeader;
    bool whole = true;
    std::set<const StoredKey*> keyLines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
        Line line = ReadLine(text.substr(start, end - start));
        if (line.kind == Kind::Nothing) continue;
        const Part expected = line.kind == Kind::Header ? Part::BeforeHeader : Part::Entries;
        whole = whole && part == expected && line.kind != Kind::Unreadable;
        if (line.kind == Kind::Header) {
            part = Part::Entries;
        } else if (line.kind == Kind::End) {
            part = Part::AfterEnd;
        } else if (line.kind == Kind::Key) {
            whole = keyLines.insert(&KeyAt(root, line.path)).second && whole;
        } else if (line.kind == Kind::Value) {
            StoredKey& key = KeyAt(root, line.path);
            whole = !key.FindValue(line.value.name) && whole;
            key.SetValue(line.value.name, line.value.type, std::move(line.value.data));
        }
    }
    // A last line without its newline may be cut short: it is not read.
    return whole && part == Part::AfterEnd && start == text.size();
}

}  // namespace

std::string FormatStore(const StoredKey& root) {
    std::string out =
        "# Quorvel settings store (HKEY_CURRENT_USER); rewritten whole on every change.\n"
        "# The digits in brackets check their line: a line you change or add by hand ends in [] instead.\n";
    out += kHeaderWord;
    out += ' ' + std::to_string(kLayout) + '\n';
    AppendKey(out, root, std::string());
    out += "end\n";
    return out;
}

bool ParseStore(std::string_view text, StoredKey& root) {
    const bool withinLimit = text.size() <= kMaxFileSize;
    text = text.substr(0, std::min(text.size(), kMaxFileSize));
    const bool nested = IsNestedStore(text);
    const bool nestedWhole = nested && ReadNestedStore(text, root);
    // Lines in this layout read wherever they stand: also in a file whose header damage made
    // look like the earlier layout's (no line of that layout reads as one of these).
    const bool linesWhole = ReadLines(text, root);
    return (nested ? nestedWhole : linesWhole) && withinLimit;
}

}  // namespace Platform::Registry::Detail
