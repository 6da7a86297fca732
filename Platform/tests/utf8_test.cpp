#include <Platform/Text/Utf16.h>
#include <Platform/Text/Utf8.h>

#include <gtest/gtest.h>

#include <string>

using namespace Platform::Text;

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::u32string characters;
};

// Worked by hand from the encoding's definition: one U+FFFD for each maximal prefix that
// could have begun a valid character, and one for each byte that begins none.
const DecodeCase kDecodeCases[] = {
    {"every length", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5", U"a\u00E9\u20AC\U0001F3B5"},
    {"limits", std::string("\x00\x7F\xC2\x80\xDF\xBF\xEF\xBF\xBF\xF4\x8F\xBF\xBF", 13),
        std::u32string(U"\0\x7F\x80\u07FF\uFFFF\U0010FFFF", 6)},
    {"bytes that begin nothing", "a\xFF\xFE\xC0\xC1\xF5\x80z", U"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDz"},
    {"overlong forms", "\xC0\xAF\xE0\x80\xAF\xF0\x80\x80\xAF",
        U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"surrogates", "\xED\xA0\x80\xED\x9F\xBF", U"\uFFFD\uFFFD\uFFFD\uD7FF"},
    {"past the last character", "\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"cut short, one each",
        "\xE2\x82"
        "a\xF0\x9F\x8E"
        "b\xC3",
        U"\uFFFDa\uFFFDb\uFFFD"},
    {"cut by a new lead", "\xE2\xC3\xA9", U"\uFFFD\u00E9"},
    {"empty", "", U""},
};

}  // namespace

TEST(Utf8, EveryReaderFollowsOneRuleForInvalidInput) {
    for (const DecodeCase& c : kDecodeCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeUtf8(c.bytes), c.characters);
        EXPECT_EQ(ValidUtf8(c.bytes), EncodeUtf8(c.characters));
        // The narrow-to-UTF-16 conversion reads with the same decoder.
        std::u16string expected;
        for (char32_t ch : c.characters)
            if (ch < 0x10000) {
                expected += char16_t(ch);
            } else {
                expected += char16_t(0xD800 + ((ch - 0x10000) >> 10));
                expected += char16_t(0xDC00 + ((ch - 0x10000) & 0x3FF));
            }
        const auto length = std::ptrdiff_t(c.bytes.size());
        std::u16string units(NarrowToUtf16(c.bytes.data(), length, nullptr, 0), u'\0');
        EXPECT_EQ(NarrowToUtf16(c.bytes.data(), length, units.data(), units.size()), units.size());
        EXPECT_EQ(units, expected);
    }
}

TEST(Utf8, EncodesWhatItDecodesAndReplacesWhatNoTextHolds) {
    const std::string valid = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5";
    EXPECT_EQ(EncodeUtf8(DecodeUtf8(valid)), valid);
    EXPECT_EQ(ValidUtf8(valid), valid);
    EXPECT_EQ(EncodeUtf8(std::u32string{0xD800, 0xDFFF, 0x110000}), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf16, TwoCallProtocolWithTerminatorAndShortBuffer) {
    const char* text = "h\xC3\xA9";
    EXPECT_EQ(NarrowToUtf16(text, -1, nullptr, 0), 3u);  // 'h', U+00E9, NUL
    char16_t buffer[3];
    EXPECT_EQ(NarrowToUtf16(text, -1, buffer, 3), 3u);
    EXPECT_EQ(buffer[1], u'\u00E9');
    EXPECT_EQ(buffer[2], u'\0');
    EXPECT_EQ(NarrowToUtf16(text, -1, buffer, 2), 0u);  // does not fit
    EXPECT_EQ(NarrowToUtf16(nullptr, -1, buffer, 3), 0u);
}
