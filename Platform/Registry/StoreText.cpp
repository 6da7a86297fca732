#include <Platform/Registry/StoreText.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace Platform::Registry::Detail {
namespace {

constexpr std::string_view kHeader = "qvreg 1";
constexpr std::uint32_t kString = 1, kBinary = 3, kDword = 4;
constexpr char kHexDigits[] = "0123456789abcdef";

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendHex(std::string& out, const std::vector<std::uint8_t>& data) {
    for (const std::uint8_t byte : data) {
        out += ' ';
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 15];
    }
}

bool IsPlainString(const StoredValue& value) {
    if (value.type != kString || value.data.empty() || value.data.back() != 0) return false;
    for (std::size_t i = 0; i + 1 < value.data.size(); ++i) {
        if (value.data[i] == 0) return false;
    }
    return true;
}

void AppendValue(std::string& out, const StoredValue& value, std::size_t depth) {
    out.append(depth * 2, ' ');
    if (IsPlainString(value)) {
        out += "string ";
        AppendQuoted(out, value.name);
        out += " = ";
        AppendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size() - 1));
    } else if (value.type == kDword && value.data.size() == 4) {
        const std::uint32_t word = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
            (static_cast<std::uint32_t>(value.data[3]) << 24);
        out += "dword ";
        AppendQuoted(out, value.name);
        out += " = " + std::to_string(word);
    } else {
        if (value.type == kBinary) {
            out += "binary ";
        } else {
            out += "value " + std::to_string(value.type) + ' ';
        }
        AppendQuoted(out, value.name);
        out += " =";
        AppendHex(out, value.data);
    }
    out += '\n';
}

void AppendKey(std::string& out, const StoredKey& key, std::size_t depth) {
    for (const auto& [folded, value] : key.values) AppendValue(out, value, depth);
    for (const auto& [folded, sub] : key.subKeys) {
        out.append(depth * 2, ' ');
        out += "key ";
        AppendQuoted(out, sub.name);
        out += " {\n";
        AppendKey(out, sub, depth + 1);
        out.append(depth * 2, ' ');
        out += "}\n";
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// '\r' too: a file saved with "\r\n" line ends reads like one with "\n".
constexpr std::string_view kSpaces = " \t\r";
bool IsSpace(char c) { return kSpaces.find(c) != std::string_view::npos; }

// The last character of a line that is not a space, or 0.
char LastChar(std::string_view line) {
    const std::size_t last = line.find_last_not_of(kSpaces);
    return last == std::string_view::npos ? 0 : line[last];
}

// Reads the tokens of one line; every method fails (returns false or nullopt) on bad input.
class LineReader {
public:
    explicit LineReader(std::string_view line) : line_(line) {}

    bool AtEnd() {
        SkipSpaces();
        return pos_ == line_.size();
    }

    std::string_view Word() {
        SkipSpaces();
        const std::size_t start = pos_;
        while (pos_ < line_.size() && IsWordChar(line_[pos_])) ++pos_;
        return line_.substr(start, pos_ - start);
    }

    bool Symbol(char symbol) {
        SkipSpaces();
        if (pos_ < line_.size() && line_[pos_] == symbol) {
            ++pos_;
            return true;
        }
        return false;
    }

    std::optional<std::uint32_t> Number() {
        const std::string_view digits = Word();
        if (digits.empty() || digits.size() > 10) return std::nullopt;
        std::uint64_t value = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + static_cast<std::uint64_t>(c - '0');
        }
        if (value > UINT32_MAX) return std::nullopt;
        return static_cast<std::uint32_t>(value);
    }

    std::optional<std::string> Quoted(std::size_t maxLength) {
        if (!Symbol('"')) return std::nullopt;
        std::string text;
        while (pos_ < line_.size()) {
            const char c = line_[pos_++];
            if (c == '"') return text;
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
            if (c == '\\') {
                if (pos_ >= line_.size()) return std::nullopt;
                const char escaped = line_[pos_++];
                if (escaped == '"' || escaped == '\\') {
                    text += escaped;
                } else if (escaped == 'x' && pos_ + 2 <= line_.size()) {
                    const int high = HexValue(line_[pos_]), low = HexValue(line_[pos_ + 1]);
                    if (high < 0 || low < 0) return std::nullopt;
                    text += static_cast<char>(high * 16 + low);
                    pos_ += 2;
                } else {
                    return std::nullopt;
                }
            } else {
                text += c;
            }
            if (text.size() > maxLength) return std::nullopt;
        }
        return std::nullopt;  // no closing quote
    }

    std::optional<std::vector<std::uint8_t>> HexBytes() {
        std::vector<std::uint8_t> data;
        while (!AtEnd()) {
            if (pos_ + 2 > line_.size()) return std::nullopt;
            const int high = HexValue(line_[pos_]), low = HexValue(line_[pos_ + 1]);
            if (high < 0 || low < 0) return std::nullopt;
            pos_ += 2;
            if (pos_ < line_.size() && !IsSpace(line_[pos_])) return std::nullopt;
            if (data.size() == kMaxValueSize) return std::nullopt;
            data.push_back(static_cast<std::uint8_t>(high * 16 + low));
        }
        return data;
    }

private:
    static bool IsWordChar(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    }
    void SkipSpaces() {
        while (pos_ < line_.size() && IsSpace(line_[pos_])) ++pos_;
    }

    std::string_view line_;
    std::size_t pos_ = 0;
};

// One value statement after its keyword; nullopt on any error.
std::optional<StoredValue> ParseValue(std::string_view keyword, LineReader& reader) {
    StoredValue value;
    if (keyword == "string") {
        value.type = kString;
    } else if (keyword == "dword") {
        value.type = kDword;
    } else if (keyword == "binary") {
        value.type = kBinary;
    } else if (keyword == "value") {
        const auto number = reader.Number();
        if (!number) return std::nullopt;
        value.type = *number;
    } else {
        return std::nullopt;
    }
    auto name = reader.Quoted(kMaxValueNameLength);
    if (!name || !reader.Symbol('=')) return std::nullopt;
    value.name = std::move(*name);

    if (keyword == "string") {
        const auto text = reader.Quoted(kMaxValueSize - 1);
        if (!text) return std::nullopt;
        value.data.assign(text->begin(), text->end());
        value.data.push_back(0);
    } else if (keyword == "dword") {
        const auto word = reader.Number();
        if (!word) return std::nullopt;
        value.data = {static_cast<std::uint8_t>(*word), static_cast<std::uint8_t>(*word >> 8),
            static_cast<std::uint8_t>(*word >> 16), static_cast<std::uint8_t>(*word >> 24)};
    } else {
        auto bytes = reader.HexBytes();
        if (!bytes) return std::nullopt;
        value.data = std::move(*bytes);
    }
    if (!reader.AtEnd()) return std::nullopt;
    return value;
}

bool ValidKeyName(const std::string& name) { return !name.empty() && name.find('\\') == std::string::npos; }

bool ParseLines(std::string_view text, StoredKey& root) {
    std::vector<StoredKey*> open{&root};
    bool headerSeen = false, ended = false;
    std::size_t start = 0, commentedKeys = 0;  // commented key lines a commented brace has not closed
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) return false;  // every line ends with a newline
        const std::string_view line = text.substr(start, end - start);
        LineReader reader(line);
        start = end + 1;
        if (reader.AtEnd()) continue;
        // A block commented out is a comment. A commented key line that no commented brace
        // closes may be a closing brace's line that damage merged with the key line after it.
        if (reader.Symbol('#')) {
            if (LastChar(line) == '{') {
                ++commentedKeys;
            } else if (commentedKeys > 0 && reader.Symbol('}') && reader.AtEnd()) {
                --commentedKeys;
            }
            continue;
        }
        if (ended) return false;

        if (reader.Symbol('}')) {
            if (open.size() < 2 || !reader.AtEnd()) return false;
            open.pop_back();
            continue;
        }
        const std::string_view keyword = reader.Word();
        if (!headerSeen) {
            const auto version = reader.Number();
            if (keyword != "qvreg" || !version || *version != 1 || !reader.AtEnd()) return false;
            headerSeen = true;
        } else if (keyword == "end") {
            if (open.size() != 1 || !reader.AtEnd()) return false;
            ended = true;
        } else if (keyword == "key") {
            const auto name = reader.Quoted(kMaxKeyNameLength);
            if (!name || !ValidKeyName(*name)) return false;
            if (!reader.Symbol('{') || !reader.AtEnd() || open.size() > kMaxKeyDepth) return false;
            open.push_back(&open.back()->SubKey(*name));
        } else if (auto value = ParseValue(keyword, reader)) {
            open.back()->SetValue(value->name, value->type, std::move(value->data));
        } else {
            return false;
        }
    }
    return ended && commentedKeys == 0;
}

// What the braces of lines left unplaced do, in order: close some open keys, then open
// keys whose names are lost.
struct Braces {
    std::size_t closes = 0, opens = 0;
    std::size_t keyLines = 0;  // opening braces that follow a quote, as a key line's do
    std::size_t hidden = 0;  // keys that bytes which are no text may have closed and opened again

    void Then(const Braces& later) {
        const std::size_t undone = std::min(opens, later.closes);
        closes += later.closes - undone;
        opens = std::min(opens - undone + later.opens, kMaxKeyDepth + 1);
        keyLines = std::min(keyLines + later.keyLines, kMaxKeyDepth + 1);
        hidden = std::min(hidden + later.hidden, kMaxKeyDepth + 1);
    }
    // Keys the lines may have closed and opened again in their place: one for each key
    // line's brace still open (its line may have held the closing brace before it too),
    // and those the bytes that are no text may have hidden.
    std::size_t Replaced() const { return std::min(keyLines, opens) + hidden; }
    bool operator==(const Braces&) const = default;
};

// The shortest text that closes a key and opens another: a closing brace's line and a key line.
constexpr std::size_t kKeyReplacedLength = std::string_view("}\nkey \"k\" {\n").size();

// The braces of a line that does not read: closing ones where a statement puts them, first
// on the line (a damaged line's others are noise, and a lost one shows in the indent after
// it), and opening ones outside quoted text anywhere, as the damage may have followed one.
// A quote that does not close on its line hides nothing: it may be the damage. Bytes that
// are no text (a run of zeros, as a crash leaves) may stand for whole lines, newlines too.
Braces CountBraces(std::string_view line) {
    Braces braces;
    const auto noText = std::count_if(line.begin(), line.end(),
        [](char c) { return (static_cast<unsigned char>(c) < 0x20 && !IsSpace(c)) || c == 0x7F; });
    braces.hidden = (static_cast<std::size_t>(noText) + 1) / kKeyReplacedLength;  // the last newline is the line's
    std::size_t at = 0;
    for (; at < line.size() && (line[at] == '}' || IsSpace(line[at])); ++at) braces.closes += line[at] == '}' ? 1 : 0;
    for (; at < line.size(); ++at) {
        if (line[at] == '"') {
            std::size_t end = at + 1;
            while (end < line.size() && line[end] != '"') end += line[end] == '\\' ? 2 : 1;
            if (end < line.size()) at = end;
        } else if (line[at] == '{') {
            braces.opens = std::min(braces.opens + 1, kMaxKeyDepth + 1);
            braces.keyLines += LastChar(line.substr(0, at)) == '"' ? 1 : 0;
        }
    }
    return braces;
}

// One line of a text that did not read whole, taken on its own.
struct Statement {
    enum class Kind { Nothing, Unreadable, Close, Key, Value, End } kind = Kind::Nothing;
    std::size_t width = 0;  // of the indent, a tab reaching the next multiple of 8
    std::string keyName;  // empty for a key line that opens a key but names none it may hold
    StoredValue value;
    Braces braces;
};

std::size_t IndentWidth(std::string_view line) {
    std::size_t width = 0;
    for (const char c : line) {
        if (c == ' ') {
            ++width;
        } else if (c == '\t') {
            width += 8 - width % 8;
        } else {
            break;
        }
    }
    return width;
}

// A comment is nothing, unless braces or bytes that are no text in it show that damage may
// have merged other lines into it: then it counts as a line that does not read.
Statement ReadStatement(std::string_view line) {
    Statement statement;
    statement.width = IndentWidth(line);
    LineReader reader(line);
    using Kind = Statement::Kind;
    if (reader.AtEnd()) return statement;
    if (reader.Symbol('#')) {
        statement.braces = CountBraces(line.substr(line.find('#') + 1));
        if (statement.braces != Braces{}) statement.kind = Kind::Unreadable;
        return statement;
    }
    statement.kind = Kind::Unreadable;
    bool named = false;  // a key line's keyword and name read
    if (reader.Symbol('}')) {
        if (reader.AtEnd()) statement.kind = Kind::Close;
    } else if (const std::string_view keyword = reader.Word(); keyword == "qvreg") {
        if (reader.Number() && reader.AtEnd()) statement.kind = Kind::Nothing;
    } else if (keyword == "end") {
        if (reader.AtEnd() && statement.width == 0) statement.kind = Kind::End;
    } else if (keyword == "key") {
        const auto name = reader.Quoted(kMaxKeyNameLength);
        named = name.has_value();
        if (named && reader.Symbol('{') && reader.AtEnd()) {
            statement.kind = Kind::Key;
            if (ValidKeyName(*name)) statement.keyName = *name;
        }
    } else if (auto value = ParseValue(keyword, reader)) {
        statement.kind = Kind::Value;
        statement.value = std::move(*value);
    }
    if (statement.kind == Kind::Unreadable) {
        statement.braces = CountBraces(line);
        // A key line whose brace the damage took opened its key all the same.
        if (named && statement.braces.opens == 0) statement.braces.opens = statement.braces.keyLines = 1;
    }
    if (statement.kind == Kind::Close) statement.braces.closes = 1;
    if (statement.kind == Kind::Key) statement.braces = {0, 1, 1};
    return statement;
}

// Calls `visit` with every whole line's statement but blanks and the header.
template <typename Visit>
void ForEachStatement(std::string_view text, Visit visit) {
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
        Statement statement = ReadStatement(text.substr(start, end - start));
        if (statement.kind != Statement::Kind::Nothing && !visit(statement)) return;
    }
}

// The width of one level of indent: the step a key line most often makes to its first
// entry, else the narrowest indent. A line after a damaged one is not compared with it:
// the damage may have been a key line. 0 when the indent does not show the nesting: no
// line is indented, or key lines have their first entry indented no deeper than
// themselves, more than two (one damaged line makes at most two) or with none deeper.
std::size_t LearnIndentStep(std::string_view text) {
    using Kind = Statement::Kind;
    constexpr std::size_t kNone = SIZE_MAX;
    std::map<std::size_t, std::size_t> keySteps;  // step -> how often
    std::size_t narrowest = 0, flatKeys = 0, keyLineWidth = kNone;  // the latter while the line before is a key line
    ForEachStatement(text, [&](const Statement& statement) {
        if (statement.kind != Kind::Unreadable && statement.width > 0)
            narrowest = narrowest == 0 ? statement.width : std::min(narrowest, statement.width);
        if (keyLineWidth != kNone && (statement.kind == Kind::Key || statement.kind == Kind::Value)) {
            if (statement.width > keyLineWidth) {
                ++keySteps[statement.width - keyLineWidth];
            } else {
                ++flatKeys;
            }
        }
        keyLineWidth = statement.kind == Kind::Key ? statement.width : kNone;
        return statement.kind != Kind::End;
    });
    if (flatKeys > 2 || (flatKeys > 0 && keySteps.empty())) return 0;
    if (keySteps.empty()) return narrowest;
    return std::max_element(keySteps.begin(), keySteps.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
    })->first;
}

// Reads what it can of a damaged text: every line that reads, each under its own key, and
// never an entry under a key it was not in; what cannot be told is dropped. Two witnesses
// give the nesting: the braces, also those of the lines that do not read, and the indent in
// the file's own step. A line goes where both agree. Where they do not, the line after it
// decides: a lost brace shifts the indent of every line after it, a line indented by hand
// or by the damage only its own; where it cannot, the line is dropped. A key that lines
// which did not read may have closed and replaced by another is given up. Without an indent
// that shows the nesting, the braces alone hold, up to the first damage, and only when they
// balance over the whole text.
class Salvage {
public:
    Salvage(std::string_view text, StoredKey& root) : text_(text), root_(root), step_(LearnIndentStep(text)) {
        Braces all;
        bool ended = false;
        ForEachStatement(text, [&](const Statement& statement) {
            all.Then(statement.braces);
            ended = statement.kind == Kind::End;
            return !ended;
        });
        closesTooMany_ = all.closes > 0;
        balanced_ = !closesTooMany_ && !(ended && all.opens > 0);
    }

    void Read() {
        // Without an indent, a line lost or written twice that leaves no unreadable trace
        // shows only in braces that do not balance, and then nothing placed is sure.
        if (step_ == 0 && !balanced_) return;
        std::optional<Statement> held;  // a line waiting for the one after it
        ForEachStatement(text_, [&](Statement& statement) {
            const bool reads =
                statement.kind == Kind::Close || statement.kind == Kind::Key || statement.kind == Kind::Value;
            if (held) Place(*held, reads ? &statement : nullptr);
            held.reset();
            if (statement.kind == Kind::End) return false;  // what follows is no store text
            if (reads) {
                held = std::move(statement);
            } else {
                Leave(statement);
            }
            return true;
        });
        if (held) Place(*held, nullptr);
    }

private:
    using Kind = Statement::Kind;

    // The depth of the key a line belongs to by its indent (a closing brace: of the key it ends).
    std::optional<std::size_t> IndentDepth(const Statement& line) const {
        if (step_ == 0 || line.width % step_ != 0) return std::nullopt;
        return std::min(line.width / step_, kMaxKeyDepth + 1) + (line.kind == Kind::Close ? 1 : 0);
    }

    // The depth of the innermost open key once `line` is placed in a key at `depth`.
    static std::size_t DepthAfter(const Statement& line, std::size_t depth) {
        if (line.kind == Kind::Key) return depth + 1;
        return line.kind == Kind::Close && depth > 0 ? depth - 1 : depth;
    }

    void Leave(const Statement& line) {
        unplaced_.Then(line.braces);
        anyUnplaced_ = true;
    }

    // The depth of the key `line` goes in, given the depth the braces give it; none when
    // that cannot be told.
    std::optional<std::size_t> PlaceDepth(const Statement& line, const Statement* next, std::size_t braces) const {
        const auto depth = IndentDepth(line);
        const auto nextDepth = next ? IndentDepth(*next) : std::nullopt;
        const auto nextAgrees = [&](std::size_t at) { return nextDepth == DepthAfter(line, at); };
        // Right after lines that did not read, a line after this one indented deeper than
        // it leaves room says the damage may have shifted this one's indent too.
        const bool denied = anyUnplaced_ && nextDepth && *nextDepth > DepthAfter(line, braces);
        std::optional<std::size_t> at;
        if ((depth == braces && !denied) || (nextAgrees(braces) && !(depth && nextAgrees(*depth)))) {
            at = braces;
        } else if (depth && nextAgrees(*depth)) {
            at = depth;
        } else if (step_ == 0 ? !anyUnplaced_ : line.kind == Kind::Close) {
            // Without an indent to check them the braces hold up to the first damage; a
            // closing brace that reads closes a key, whatever the lines around it say.
            at = braces;
        }
        // In a text that holds a closing brace too many, one may be damage (a line broken
        // in two), and its indent closes no key the braces leave open.
        if (line.kind == Kind::Close && closesTooMany_ && at && *at < braces) at = braces;
        // A key line with nothing under it may have taken the indent of a closing brace's
        // line lost with its newline, so the key it sits in may be over (a key line written
        // twice is only that).
        const bool repeated =
            next && next->kind == Kind::Key && next->width == line.width && next->keyName == line.keyName;
        if (line.kind == Kind::Key && at && nextDepth && *nextDepth <= *at && !repeated) return std::nullopt;
        return at;
    }

    void Place(Statement& line, const Statement* next) {
        const std::size_t before = open_.size() - 1;
        const std::size_t kept = before - std::min(unplaced_.closes, before);  // keys the braces leave open
        const std::size_t braces = kept + unplaced_.opens;
        const auto at = PlaceDepth(line, next, braces);
        if (!at) return Leave(line);

        // A key nothing was read in, which the indent closes right after lines that did not
        // read, may have taken the place of the key around it (its line the indent of that
        // key's closing brace, lost): that key is given up too.
        const bool emptyKeyClosed = anyUnplaced_ && line.kind != Kind::Close && *at < kept && open_.back() &&
            open_.back()->values.empty() && open_.back()->subKeys.empty();
        open_.resize(kept + 1);
        open_.resize(braces + 1, nullptr);
        open_.resize(*at + 1, nullptr);
        // Back out of the keys that lines which did not read may have closed and opened
        // again unseen: the line's own key, and as many around it as there may be.
        const std::size_t replaced = unplaced_.Replaced() + (emptyKeyClosed ? 1 : 0);
        for (std::size_t level = std::min(*at, kept); level > 0 && level + replaced > *at; --level)
            open_[level] = nullptr;
        unplaced_ = {};
        anyUnplaced_ = false;
        StoredKey* const parent = open_.back();
        if (line.kind == Kind::Close) {
            if (open_.size() > 1) open_.pop_back();
            // A closing brace placed against its indent may be damage: the key it returns to
            // is in doubt.
            if (step_ > 0 && IndentDepth(line) != at && open_.size() > 1) open_.back() = nullptr;
        } else if (line.kind == Kind::Key) {
            const bool good = parent && !line.keyName.empty() && open_.size() <= kMaxKeyDepth;
            open_.push_back(good ? &parent->SubKey(line.keyName) : nullptr);
        } else if (parent) {
            parent->SetValue(line.value.name, line.value.type, std::move(line.value.data));
        }
    }

    const std::string_view text_;
    StoredKey& root_;
    const std::size_t step_;  // 0: the indent does not show the nesting
    bool closesTooMany_ = false, balanced_ = true;  // of the braces over the whole text
    std::vector<StoredKey*> open_{&root_};  // null: a key whose line did not read
    Braces unplaced_;  // of the lines since the last one placed
    bool anyUnplaced_ = false;
};

}  // namespace

std::string FormatStore(const StoredKey& root) {
    std::string out = "# Quorvel settings store (HKEY_CURRENT_USER); rewritten whole on every change.\n";
    out += kHeader;
    out += '\n';
    AppendKey(out, root, 0);
    out += "end\n";
    return out;
}

bool ParseStore(std::string_view text, StoredKey& root) {
    if (text.size() <= kMaxFileSize && ParseLines(text, root)) return true;
    root = StoredKey{};
    Salvage(text.substr(0, std::min(text.size(), kMaxFileSize)), root).Read();
    return false;
}

}  // namespace Platform::Registry::Detail
