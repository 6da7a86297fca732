#include <Platform/Text/Utf16.h>

#include <gtest/gtest.h>

#include <string>

using Platform::Text::NarrowToUtf16;

namespace {

std::u16string Convert(const std::string& s) {
    const std::size_t n = NarrowToUtf16(s.data(), static_cast<std::ptrdiff_t>(s.size()), nullptr, 0);
    std::u16string out(n, u'\0');
    EXPECT_EQ(NarrowToUtf16(s.data(), static_cast<std::ptrdiff_t>(s.size()), out.data(), n), n);
    return out;
}

}  // namespace

TEST(Utf16, ConvertsEveryEncodingLengthAndSurrogatePairs) {
    EXPECT_EQ(Convert("abc"), u"abc");
    EXPECT_EQ(Convert("caf\xC3\xA9"), u"caf\u00E9");
    EXPECT_EQ(Convert("\xE2\x82\xAC"), u"\u20AC");
    EXPECT_EQ(Convert("\xF0\x9F\x8E\xB5"), u"\U0001F3B5");
    EXPECT_EQ(Convert(""), u"");
}

TEST(Utf16, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(Convert("a\xFF"
                      "b"),
        u"a\uFFFD"
        "b");
    EXPECT_EQ(Convert("\xC3"), u"\uFFFD");  // truncated
    EXPECT_EQ(Convert("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong
    EXPECT_EQ(Convert("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(Convert("\xA0"), u"\uFFFD");  // lone continuation byte
}

TEST(Utf16, TwoCallProtocolWithTerminatorAndShortBuffer) {
    const char* text = "h\xC3\xA9";
    const std::size_t need = NarrowToUtf16(text, -1, nullptr, 0);
    EXPECT_EQ(need, 3u);  // 'h', U+00E9, NUL
    char16_t buffer[3];
    EXPECT_EQ(NarrowToUtf16(text, -1, buffer, 3), 3u);
    EXPECT_EQ(buffer[1], u'\u00E9');
    EXPECT_EQ(buffer[2], u'\0');
    EXPECT_EQ(NarrowToUtf16(text, -1, buffer, 2), 0u);  // does not fit
    EXPECT_EQ(NarrowToUtf16(nullptr, -1, buffer, 3), 0u);
}
