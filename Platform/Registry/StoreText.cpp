#include <Platform/Registry/StoreText.h>

#include <algorithm>
#include <cstdint>
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
    // '\r' too: a file saved with "\r\n" line ends reads like one with "\n".
    static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }
    void SkipSpaces() {
        while (pos_ < line_.size() && IsSpace(line_[pos_])) ++pos_;
    }

    std::string_view line_;
    std::size_t pos_ = 0;
};

// One value statement after its keyword; false on any error.
bool ParseValue(std::string_view keyword, LineReader& reader, StoredKey& key) {
    std::uint32_t type = 0;
    if (keyword == "string") {
        type = kString;
    } else if (keyword == "dword") {
        type = kDword;
    } else if (keyword == "binary") {
        type = kBinary;
    } else if (keyword == "value") {
        const auto number = reader.Number();
        if (!number) return false;
        type = *number;
    } else {
        return false;
    }
    const auto name = reader.Quoted(kMaxValueNameLength);
    if (!name || !reader.Symbol('=')) return false;

    std::vector<std::uint8_t> data;
    if (keyword == "string") {
        const auto text = reader.Quoted(kMaxValueSize - 1);
        if (!text) return false;
        data.assign(text->begin(), text->end());
        data.push_back(0);
    } else if (keyword == "dword") {
        const auto word = reader.Number();
        if (!word) return false;
        data = {static_cast<std::uint8_t>(*word), static_cast<std::uint8_t>(*word >> 8),
            static_cast<std::uint8_t>(*word >> 16), static_cast<std::uint8_t>(*word >> 24)};
    } else {
        auto bytes = reader.HexBytes();
        if (!bytes) return false;
        data = std::move(*bytes);
    }
    if (!reader.AtEnd()) return false;
    key.SetValue(*name, type, std::move(data));
    return true;
}

bool ParseLines(std::string_view text, StoredKey& root) {
    std::vector<StoredKey*> open{&root};
    bool headerSeen = false, ended = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) return false;  // every line ends with a newline
        LineReader reader(text.substr(start, end - start));
        start = end + 1;
        if (reader.AtEnd() || reader.Symbol('#')) continue;
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
            if (!name || name->empty() || name->find('\\') != std::string::npos) return false;
            if (!reader.Symbol('{') || !reader.AtEnd() || open.size() > kMaxKeyDepth) return false;
            open.push_back(&open.back()->SubKey(*name));
        } else if (!ParseValue(keyword, reader, *open.back())) {
            return false;
        }
    }
    return ended;
}

// The depth the writer gave a line, two spaces per level; nullopt when the indent is not
// the writer's (odd, or followed by anything but a statement), so that it tells nothing.
std::optional<std::size_t> IndentDepth(std::string_view line) {
    std::size_t spaces = 0;
    while (spaces < line.size() && line[spaces] == ' ') ++spaces;
    if (spaces % 2 != 0 || spaces == line.size()) return std::nullopt;
    const char first = line[spaces];
    const bool statement = first == '}' || (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z');
    return statement ? std::optional<std::size_t>(spaces / 2) : std::nullopt;
}

// Reads what it can of a damaged text. The nesting comes from each line's indent, so a
// lost brace does not move later entries into another key. A line that does not read
// costs only itself: it closes no key, so the entries after it stay where they were.
// The lines indented under a key line that does not read find no open key and go with it.
void SalvageLines(std::string_view text, StoredKey& root) {
    std::vector<StoredKey*> open{&root};  // null: a key whose line did not read
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
        const std::string_view line = text.substr(start, end - start);
        LineReader reader(line);
        if (reader.AtEnd() || reader.Symbol('#')) continue;
        const std::optional<std::size_t> depth = IndentDepth(line);
        if (!depth) continue;
        // A key's closing brace ends it as a shallower line would.
        if (reader.Symbol('}')) {
            if (reader.AtEnd()) open.resize(std::min(open.size(), *depth + 1));
            continue;
        }
        const std::string_view keyword = reader.Word();
        if (keyword == "end" && *depth == 0 && reader.AtEnd()) break;  // what follows is no store text
        if (keyword == "qvreg") continue;
        StoredKey* parent = *depth + 1 <= open.size() ? open[*depth] : nullptr;
        if (keyword == "key") {
            const auto name = reader.Quoted(kMaxKeyNameLength);
            const bool good = parent && name && !name->empty() && name->find('\\') == std::string::npos &&
                reader.Symbol('{') && reader.AtEnd() && *depth < kMaxKeyDepth;
            open.resize(*depth + 1, nullptr);
            open.push_back(good ? &parent->SubKey(*name) : nullptr);
            continue;
        }
        StoredKey candidate;
        if (!ParseValue(keyword, reader, candidate)) continue;
        open.resize(std::min(open.size(), *depth + 1));
        if (parent)
            for (auto& [folded, value] : candidate.values) parent->SetValue(value.name, value.type, value.data);
    }
}

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
    SalvageLines(text.substr(0, std::min(text.size(), kMaxFileSize)), root);
    return false;
}

}  // namespace Platform::Registry::Detail
