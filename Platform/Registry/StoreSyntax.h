#pragma once
#include <Platform/Registry/StoreTree.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Platform::Registry::Detail {

// The words both layouts of the store file are made of. Quoted text escapes '"', '\' and
// control bytes (\xHH); other bytes stand as they are. A value statement is
//
//   string "LastFolder" = "/home/me/Music"
//   dword "AmpRuler.Mode" = 2
//   binary "Opacity" = 00 00 80 3f
//   value 7 "Other" = 61 62
//
// a string being text ended by one NUL, a dword four bytes; any other data is hex.

void AppendQuoted(std::string& out, std::string_view text);
void AppendValueStatement(std::string& out, const StoredValue& value);

// '\r' too: a file saved with "\r\n" line ends reads like one with "\n".
inline constexpr std::string_view kSpaces = " \t\r";
inline bool IsSpace(char c) { return kSpaces.find(c) != std::string_view::npos; }

// A line that says nothing: blank, or a comment ('#' first, in any form). A comment that
// holds bytes which are no text (a crash's zeros) may have run over the lines after it: it
// is damage.
enum class Remark { None, Nothing, Damage };
Remark AsRemark(std::string_view line);

// Reads the tokens of one line; every method fails (returns false, empty or nullopt) on bad input.
class LineReader {
public:
    explicit LineReader(std::string_view line) : line_(line) {}

    bool AtEnd();
    // A run of ASCII letters and digits.
    std::string_view Word();
    bool Symbol(char symbol);
    // A decimal number of 32 bits.
    std::optional<std::uint32_t> Number();
    std::optional<std::string> Quoted(std::size_t maxLength);
    // Two hex digits a byte, spaces between, to the end of the line.
    std::optional<std::vector<std::uint8_t>> HexBytes();

private:
    void SkipSpaces();

    std::string_view line_;
    std::size_t pos_ = 0;
};

// A value statement, from its type word to the end of the line; nullopt on any error or
// limit overrun.
std::optional<StoredValue> ReadValueStatement(LineReader& reader);

}  // namespace Platform::Registry::Detail
