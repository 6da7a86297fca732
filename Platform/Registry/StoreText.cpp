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
constexpr std::uint32_t kLayout = 3;
// The layout before this one, whose end line says nothing of the lines before it.
constexpr std::uint32_t kUncountedLayout = 2;
constexpr std::size_t kCheckDigits = 8;
constexpr std::size_t kMaxPathLength = kMaxKeyDepth * (kMaxKeyNameLength + 1);

std::uint32_t CheckOf(std::string_view statement) {
    return static_cast<std::uint32_t>(
        crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(statement.data()), statement.size()));
}

void AppendLine(std::string& out, std::string_view statement, std::uint32_t check) {
    char end[kCheckDigits + 5];
    std::snprintf(end, sizeof end, " [%08x]\n", check);
    out += statement;
    out += end;
}

void AppendLine(std::string& out, std::string_view statement) { AppendLine(out, statement, CheckOf(statement)); }

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

// Which entries a text gives, as its end line sums them up: how many entry lines, and the
// checks of where each entry is (its key's path and its name, in any case). What an entry
// holds is left out, so that a value changed by hand leaves the sum as it was.
struct EntryTally {
    std::uint32_t lines = 0;
    std::uint32_t places = 0;  // the sum of their places' checks

    void AddKey(std::string_view path) { Add(KeyStatement(FoldCase(path))); }
    void AddValue(std::string_view path, std::string_view name) {
        std::string place;
        AppendQuoted(place, FoldCase(path));
        place += ' ';
        AppendQuoted(place, FoldCase(name));
        Add(place);
    }
    std::string EndStatement() const { return "end " + std::to_string(lines); }
    // The end line's check: of its own statement and of the places of the lines it counts.
    std::uint32_t EndCheck() const { return CheckOf(EndStatement()) + places; }

private:
    void Add(std::string_view place) {
        ++lines;
        places += CheckOf(place);
    }
};

void AppendKey(std::string& out, const StoredKey& key, const std::string& path, EntryTally& tally) {
    if (!path.empty() && key.values.empty()) {
        AppendLine(out, KeyStatement(path));
        tally.AddKey(path);
    }
    for (const auto& [folded, value] : key.values) {
        AppendLine(out, ValueStatement(path, value));
        tally.AddValue(path, value.name);
    }
    for (const auto& [folded, sub] : key.subKeys)
        AppendKey(out, sub, path.empty() ? sub.name : path + '\\' + sub.name, tally);
}

// How the end line sums up the entry lines before it.
enum class EndSum {
    None,  // "end": the layout before this one
    Counted,  // "end 61 [check]", as the writer spells it
    ByHand  // "end []" or "end 61 []": lines were added or removed by hand, and are taken as they read
};

// One line of the text, read alone.
struct Line {
    enum class Kind { Nothing, Unreadable, Header, End, Key, Value } kind = Kind::Nothing;
    std::string path;  // of a key or value line, its names joined by '\'
    StoredValue value;
    std::uint32_t layout = 0;  // of a header
    EndSum endSum = EndSum::None;  // of an end line, with its count and check when counted
    std::uint32_t endLines = 0;
    std::uint32_t endCheck = 0;
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
        const auto layout = afterWord.Number();
        if ((layout == kLayout || layout == kUncountedLayout) && afterWord.AtEnd()) {
            line.kind = Kind::Header;
            line.layout = *layout;
        }
        return line;
    }
    if (word == "end" && afterWord.AtEnd()) {
        line.kind = Kind::End;
        return line;
    }
    const LineEnd lineEnd = TakeLineEnd(text);
    if (!lineEnd.found) return line;
    if (word == "end") {
        LineReader reader(text);
        reader.Word();
        // A count left before "[]" by hand counts for nothing.
        const auto lines = reader.AtEnd() && !lineEnd.check ? std::optional<std::uint32_t>(0) : reader.Number();
        if (!lines || !reader.AtEnd()) return line;
        line.kind = Kind::End;
        line.endSum = lineEnd.check ? EndSum::Counted : EndSum::ByHand;
        line.endLines = *lines;
        line.endCheck = lineEnd.check.value_or(0);
        return line;
    }
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

// Whether an end line sums up the entry lines before it, in a file of `layout`.
bool EndFits(const Line& end, std::uint32_t layout, const EntryTally& tally) {
    switch (end.endSum) {
    case EndSum::None: return layout == kUncountedLayout;
    case EndSum::ByHand: return true;
    case EndSum::Counted: return end.endLines == tally.lines && end.endCheck == tally.EndCheck();
    }
    return false;
}

// Reads every line on its own. The text is whole when its statements are the header,
// entries given once each, and the end that sums them up, in that order.
bool ReadLines(std::string_view text, StoredKey& root) {
    using Kind = Line::Kind;
    enum class Stage { BeforeHeader, Entries, AfterEnd } stage = Stage::BeforeHeader;
    bool whole = true;
    std::uint32_t layout = 0;
    EntryTally tally;
    std::set<const StoredKey*> keyLines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
        Line line = ReadLine(text.substr(start, end - start));
        if (line.kind == Kind::Nothing) continue;
        const Stage expected = line.kind == Kind::Header ? Stage::BeforeHeader : Stage::Entries;
        whole = whole && stage == expected && line.kind != Kind::Unreadable;
        if (line.kind == Kind::Header) {
            stage = Stage::Entries;
            layout = line.layout;
        } else if (line.kind == Kind::End) {
            stage = Stage::AfterEnd;
            whole = whole && EndFits(line, layout, tally);
        } else if (line.kind == Kind::Key) {
            whole = keyLines.insert(&KeyAt(root, line.path)).second && whole;
            tally.AddKey(line.path);
        } else if (line.kind == Kind::Value) {
            StoredKey& key = KeyAt(root, line.path);
            whole = !key.FindValue(line.value.name) && whole;
            tally.AddValue(line.path, line.value.name);
            key.SetValue(line.value.name, line.value.type, std::move(line.value.data));
        }
    }
    // A last line without its newline may be cut short: it is not read.
    return whole && stage == Stage::AfterEnd && start == text.size();
}

}  // namespace

std::string FormatStore(const StoredKey& root) {
    std::string out =
        "# Quorvel settings store (HKEY_CURRENT_USER); rewritten whole on every change.\n"
        "# The digits in brackets check their line, and on the last line which lines there are.\n"
        "# A line you change or add by hand ends in [] instead; once you add or remove a line, so does the last.\n";
    out += kHeaderWord;
    out += ' ' + std::to_string(kLayout) + '\n';
    EntryTally tally;
    AppendKey(out, root, std::string(), tally);
    AppendLine(out, tally.EndStatement(), tally.EndCheck());
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
