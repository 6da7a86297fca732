#include <QvBase/Util/String.h>
#include <QvBase/Util/WString.h>

#include <gtest/gtest.h>

#include <string>

TEST(WString, ConvertsUtf8AndSharesItsArray) {
    const WString empty = String().ToWide();
    ASSERT_NE(empty.CStr(), nullptr);
    EXPECT_EQ(empty.CStr()[0], 0);
    EXPECT_EQ(empty.Length(), 0u);

    const WString ascii = String("path/file.wma").ToWide();
    EXPECT_EQ(std::u16string(ascii.CStr()), u"path/file.wma");

    // Two-byte, three-byte and four-byte characters; the last becomes a surrogate pair.
    const WString mixed = String("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB5").ToWide();
    EXPECT_EQ(mixed.Length(), 4u);
    EXPECT_EQ(std::u16string(mixed.CStr()), u"\u00E9\u20AC\U0001F3B5");

    const WString broken = String(
        "a\xFF"
        "b")
                               .ToWide();
    EXPECT_EQ(std::u16string(broken.CStr()), u"a\uFFFDb");

    WString copy(mixed);
    EXPECT_EQ(copy.CStr(), mixed.CStr());
    WString assigned;
    assigned = copy;
    assigned = assigned;
    EXPECT_EQ(assigned.CStr(), mixed.CStr());
}
