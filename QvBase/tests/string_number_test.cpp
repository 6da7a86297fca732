#include <QvBase/Util/String.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

std::string Printf(double v, int precision, char form) {
    char format[16];
    std::snprintf(format, sizeof format, "%%.%d%c", precision, form);
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, format, v);
    return buffer;
}

struct Parsed {
    int value;
    bool ok;
};

Parsed ParseInt(const char* text, int radix = 10) {
    bool ok = true;
    const int value = String(text).ToInt(&ok, radix);
    return {value, ok};
}

struct ParsedDouble {
    double value;
    bool ok;
};

ParsedDouble ParseDouble(const char* text) {
    bool ok = true;
    const double value = String(text).ToDouble(&ok);
    return {value, ok};
}

}  // namespace

TEST(StringNumber, RadixFormattingAtTheLimits) {
    EXPECT_EQ(StringFromInt(INT_MIN, 10), "-2147483648");
    EXPECT_EQ(StringFromInt(INT_MIN, 16), "-80000000");
    EXPECT_EQ(StringFromInt(INT_MIN, 2), "-10000000000000000000000000000000");
    EXPECT_EQ(StringFromInt(INT_MIN, 36), "-ZIK0ZK");
    EXPECT_EQ(StringFromInt(INT_MAX, 36), "ZIK0ZJ");
    EXPECT_EQ(StringFromUInt(UINT_MAX, 16), "FFFFFFFF");
    EXPECT_EQ(StringFromUInt(UINT_MAX, 10), "4294967295");
    EXPECT_EQ(StringFromUInt(UINT_MAX, 2), std::string(32, '1').c_str());
    EXPECT_EQ(StringFromUInt(UINT_MAX, 36), "1Z141Z3");
    EXPECT_EQ(StringFromUInt(0, 2), "0");
    EXPECT_EQ(StringFromUInt(35, 36), "Z");
    EXPECT_EQ(StringFromInt(-35, 36), "-Z");
    EXPECT_EQ(StringFromUInt(10, 0), "10");
    EXPECT_EQ(StringFromUInt(10, -3), "10");
    EXPECT_EQ(StringFromInt64(LLONG_MIN, 10), "-9223372036854775808");
    EXPECT_EQ(StringFromUInt64(ULLONG_MAX, 16), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(String::Number(static_cast<std::size_t>(ULONG_MAX)), "18446744073709551615");
    EXPECT_EQ(String::Number(-7L), "-7");
    EXPECT_EQ(String::Number(7u, 2), "111");
    EXPECT_EQ(String::Number(-255, 16), "-FF");
}

TEST(StringNumber, NumberMatchesPrintf) {
    std::mt19937_64 random(20261206);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-320, 308);
    std::uniform_int_distribution<int> precisionOf(0, 40);
    const char forms[] = {'f', 'F', 'e', 'E', 'g', 'G'};
    for (int i = 0; i < 6000; ++i) {
        double v = mantissa(random) * std::pow(10.0, exponent(random) % (i % 3 == 0 ? 30 : 308));
        if (i % 7 == 0) v = std::nearbyint(v * 1000.0) / 8.0;  // ties in the last digit
        const int precision = precisionOf(random);
        const char form = forms[i % 6];
        ASSERT_EQ(String::Number(v, precision, form), Printf(v, precision, form).c_str())
            << "value " << v << " precision " << precision << " form " << form;
    }
    for (double special : std::initializer_list<double>{
             0.0, -0.0, DBL_MAX, -DBL_MIN, DBL_TRUE_MIN, 0.5, 2.5, 1e21, INFINITY, -INFINITY, NAN})
        for (char form : forms)
            EXPECT_EQ(String::Number(special, 6, form), Printf(special, 6, form).c_str()) << special << form;
}

TEST(StringNumber, NumberFormAndPrecisionRules) {
    EXPECT_EQ(String::Number(1.5, -1, 'x'), "1.500000");
    EXPECT_EQ(String::Number(1.5), "1.5");
    EXPECT_EQ(String::Number(1.0 / 3.0, 150, 'f'), Printf(1.0 / 3.0, 99, 'f').c_str());
    EXPECT_EQ(String::Number(DBL_MAX, 99, 'f').Length(), 309u + 1u + 99u);
    EXPECT_EQ(String::Number(0.125, 2, 'e'), "1.25e-01");
}

TEST(StringNumber, DecimalPointIgnoresTheLocale) {
    const char* german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (!german) german = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    EXPECT_EQ(String::Number(2.5, 1, 'f'), "2.5");
    EXPECT_EQ(String("2.5").ToDouble(), 2.5);
    EXPECT_EQ(String("2,5").ToDouble(), 2.5);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(StringNumber, ToIntAcceptsWhiteSpaceAndSigns) {
    const struct {
        const char* text;
        int radix, value;
    } accepted[] = {{" \t-42 ", 10, -42}, {"+17", 10, 17}, {"-2147483648", 10, INT_MIN}, {"2147483647", 10, INT_MAX},
        {"12ab", 16, 0x12AB}, {"zZ", 36, 35 * 36 + 35}, {"7fffffff", 16, INT_MAX}, {"-1010", 2, -10}};
    for (const auto& a : accepted) {
        const auto p = ParseInt(a.text, a.radix);
        EXPECT_TRUE(p.ok) << a.text;
        EXPECT_EQ(p.value, a.value) << a.text;
    }
    EXPECT_EQ(String("99").ToInt(), 99);
}

TEST(StringNumber, ToIntRejectsOverflowJunkAndBadRadix) {
    const struct {
        const char* text;
        int radix;
    } failures[] = {{"2147483648", 10}, {"-2147483649", 10}, {"4294967295", 10}, {"4294967296", 10},
        {"99999999999", 10}, {"80000000", 16}, {"100000000", 16}, {"12ab", 10}, {"+", 10}, {"", 10}, {"-", 10},
        {"- 5", 10}, {"5 5", 10}, {"0x10", 16}, {"2", 2}, {"a", 10}, {"1.5", 10}, {"--1", 10}, {"\u00A01", 10},
        {"12", 1}, {"12", 0}, {"12", 37}, {"12", -10}};
    for (const auto& f : failures) {
        const auto p = ParseInt(f.text, f.radix);
        EXPECT_FALSE(p.ok) << f.text << " radix " << f.radix;
        EXPECT_EQ(p.value, 0) << f.text;
    }
    EXPECT_EQ(StringToInt(nullptr, 10, String("junk")), 0);
}

TEST(StringNumber, ToDoubleIsStrict) {
    for (const auto& [text, value] : std::initializer_list<std::pair<const char*, double>>{
             {"1,5", 1.5}, {"-2.5e3", -2500.0}, {"+.5", 0.5}, {"0.1", 0.1}, {"1.7976931348623157e308", DBL_MAX}}) {
        const auto p = ParseDouble(text);
        EXPECT_TRUE(p.ok) << text;
        EXPECT_EQ(p.value, value) << text;
    }
    for (const char* junk :
        {"", "1.5 ", " 1.5", "1.5x", "x", "+", "+-1", "--1", "1.2.3", "1,000.5", "1e", "1e999", "-1e999"}) {
        const auto p = ParseDouble(junk);
        EXPECT_FALSE(p.ok) << '"' << junk << '"';
        EXPECT_EQ(p.value, 0.0) << junk;
    }
}
