#include <Primitives/Prim/Convert.h>
#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Vec/Convert.h>

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

using Prim::Status;
constexpr float FloatMax = std::numeric_limits<float>::max();
constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t IntMin = std::numeric_limits<std::int32_t>::min();

// Both builds of one operation, named for messages.
template <class Fn>
struct Pair {
    Fn x87;
    Fn sse2;
};
#define PAIR(op) \
    Pair<decltype(&Prim::op##_x87)> { &Prim::op##_x87, &Prim::op##_sse2 }

template <class S, class D, class... Extra, class Fn = Status (*)(const S*, D*, std::int32_t, Extra...)>
void CheckArguments(Pair<Fn> pair, Extra... extra) {
    for (Fn f : {pair.x87, pair.sse2}) {
        S src[2] = {};
        D dst[2];
        std::memset(dst, 0x77, sizeof dst);
        EXPECT_EQ(f(nullptr, dst, 2, extra...), Prim::StatusNullPointer);
        EXPECT_EQ(f(src, nullptr, 2, extra...), Prim::StatusNullPointer);
        EXPECT_EQ(f(nullptr, dst, 0, extra...), Prim::StatusNullPointer);
        EXPECT_EQ(f(src, dst, 0, extra...), Prim::StatusSizeError);
        EXPECT_EQ(f(src, dst, -4, extra...), Prim::StatusSizeError);
        unsigned char untouched[sizeof dst];
        std::memset(untouched, 0x77, sizeof untouched);
        EXPECT_EQ(std::memcmp(dst, untouched, sizeof dst), 0);
        EXPECT_EQ(f(src, dst, 2, extra...), Prim::StatusOk);
    }
}

TEST(Convert, ChecksPointersThenLength) {
    CheckArguments<std::uint8_t, float>(PAIR(ConvertU8ToF32));
    CheckArguments<std::int16_t, float, std::int32_t>(PAIR(ConvertS16ToF32), 15);
    CheckArguments<std::int16_t, double, std::int32_t>(PAIR(ConvertS16ToF64), 15);
    CheckArguments<std::int32_t, float, std::int32_t>(PAIR(ConvertS32ToF32), 31);
    CheckArguments<std::int32_t, double, std::int32_t>(PAIR(ConvertS32ToF64), 31);
    CheckArguments<float, std::uint8_t, std::int32_t, std::int32_t>(PAIR(ConvertF32ToU8), 1, 0);
    CheckArguments<float, std::int16_t, std::int32_t, std::int32_t>(PAIR(ConvertF32ToS16), 7, 99999);
    CheckArguments<float, std::int32_t, std::int32_t, std::int32_t>(PAIR(ConvertF32ToS32), 0, -3);
    CheckArguments<double, std::int32_t, std::int32_t, std::int32_t>(PAIR(ConvertF64ToS32), 1, 0);
    CheckArguments<float, double>(PAIR(ConvertF32ToF64));
    CheckArguments<double, float>(PAIR(ConvertF64ToF32));
}

template <class S, class D, class Fn, class... Extra>
std::vector<D> Apply(Fn f, const std::vector<S>& src, Extra... extra) {
    std::vector<D> dst(src.size());
    EXPECT_EQ(f(src.data(), dst.data(), static_cast<std::int32_t>(src.size()), extra...), Prim::StatusOk);
    return dst;
}

TEST(Convert, IntegerToFloatScalesExactly) {
    for (auto f : {PAIR(ConvertS16ToF32).x87, PAIR(ConvertS16ToF32).sse2}) {
        const auto out = Apply<std::int16_t, float>(f, std::vector<std::int16_t>{-32768, 32767, 1, 0, -1}, 15);
        EXPECT_EQ(out, (std::vector<float>{-1.0f, 0.999969482421875f, 0x1p-15f, 0.0f, -0x1p-15f}));
        // Scale clamps: 200 acts as 126, -200 as -112.
        EXPECT_EQ((Apply<std::int16_t, float>(f, std::vector<std::int16_t>{3}, 200)[0]), 3 * 0x1p-126f);
        EXPECT_EQ((Apply<std::int16_t, float>(f, std::vector<std::int16_t>{-3}, -200)[0]), -3 * 0x1p112f);
        EXPECT_EQ((Apply<std::int16_t, float>(f, std::vector<std::int16_t>{-3}, 0)[0]), -3.0f);
    }
    for (auto f : {PAIR(ConvertS16ToF64).x87, PAIR(ConvertS16ToF64).sse2}) {
        EXPECT_EQ((Apply<std::int16_t, double>(f, std::vector<std::int16_t>{-32768, 16384}, 15)),
            (std::vector<double>{-1.0, 0.5}));
        EXPECT_EQ((Apply<std::int16_t, double>(f, std::vector<std::int16_t>{1}, 5000)[0]), 0x1p-1022);
        EXPECT_EQ((Apply<std::int16_t, double>(f, std::vector<std::int16_t>{1}, -5000)[0]), 0x1p1008);
    }
    for (auto f : {PAIR(ConvertS32ToF32).x87, PAIR(ConvertS32ToF32).sse2}) {
        EXPECT_EQ((Apply<std::int32_t, float>(f, std::vector<std::int32_t>{IntMax, IntMin}, 31)),
            (std::vector<float>{1.0f, -1.0f}));
        EXPECT_EQ((Apply<std::int32_t, float>(f, std::vector<std::int32_t>{(1 << 24) + 1, (1 << 24) + 3}, 0)),
            (std::vector<float>{16777216.0f, 16777220.0f}));  // ties to even
        EXPECT_EQ((Apply<std::int32_t, float>(f, std::vector<std::int32_t>{IntMax}, -200)[0]), 0x1p127f);
    }
    for (auto f : {PAIR(ConvertS32ToF64).x87, PAIR(ConvertS32ToF64).sse2}) {
        EXPECT_EQ((Apply<std::int32_t, double>(f, std::vector<std::int32_t>{IntMax, IntMin}, 31)),
            (std::vector<double>{2147483647.0 / 2147483648.0, -1.0}));
        EXPECT_EQ((Apply<std::int32_t, double>(f, std::vector<std::int32_t>{1}, -5000)[0]), 0x1p992);
    }
    for (auto f : {PAIR(ConvertU8ToF32).x87, PAIR(ConvertU8ToF32).sse2}) {
        std::vector<std::uint8_t> all(256 + 19);
        for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<std::uint8_t>(i * 7);
        const auto out = Apply<std::uint8_t, float>(f, all);
        for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(out[i], static_cast<float>(all[i]));
    }
}

TEST(Convert, FloatToIntegerSaturatesAndRounds) {
    for (auto f : {PAIR(ConvertF32ToS16).x87, PAIR(ConvertF32ToS16).sse2}) {
        const std::vector<float> in{
            32766.5f, 32767.0f, 40000.0f, -32768.0f, -32768.7f, -0.5f, -1.5f, 0.5f, 1.5f, 2.5f, -2.5f};
        EXPECT_EQ((Apply<float, std::int16_t>(f, in, Prim::RoundModeNearest, 0)),
            (std::vector<std::int16_t>{32766, 32767, 32767, -32768, -32768, 0, -2, 0, 2, 2, -2}));
        EXPECT_EQ((Apply<float, std::int16_t>(f, in, Prim::RoundModeZero, 0)),
            (std::vector<std::int16_t>{32766, 32767, 32767, -32768, -32768, 0, -1, 0, 1, 2, -2}));
        EXPECT_EQ(
            (Apply<float, std::int16_t>(f, std::vector<float>{0.5f, -1.0f, 1.0f, 0.99999f}, Prim::RoundModeZero, -15)),
            (std::vector<std::int16_t>{16384, -32768, 32767, 32767}));
        const float inf = std::numeric_limits<float>::infinity();
        EXPECT_EQ((Apply<float, std::int16_t>(f, std::vector<float>{inf, -inf}, 1, 3)),
            (std::vector<std::int16_t>{32767, -32768}));
        EXPECT_EQ((Apply<float, std::int16_t>(f, std::vector<float>{100.0f}, 1, 2)[0]), 25);
    }
    for (auto f : {PAIR(ConvertF32ToU8).x87, PAIR(ConvertF32ToU8).sse2}) {
        EXPECT_EQ(
            (Apply<float, std::uint8_t>(f, std::vector<float>{-3.0f, 254.5f, 255.0f, 1e30f, -0.0f, -1e-20f}, 1, 0)),
            (std::vector<std::uint8_t>{0, 254, 255, 255, 0, 0}));
        EXPECT_EQ((Apply<float, std::uint8_t>(f, std::vector<float>{254.6f, 0.9f}, 0, 0)),
            (std::vector<std::uint8_t>{254, 0}));
    }
    for (auto f : {PAIR(ConvertF64ToS32).x87, PAIR(ConvertF64ToS32).sse2}) {
        EXPECT_EQ((Apply<double, std::int32_t>(f,
                      std::vector<double>{2147483646.5, 2147483647.4, -2147483648.6, -2147483647.5, 3e9, -3e9}, 1, 0)),
            (std::vector<std::int32_t>{2147483646, IntMax, IntMin, -2147483648, IntMax, IntMin}));
        EXPECT_EQ((Apply<double, std::int32_t>(f, std::vector<double>{-7.9, 7.9, 0.5}, 0, 0)),
            (std::vector<std::int32_t>{-7, 7, 0}));
        EXPECT_EQ((Apply<double, std::int32_t>(f, std::vector<double>{1.0, -0.75}, 0, -31)),
            (std::vector<std::int32_t>{IntMax, -1610612736}));
    }
    for (auto f : {PAIR(ConvertF32ToS32).x87, PAIR(ConvertF32ToS32).sse2}) {
        EXPECT_EQ((Apply<float, std::int32_t>(
                      f, std::vector<float>{2147483648.0f, 2147483520.0f, -2147483648.0f, -3e9f, 1e-30f, -6.5f}, 1, 0)),
            (std::vector<std::int32_t>{IntMax, 2147483520, IntMin, IntMin, 0, -6}));
        EXPECT_EQ((Apply<float, std::int32_t>(f, std::vector<float>{1.0f, -1.0f, 0.5f}, 0, -31)),
            (std::vector<std::int32_t>{IntMax, IntMin, 1073741824}));
    }
}

TEST(Convert, NarrowingToFloatNeverGivesInfinity) {
    for (auto f : {PAIR(ConvertF64ToF32).x87, PAIR(ConvertF64ToF32).sse2}) {
        const double inf = std::numeric_limits<double>::infinity();
        EXPECT_EQ((Apply<double, float>(
                      f, std::vector<double>{1e39, -1e39, inf, -inf, 1e-50, 0.1, static_cast<double>(FloatMax)})),
            (std::vector<float>{FloatMax, -FloatMax, FloatMax, -FloatMax, 0.0f, 0.1f, FloatMax}));
    }
    for (auto f : {PAIR(ConvertF32ToF64).x87, PAIR(ConvertF32ToF64).sse2}) {
        EXPECT_EQ((Apply<float, double>(f, std::vector<float>{0.1f, -FloatMax, 1e-45f})),
            (std::vector<double>{
                static_cast<double>(0.1f), -static_cast<double>(FloatMax), static_cast<double>(1e-45f)}));
    }
}

TEST(Convert, NaNsGiveEachBuildsOwnValues) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float negativeNan = -nan;
    const std::vector<float> nans(13, nan);  // long enough for the vector lanes
    const std::vector<float> negativeNans(13, negativeNan);
    auto all = [](const auto& v, auto value) {
        for (auto x : v) {
            if (x != value) return false;
        }
        return true;
    };
    for (int mode : {0, 1}) {
        EXPECT_TRUE(all(Apply<float, std::uint8_t>(PAIR(ConvertF32ToU8).x87, nans, mode, 0), std::uint8_t{255}));
        EXPECT_TRUE(all(Apply<float, std::uint8_t>(PAIR(ConvertF32ToU8).sse2, nans, mode, 0), std::uint8_t{255}));
        EXPECT_TRUE(all(Apply<float, std::int16_t>(PAIR(ConvertF32ToS16).x87, nans, mode, 0), std::int16_t{-32768}));
        EXPECT_TRUE(all(Apply<float, std::int16_t>(PAIR(ConvertF32ToS16).sse2, nans, mode, 0), std::int16_t{32767}));
        EXPECT_TRUE(all(Apply<float, std::int32_t>(PAIR(ConvertF32ToS32).x87, nans, mode, 0), IntMin));
        EXPECT_TRUE(all(Apply<float, std::int32_t>(PAIR(ConvertF32ToS32).x87, negativeNans, mode, 0), IntMin));
        EXPECT_TRUE(all(Apply<float, std::int32_t>(PAIR(ConvertF32ToS32).sse2, nans, mode, 0), IntMax));
        EXPECT_TRUE(all(Apply<float, std::int32_t>(PAIR(ConvertF32ToS32).sse2, negativeNans, mode, 0), IntMin));
        const std::vector<double> dnans(9, std::numeric_limits<double>::quiet_NaN());
        EXPECT_TRUE(all(Apply<double, std::int32_t>(PAIR(ConvertF64ToS32).x87, dnans, mode, 0), IntMin));
        EXPECT_TRUE(all(Apply<double, std::int32_t>(PAIR(ConvertF64ToS32).sse2, dnans, mode, 0), IntMax));
    }
    const std::vector<double> dnans(9, std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(all(Apply<double, float>(PAIR(ConvertF64ToF32).x87, dnans), -FloatMax));
    EXPECT_TRUE(all(Apply<double, float>(PAIR(ConvertF64ToF32).sse2, dnans), FloatMax));
}

TEST(Convert, UnknownRoundingModes) {
    const std::vector<float> in{2.5f, 3.5f, -2.7f, 2.7f, 0.5f, 1.5f, 7.5f, -7.5f, 9.6f};
    for (int mode : {2, -1, 42}) {
        // x87 rounds to nearest only for exactly 1; SSE2 truncates only for exactly 0.
        EXPECT_EQ((Apply<float, std::int16_t>(PAIR(ConvertF32ToS16).x87, in, mode, 0)),
            (std::vector<std::int16_t>{2, 3, -2, 2, 0, 1, 7, -7, 9}));
        EXPECT_EQ((Apply<float, std::int16_t>(PAIR(ConvertF32ToS16).sse2, in, mode, 0)),
            (std::vector<std::int16_t>{2, 4, -3, 3, 0, 2, 8, -8, 10}));
    }
}

// Both builds against a reference made with the processor's own round-to-nearest,
// over every alignment so that heads, vector bodies and tails all run.
TEST(Convert, BuildsAgreeWithReferenceOnRandomData) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> wide(-40000.0f, 40000.0f);
    std::uniform_int_distribution<int> halves(-70000, 70000);
    std::vector<float> floats(1000);
    for (std::size_t i = 0; i < floats.size(); ++i) {
        floats[i] = (i % 3 == 0) ? static_cast<float>(halves(rng)) * 0.5f : wide(rng);
    }
    std::vector<double> doubles(floats.size());
    for (std::size_t i = 0; i < doubles.size(); ++i) doubles[i] = static_cast<double>(floats[i]) * 65537.25;
    std::vector<std::int32_t> ints(floats.size());
    for (auto& v : ints) v = static_cast<std::int32_t>(rng());
    std::vector<std::int16_t> shorts(floats.size());
    for (auto& v : shorts) v = static_cast<std::int16_t>(rng());

    auto clampRound = [](double v, double lo, double hi, bool nearest) {
        if (v >= hi) return hi;
        if (v <= lo) return lo;
        return nearest ? std::nearbyint(v) : std::trunc(v);
    };
    for (std::size_t offset = 0; offset < 8; ++offset) {
        const std::int32_t n = static_cast<std::int32_t>(floats.size() - 8);
        // Float to integer: rounded or truncated after the scale, saturated at the type's ends.
        const auto narrow = [&](auto pair, const auto& src, auto zero, std::size_t shift, int mode, int scale,
                                double lo, double hi) {
            for (auto f : {pair.x87, pair.sse2}) {
                std::vector<decltype(zero)> out(src.size() + 8);
                ASSERT_EQ(f(src.data() + offset, out.data() + shift, n, mode, scale), Prim::StatusOk);
                for (std::int32_t i = 0; i < n; ++i) {
                    const double v = std::ldexp(static_cast<double>(src[offset + i]), -scale);
                    ASSERT_EQ(out[shift + i], clampRound(v, lo, hi, mode == 1)) << v;
                }
            }
        };
        for (int mode : {0, 1}) {
            for (int scale : {0, 3, -2}) {
                narrow(PAIR(ConvertF32ToS16), floats, std::int16_t{}, 7 - offset, mode, scale, -32768, 32767);
                narrow(PAIR(ConvertF32ToU8), floats, std::uint8_t{}, 1, mode, scale + 7, 0, 255);
                narrow(PAIR(ConvertF32ToS32), floats, std::int32_t{}, 0, mode, scale - 17, IntMin, IntMax);
                narrow(PAIR(ConvertF64ToS32), doubles, std::int32_t{}, 3, mode, scale, IntMin, IntMax);
            }
        }
        // Integer to float: exact but for the float rounding of large 32-bit values.
        const auto widen = [&](auto pair, const auto& src, auto zero, std::size_t shift, int scale) {
            for (auto f : {pair.x87, pair.sse2}) {
                std::vector<decltype(zero)> out(src.size());
                ASSERT_EQ(f(src.data() + offset, out.data() + shift, 900, scale), Prim::StatusOk);
                for (std::int32_t i = 0; i < 900; ++i)
                    ASSERT_EQ(out[shift + i], std::ldexp(static_cast<decltype(zero)>(src[offset + i]), -scale));
            }
        };
        for (int scale : {0, 15, 31, -4}) {
            widen(PAIR(ConvertS32ToF32), ints, 0.0f, 1, scale);
            widen(PAIR(ConvertS16ToF64), shorts, 0.0, 1, scale);
            widen(PAIR(ConvertS32ToF64), ints, 0.0, 0, scale);
            widen(PAIR(ConvertS16ToF32), shorts, 0.0f, 2, scale);
        }
        for (auto f : {PAIR(ConvertF64ToF32).x87, PAIR(ConvertF64ToF32).sse2}) {
            std::vector<float> out(doubles.size());
            ASSERT_EQ(f(doubles.data() + offset, out.data() + 1, 900), Prim::StatusOk);
            for (std::int32_t i = 0; i < 900; ++i) ASSERT_EQ(out[1 + i], static_cast<float>(doubles[offset + i]));
        }
        for (auto f : {PAIR(ConvertF32ToF64).x87, PAIR(ConvertF32ToF64).sse2}) {
            std::vector<double> out(floats.size());
            ASSERT_EQ(f(floats.data() + offset, out.data() + 1, 900), Prim::StatusOk);
            for (std::int32_t i = 0; i < 900; ++i) ASSERT_EQ(out[1 + i], static_cast<double>(floats[offset + i]));
        }
    }
}

// A conversion between two 32-bit formats may run in place: every element
// comes out as it would into a separate array, at every alignment.
TEST(Convert, ThirtyTwoBitConversionsRunInPlace) {
    std::mt19937 rng(77);
    std::uniform_int_distribution<std::int32_t> anyInt(IntMin, IntMax);
    std::uniform_real_distribution<float> anyFloat(-3e9f, 3e9f);
    for (std::int32_t len : {1, 3, 4, 7, 8, 9, 31, 64, 133}) {
        for (std::size_t offset = 0; offset < 4; ++offset) {
            std::vector<std::int32_t> ints(static_cast<std::size_t>(len) + offset);
            for (auto& v : ints) v = anyInt(rng);
            std::vector<float> floats(ints.size());
            for (auto& v : floats) v = anyFloat(rng);
            for (auto f : {PAIR(ConvertS32ToF32).x87, PAIR(ConvertS32ToF32).sse2}) {
                std::vector<float> apart(ints.size());
                ASSERT_EQ(f(ints.data() + offset, apart.data() + offset, len, 7), Prim::StatusOk);
                std::vector<std::int32_t> same = ints;
                ASSERT_EQ(
                    f(same.data() + offset, reinterpret_cast<float*>(same.data() + offset), len, 7), Prim::StatusOk);
                EXPECT_EQ(
                    std::memcmp(same.data() + offset, apart.data() + offset, 4 * static_cast<std::size_t>(len)), 0)
                    << len << " " << offset;
            }
            for (auto f : {PAIR(ConvertF32ToS32).x87, PAIR(ConvertF32ToS32).sse2}) {
                std::vector<std::int32_t> apart(floats.size());
                ASSERT_EQ(f(floats.data() + offset, apart.data() + offset, len, 1, -1), Prim::StatusOk);
                std::vector<float> same = floats;
                ASSERT_EQ(f(same.data() + offset, reinterpret_cast<std::int32_t*>(same.data() + offset), len, 1, -1),
                    Prim::StatusOk);
                EXPECT_EQ(
                    std::memcmp(same.data() + offset, apart.data() + offset, 4 * static_cast<std::size_t>(len)), 0)
                    << len << " " << offset;
            }
        }
    }
}

TEST(Convert, LongWideningsStreamTheSameValues) {
    constexpr std::int32_t n = 0x7000 + 13;
    std::vector<std::int16_t> shorts(n);
    std::vector<float> floats(n);
    for (std::int32_t i = 0; i < n; ++i) {
        shorts[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i * 37);
        floats[static_cast<std::size_t>(i)] = static_cast<float>(i) * 0.25f - 100.0f;
    }
    std::vector<double> a(n), b(n);
    ASSERT_EQ(Prim::ConvertS16ToF64_x87(shorts.data(), a.data(), n, 15), Prim::StatusOk);
    ASSERT_EQ(Prim::ConvertS16ToF64_sse2(shorts.data(), b.data(), n, 15), Prim::StatusOk);
    EXPECT_EQ(a, b);
    ASSERT_EQ(Prim::ConvertF32ToF64_x87(floats.data(), a.data(), n), Prim::StatusOk);
    ASSERT_EQ(Prim::ConvertF32ToF64_sse2(floats.data(), b.data(), n), Prim::StatusOk);
    EXPECT_EQ(a, b);
}

TEST(Convert, OutOfRangeScalesNeedNoLoop) {
    // A factor of 2^-s is formed directly; extreme scales return at once.
    std::vector<float> in{1.0f, -3.0f, 0.0f, 1e30f};
    EXPECT_EQ((Apply<float, std::int16_t>(PAIR(ConvertF32ToS16).x87, in, 1, IntMax)),
        (std::vector<std::int16_t>{0, 0, 0, 0}));
    EXPECT_EQ((Apply<float, std::int16_t>(PAIR(ConvertF32ToS16).x87, in, 1, IntMin)),
        (std::vector<std::int16_t>{32767, -32768, 0, 32767}));
    EXPECT_EQ((Apply<float, std::int16_t>(PAIR(ConvertF32ToS16).sse2, in, 1, IntMax)),
        (std::vector<std::int16_t>{0, 0, 0, 0}));
    EXPECT_EQ((Apply<float, std::int32_t>(PAIR(ConvertF32ToS32).sse2, in, 1, 140)[3]), 0);
}

TEST(Convert, LeavesTheRoundingModeAlone) {
    const int before = std::fegetround();
    ASSERT_EQ(std::fesetround(FE_UPWARD), 0);
    volatile float tie = 2.5f;
    const std::vector<float> in(9, static_cast<float>(tie));
    const auto x87 = Apply<float, std::int16_t>(PAIR(ConvertF32ToS16).x87, in, 1, 0);
    const auto sse2 = Apply<float, std::int16_t>(PAIR(ConvertF32ToS16).sse2, in, 1, 0);
    const auto truncated = Apply<float, std::int32_t>(PAIR(ConvertF32ToS32).sse2, in, 0, 0);
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    std::fesetround(before);
    for (auto v : x87) EXPECT_EQ(v, 2);
    for (auto v : sse2) EXPECT_EQ(v, 2);
    for (auto v : truncated) EXPECT_EQ(v, 2);
}

TEST(Convert, EntryPointsAndVecWrappers) {
    const std::int16_t pcm[3] = {-32768, 16384, 32767};
    float f[3] = {9.0f, 9.0f, 9.0f};
    Vec::ConvertS16ToF32(0, pcm, f, 15);  // length 0: the operation refuses it, nothing is written
    EXPECT_EQ(f[0], 9.0f);
    Vec::ConvertS16ToF32(3, pcm, f, 15);
    EXPECT_EQ(f[0], -1.0f);
    EXPECT_EQ(f[1], 0.5f);
    double d[3];
    Vec::ConvertS16ToF64(3, pcm, d, 15);
    EXPECT_EQ(d[2], 32767.0 / 32768.0);
    const std::int32_t pcm32[2] = {IntMin, 1 << 30};
    Vec::ConvertS32ToF32(2, pcm32, f, 31);
    EXPECT_EQ(f[1], 0.5f);
    Vec::ConvertS32ToF64(2, pcm32, d, 31);
    EXPECT_EQ(d[0], -1.0);
    const float samples[2] = {0.5f, -0.25f};
    std::int16_t out[2];
    Vec::ConvertF32ToS16(2, samples, out, -15, true);
    EXPECT_EQ(out[0], 16384);
    EXPECT_EQ(out[1], -8192);
    const float thirds[1] = {2.5f};
    Vec::ConvertF32ToS16(1, thirds, out, 0, true);
    EXPECT_EQ(out[0], 2);
    const float almost[1] = {2.9f};
    Vec::ConvertF32ToS16(1, almost, out, 0, false);
    EXPECT_EQ(out[0], 2);
    Vec::ConvertF32ToF64(2, samples, d);
    EXPECT_EQ(d[1], -0.25);
    const double big[2] = {1e300, 0.125};
    Vec::ConvertF64ToF32(2, big, f);
    EXPECT_EQ(f[0], FloatMax);
    EXPECT_EQ(f[1], 0.125f);
    Vec::ConvertF64ToF32(-1, nullptr, f);  // dropped
}

}  // namespace
