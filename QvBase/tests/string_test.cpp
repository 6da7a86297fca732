#include <QvBase/Util/String.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

std::vector<String> SplitOf(const char* text, char separator) {
    std::vector<String> out{String("stale")};
    String(text).Split(separator, out);
    return out;
}

}  // namespace

TEST(String, EmptyHandlesAndEquality) {
    const String empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_STREQ(empty.CStr(), "");
    EXPECT_TRUE(String(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_TRUE(empty == String(""));
    EXPECT_TRUE(empty == "");
    EXPECT_FALSE(empty == static_cast<const char*>(nullptr));
    EXPECT_FALSE(String("a") == static_cast<const char*>(nullptr));
    EXPECT_EQ(String('\0').Length(), 1u);
    EXPECT_FALSE(String('\0') == String());
    EXPECT_EQ(String("abc").At(2), 'c');
    EXPECT_EQ(String("abc").At(3), 0);
    EXPECT_EQ(empty.At(0), 0);
}

TEST(String, OrderIsUnsignedBytewise) {
    EXPECT_TRUE(String("a") < String("b"));
    EXPECT_TRUE(String("") < String("a"));
    EXPECT_TRUE(String("z") < String("\xC3\xA9"));  // bytes above 0x7F sort last
    EXPECT_FALSE(String("abc") < String("abc"));
    EXPECT_EQ(CStringCompare(nullptr, "a"), -1);
    EXPECT_EQ(CStringCompare("a", nullptr), 1);
    EXPECT_EQ(CStringCompare(nullptr, nullptr), 0);
    std::map<String, int> byKey{{String("b"), 2}, {String("a"), 1}};
    EXPECT_EQ(byKey.begin()->second, 1);
}

TEST(String, CopiesAreIndependentAfterWrites) {
    String original("shared");
    String copy(original);
    String assigned;
    assigned = copy;
    EXPECT_EQ(copy.CStr(), original.CStr());  // one text object until a write

    copy += "!";
    assigned.Truncate(3);
    EXPECT_EQ(original, "shared");
    EXPECT_EQ(copy, "shared!");
    EXPECT_EQ(assigned, "sha");

    String detached(original);
    detached.Detach(8);
    EXPECT_NE(detached.CStr(), original.CStr());
    EXPECT_EQ(detached.Length(), 9u);
    EXPECT_EQ(original.Length(), 6u);

    String self("x");
    self = self;
    self += self;
    EXPECT_EQ(self, "xx");

    String onEmpty;
    onEmpty += original;  // shares the right side
    EXPECT_EQ(onEmpty.CStr(), original.CStr());
    onEmpty += 'c';
    EXPECT_EQ(original, "shared");
    EXPECT_EQ(onEmpty, "sharedc");
    EXPECT_EQ("<" + String("a") + ">", "<a>");
}

TEST(String, SearchAndSlices) {
    const String path("a/b/c");
    EXPECT_EQ(path.FindLast('/'), 3u);
    EXPECT_EQ(path.FindLast('/', 2u), 1u);
    EXPECT_FALSE(path.FindLast('/', 5u));
    EXPECT_FALSE(path.FindLast('x'));
    EXPECT_EQ(path.Find('/'), 1u);
    EXPECT_EQ(path.Find('/', 2), 3u);
    EXPECT_FALSE(path.Find('/', 5));
    EXPECT_EQ(String("ABC").Find('b', 0, false), 1u);
    EXPECT_FALSE(String("ABC").Find('b'));
    EXPECT_EQ(String("abc").FindLast('B', std::nullopt, false), 1u);
    EXPECT_FALSE(String().Find('a'));

    const std::pair<String, const char*> slices[] = {{String("abc").Mid(5), ""}, {String("abc").Mid(1), "bc"},
        {String("abcdef").Mid(1, 2u), "bc"}, {String("abc").Mid(1, 99u), "bc"}, {String("abc").Left(10), "abc"},
        {String("abc").Left(1), "a"}, {String("abc").Right(2), "bc"}, {String("abc").Right(7), "abc"},
        {String().Right(2), ""}};
    for (size_t i = 0; i < std::size(slices); ++i) EXPECT_EQ(slices[i].first, slices[i].second) << i;
}

TEST(String, Transformations) {
    const std::pair<String, const char*> cases[] = {{String("MiXeD \xC3\x89").ToLower(), "mixed \xC3\x89"},
        {String("a.b.c").Replace('.', '/'), "a/b/c"}, {String("aaa").Replace("aa", "b"), "ba"},
        {String("x-y-z").Replace("-", "--"), "x--y--z"}, {String("abc").Replace("", "z"), "abc"},
        {String().Replace("a", "b"), ""}, {String("  a \t b\n").Simplify(), "a b"},
        {String("  a \t b\n").Trim(), "a \t b"}, {String(" \t\r\n").Trim(), ""}, {String(" \t").Simplify(), ""}};
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << i;
    const String clean("clean");
    EXPECT_EQ(clean.Trim().CStr(), clean.CStr());
    // 0xA0 is the second byte of a UTF-8 character here, never white space.
    EXPECT_EQ(String("\xC3\xA0").Trim(), "\xC3\xA0");
    EXPECT_EQ(String(" x\xC2\xA0 ").Simplify(), "x\xC2\xA0");

    EXPECT_TRUE(String("Prefix.txt").StartsWith("Pre"));
    EXPECT_FALSE(String("Prefix.txt").StartsWith("pre"));
    EXPECT_TRUE(String("Prefix.txt").StartsWith("pre", false));
    EXPECT_TRUE(String("Prefix.TXT").EndsWith(".txt", false));
    EXPECT_FALSE(String("ab").EndsWith("abc"));
    EXPECT_TRUE(String().StartsWith(""));
    EXPECT_TRUE(String("a").EndsWith(String()));
}

TEST(String, SplitAndJoin) {
    const std::pair<const char*, std::vector<const char*>> splits[] = {
        {"", {""}}, {"a,,b", {"a", "", "b"}}, {",a,", {"", "a", ""}}};
    for (const auto& [text, expected] : splits) {
        const auto pieces = SplitOf(text, ',');
        ASSERT_EQ(pieces.size(), expected.size()) << text;
        for (size_t i = 0; i < pieces.size(); ++i) EXPECT_EQ(pieces[i], expected[i]) << text << " " << i;
    }

    EXPECT_EQ(String::Join(", ", {String("a"), String("b"), String("c")}), "a, b, c");
    EXPECT_EQ(String::Join("-", {String("only")}), "only");
    EXPECT_TRUE(String::Join("-", {}).IsEmpty());
}

TEST(String, ArgMarkerRules) {
    const String twoMarkers = String("%2 and %1").Arg("x");
    const String zero = String("%1").Arg("%0");
    const std::pair<String, const char*> cases[] = {{twoMarkers, "%2 and x"}, {twoMarkers.Arg("y"), "y and x"},
        {String("a%1b%1").Arg("x"), "axb%1"}, {String("a%1b%1").Arg("x").Arg("y"), "axby"},
        {String("no markers").Arg("x"), "no markersx"}, {String().Arg("x"), "x"}, {String("50%").Arg("x"), "50%x"},
        {String("100%").Arg(7), "100%7"}, {String("Computing (%1%)...").Arg(42), "Computing (42%)..."},
        {String("%10").Arg("x"), "x0"}, {zero, "%0"}, {zero.Arg("z"), "z"}, {String("%3%1%2%1").Arg("a"), "%3a%2%1"},
        {String("%9x%0").Arg("a"), "%9xa"}, {String("%1.Geometry").Arg(String("Main")), "Main.Geometry"},
        {String("[%1]").Arg('c'), "[c]"}};
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << i;
}

TEST(String, ArgNumbers) {
    const String one("%1");
    const std::pair<String, String> cases[] = {{one.Arg(-1, 16), "FFFFFFFF"}, {one.Arg(-1), "-1"},
        {one.Arg(255, 1), "255"}, {one.Arg(255, 37), "255"}, {one.Arg(255u, 16), "FF"},
        {one.Arg(static_cast<short>(-2), 16), "-2"}, {one.Arg(static_cast<ushort>(65535)), "65535"},
        {one.Arg(-1L, 16), "FFFFFFFFFFFFFFFF"}, {one.Arg(static_cast<std::size_t>(5000000000ULL)), "5000000000"},
        {one.Arg(-9000000000LL), "-9000000000"}, {one.Arg(0.5f, 2, 'f'), "0.50"}, {one.Arg(0.25), "0.25"},
        {one.Arg(1.0, -1, 'f'), "1.000000"}, {one.Arg(1.0, -5, 'f'), String::Number(1.0, 99, 'f')},
        {String("%1 %2").Arg(true).Arg(3.5, 1, 'e'), "1 3.5e+00"}};
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << i;
}
