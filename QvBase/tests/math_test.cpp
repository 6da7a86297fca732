#include <QvBase/Util/Math.h>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Per-channel blend written straight from the rule, as the reference.
std::uint32_t BlendReference(std::uint32_t first, std::uint32_t second, unsigned t) {
    if (t == 0) return second;
    if (t == 255) return first;
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const std::uint32_t a = (first >> shift) & 0xFF, b = (second >> shift) & 0xFF;
        out |= ((a * t + b * (255 - t) + 128) >> 8) << shift;
    }
    return out;
}

}  // namespace

TEST(Math, GuardedLogarithmsAgainstLongDouble) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(Util::Log(0.0)), 0xC733426172C74D82ull);
    EXPECT_EQ(Util::Log(1e-37), -1e35);
    EXPECT_EQ(Util::Log(-1e-37), -1e35);
    EXPECT_EQ(Util::Log10(0.0), -1e35);
    EXPECT_EQ(Util::Log10(-0.0), -1e35);
    EXPECT_NEAR(Util::Log(1e-36), -36 * 2.302585092994046, 1e-12);  // the guard's bound is excluded
    EXPECT_TRUE(std::isnan(Util::Log(-1.0)));
    EXPECT_TRUE(std::isnan(Util::Log10(-1e-36)));
    EXPECT_DOUBLE_EQ(Util::Log10(1000.0), 3.0);

    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-300, 300);
    for (int i = 0; i < 2000; ++i) {
        const double x = std::pow(10.0, exponent(random));
        if (x < 1e-36) continue;
        EXPECT_EQ(Util::Log(x), static_cast<double>(std::log(static_cast<long double>(x)))) << x;
        EXPECT_NEAR(Util::Log10(x), static_cast<double>(std::log10(static_cast<long double>(x))),
            1e-15 * std::fabs(std::log10(x)) + 1e-300)
            << x;
    }
}

TEST(Math, ExpFollowsTheExtendedResultAndItsEdges) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> argument(-700, 700);
    for (int i = 0; i < 2000; ++i) {
        const double x = argument(random);
        const double reference = static_cast<double>(std::exp(static_cast<long double>(x)));
        EXPECT_NEAR(Util::Exp(x), reference, std::fabs(reference) * 4e-16) << x;
    }
    EXPECT_EQ(Util::Exp(0.0), 1.0);
    EXPECT_EQ(Util::Exp(1000.0), kInf);
    EXPECT_EQ(Util::Exp(1e300), kInf);
    EXPECT_EQ(Util::Exp(-1e300), 0.0);
    EXPECT_TRUE(std::isnan(Util::Exp(kInf)));
    EXPECT_TRUE(std::isnan(Util::Exp(-kInf)));
    EXPECT_TRUE(std::isnan(Util::Exp(kNaN)));
    EXPECT_TRUE(std::isnan(Util::Sqrt(-1.0)));
    EXPECT_EQ(Util::Floor(-1.5), -2.0);
    EXPECT_EQ(Util::Ceil(-1.5), -1.0);
    EXPECT_EQ(Util::Pow(2.0, 10.0), 1024.0);
}

TEST(Math, AmpToDbHasItsFloorAndIsContinuousThere) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(1e-20f), 0x1E3CE508u);
    EXPECT_EQ(Util::AmpToDb(0.0f), -400.0f);
    EXPECT_EQ(Util::AmpToDb(-1.0f), -400.0f);
    EXPECT_EQ(Util::AmpToDb(std::nextafter(1e-20f, 0.0f)), -400.0f);
    EXPECT_NEAR(Util::AmpToDb(1e-20f), -400.0f, 1e-3f);
    EXPECT_EQ(Util::AmpToDb(1.0f), 0.0f);
    EXPECT_NEAR(Util::AmpToDb(0.1f), -20.0f, 1e-5f);
    EXPECT_TRUE(std::isnan(Util::AmpToDb(std::numeric_limits<float>::quiet_NaN())));
    for (float x = 1e-19f; x < 1e6f; x *= 3.7f) {
        const long double reference = std::log(static_cast<long double>(x)) * static_cast<long double>(8.685889f);
        EXPECT_EQ(Util::AmpToDb(x), static_cast<float>(reference)) << x;
        EXPECT_NEAR(Util::AmpToDb(x), 20.0 * std::log10(static_cast<double>(x)), 1e-4 * (1 + std::fabs(std::log10(x))))
            << x;
    }
}

TEST(Math, LinearMapsInBothFormsWithoutClamping) {
    const float zeroTen[2] = {0, 10};
    const float threeThree[2] = {3, 3};
    const float zeroOne[2] = {0, 1};
    const float target[2] = {100, 200};
    EXPECT_EQ(Util::LinearMap(5, zeroTen, 100, 200), 150.0f);
    EXPECT_EQ(Util::LinearMap(-7, threeThree, 100, 200), 100.0f);
    EXPECT_EQ(Util::LinearMap(20, zeroTen, 0, 1), 2.0f);
    EXPECT_EQ(Util::LinearMapTo(5, 0, 10, target), 150.0f);
    EXPECT_EQ(Util::LinearMapTo(5, 3, 3, target), 100.0f);
    EXPECT_EQ(Util::LinearMapTo(20, 0, 10, zeroOne), 2.0f);
    const float nanRange[2] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::quiet_NaN()};
    EXPECT_TRUE(std::isnan(Util::LinearMap(1, nanRange, 0, 1)));  // NaN bounds are not equal

    std::mt19937 random(3);
    std::uniform_real_distribution<float> value(-1000, 1000);
    for (int i = 0; i < 1000; ++i) {
        const float range[2] = {value(random), value(random)};
        const float x = value(random), c = value(random), d = value(random);
        if (range[0] == range[1]) continue;
        const long double a = range[0], b = range[1];
        EXPECT_EQ(Util::LinearMap(x, range, c, d),
            static_cast<float>((x - a) / (b - a) * (static_cast<long double>(d) - c) + c));
    }
}

TEST(Math, RoundToInt64HalfAwayFromZeroAndDefinedOutsideTheRange) {
    // 2^52 + 1 stays exact; 9223372036854774784 is the largest double below 2^63.
    const std::pair<double, std::int64_t> fixed[] = {{2.5, 3}, {-2.5, -3}, {0.5, 1}, {-0.5, -1}, {-0.4, 0},
        {0.49999999999999994, 0}, {-0.49999999999999994, 0}, {4503599627370497.0, 4503599627370497},
        {-9223372036854775808.0, INT64_MIN}, {9223372036854774784.0, 9223372036854774784},
        {9223372036854775808.0, INT64_MAX}, {1e300, INT64_MAX}, {kInf, INT64_MAX}, {-1e300, INT64_MIN},
        {-kInf, INT64_MIN}, {kNaN, INT64_MIN}};
    for (const auto& [x, rounded] : fixed) EXPECT_EQ(Util::RoundToInt64(x), rounded) << x;

    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> value(-1e15, 1e15);
    for (int i = 0; i < 2000; ++i) {
        const double x = value(random);
        EXPECT_EQ(Util::RoundToInt64(x), static_cast<std::int64_t>(std::llround(static_cast<long double>(x)))) << x;
    }
}

TEST(Math, BlendColourMatchesThePerChannelRule) {
    const struct {
        std::uint32_t first, second;
        std::uint8_t t;
        std::uint32_t blended;
    } fixed[] = {{0xFFFFFF, 0x000000, 128, 0x808080}, {0xFFFFFF, 0x000000, 1, 0x010101},
        {0xFFFFFF, 0x000000, 254, 0xFDFDFD}, {0xFFFFFF, 0xFFFFFF, 128, 0xFEFEFE},
        {0xFF123456, 0xAA000000, 0, 0xAA000000}, {0xFF123456, 0xAA000000, 255, 0xFF123456}};
    for (const auto& f : fixed) EXPECT_EQ(UI::BlendColour(f.first, f.second, f.t), f.blended) << std::hex << f.first;

    std::mt19937 random(9);
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t a = random(), b = random();
        const unsigned t = random() & 0xFF;
        ASSERT_EQ(UI::BlendColour(a, b, static_cast<std::uint8_t>(t)), BlendReference(a, b, t))
            << std::hex << a << " " << b << " " << t;
    }
}
