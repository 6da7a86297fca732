#include <Platform/Registry/StoreSyntax.h>

#include <algorithm>

namespace Platform::Registry::Detail {
namespace {

constexpr std::uint32_t kString = 1, kBinary = 3, kDword = 4;
constexpr char kHexDigits[] = "0123456789abcdef";

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

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsWordChar(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

}  // namespace

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

void AppendValueStatement(std::string& out, const StoredValue& value) {
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
}

Remark AsRemark(std::string_view line) {
    LineReader reader(line);
    if (reader.AtEnd()) return Remark::Nothing;
    if (!reader.Symbol('#')) return Remark::None;
    const bool text = std::none_of(line.begin(), line.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && !IsSpace(c)) || byte == 0x7F;
    });
    return text ? Remark::Nothing : Remark::Damage;
}

bool LineReader::AtEnd() {
    SkipSpaces();
    return pos_ == line_.size();
}

std::string_view LineReader::Word() {
    SkipSpaces();
    const std::size_t start = pos_;
    while (pos_ < line_.size() && IsWordChar(line_[pos_])) ++pos_;
    return line_.substr(start, pos_ - start);
}

bool LineReader::Symbol(char symbol) {
    SkipSpaces();
    if (pos_ < line_.size() && line_[pos_] == symbol) {
        ++pos_;
        return true;
    }
    return false;
}

std::optional<std::uint32_t> LineReader::Number() {
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

std::optional<std::string> LineReader::Quoted(std::size_t maxLength) {
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

std::optional<std::vector<std::uint8_t>> LineReader::HexBytes() {
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

void LineReader::SkipSpaces() {
    while (pos_ < line_.size() && IsSpace(line_[pos_])) ++pos_;
}

std::optional<StoredValue> ReadValueStatement(LineReader& reader) {
    const std::string_view keyword = reader.Word();
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

}  // namespace Platform::Registry::Detail
