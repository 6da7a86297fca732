// Absolute value, complex magnitude and power, and reversal, both builds,
// against long-double references.
#include "support/prim_vectors.h"

#include <Primitives/Prim/Flip.h>
#include <Primitives/Prim/Magnitude.h>

#include <gtest/gtest.h>

using namespace PrimTest;

namespace {

class MagnitudeFamily : public testing::TestWithParam<TestBuild> {};

TEST_P(MagnitudeFamily, AbsoluteValueClearsTheSignBitOnly) {
    const TestBuild& b = GetParam();
    const float sNan = std::bit_cast<float>(0xFFA00001u);  // signalling, negative
    const std::vector<float> in = {
        -0.0f, -3.5f, Inf<float>, -Inf<float>, std::bit_cast<float>(0xFFC12345u), sNan, 2.0f};
    std::vector<float> out(in.size()), inPlace = in;
    ASSERT_EQ(b.AbsF32(in.data(), out.data(), std::int32_t(in.size())), Prim::StatusOk);
    ASSERT_EQ(b.AbsInPlaceF32(inPlace.data(), std::int32_t(in.size())), Prim::StatusOk);
    for (std::size_t i = 0; i < in.size(); ++i) {
        std::uint32_t want = Bits(in[i]) & 0x7FFFFFFFu;
        if (in[i] == sNan || (Bits(in[i]) == Bits(sNan))) want = b.sse2 ? 0x7FA00001u : 0x7FE00001u;  // x87 quietens
        EXPECT_EQ(Bits(out[i]), want) << i;
        EXPECT_EQ(Bits(inPlace[i]), want) << i;
    }
    const std::vector<double> d = {-0.0, -1e300, -Inf<double>, 5.0, -4.0};
    std::vector<double> dOut(d.size()), dInPlace = d;
    ASSERT_EQ(b.AbsF64(d.data(), dOut.data(), 5), Prim::StatusOk);
    ASSERT_EQ(b.AbsInPlaceF64(dInPlace.data(), 5), Prim::StatusOk);
    for (std::size_t i = 0; i < d.size(); ++i) {
        EXPECT_TRUE(SameBits(dOut[i], std::fabs(d[i])));
        EXPECT_TRUE(SameBits(dInPlace[i], std::fabs(d[i])));
    }
}

// x87: the correctly rounded magnitude; SSE2: the refined square root of the float square sum,
// within 5 ulps of its correctly rounded root whatever estimate the processor gives.
TEST_P(MagnitudeFamily, ComplexMagnitudeAndPowerAgainstLongDouble) {
    const TestBuild& b = GetParam();
    for (std::size_t n : {1, 3, 4, 8, 9, 17, 64, 101}) {
        for (std::size_t offset : {0, 4, 8, 12}) {
            auto values = Spread<float>(2 * n, unsigned(n * 16 + offset), 60);
            values[0] = 0.0f;  // a zero value among the others
            if (n > 2) values[2] = 1e-21f;
            if (n > 2) values[3] = -3e-21f;  // a square sum below the normal range
            Placed<float> src(values, offset), mag(n, (offset + 4) % 16), pow(n, 16 - offset % 16);
            ASSERT_EQ(b.MagnitudeC32(src.data(), mag.data(), std::int32_t(n)), Prim::StatusOk);
            ASSERT_EQ(b.PowerSpectrumC32(src.data(), pow.data(), std::int32_t(n)), Prim::StatusOk);
            for (std::size_t i = 0; i < n; ++i) {
                const long double re = values[2 * i], im = values[2 * i + 1];
                // The SSE2 build's square sum is a float, rounded (or underflowed) as such.
                const float sum = values[2 * i] * values[2 * i] + values[2 * i + 1] * values[2 * i + 1];
                const float exact = float(b.sse2 ? std::sqrt((long double)sum) : std::sqrt(re * re + im * im));
                EXPECT_LE(Ulps(mag[i], exact), b.sse2 ? RefinedUlps::SquareRoot : 0)
                    << n << " " << i << " " << mag[i] << " " << exact;
                const bool singleRounding = b.sse2 && i < n / 8 * 8;
                const float power = singleRounding
                    ? values[2 * i] * values[2 * i] + values[2 * i + 1] * values[2 * i + 1]
                    : float(double(re * re) + double(im * im));
                EXPECT_TRUE(SameBits(pow[i], power)) << n << " " << i;
            }
        }
    }
    const float cases[] = {3, 4, 0, 0, 1e20f, 0, 1e30f, 1e30f};
    float mag[4], pow[4];
    ASSERT_EQ(b.MagnitudeC32(cases, mag, 4), Prim::StatusOk);
    ASSERT_EQ(b.PowerSpectrumC32(cases, pow, 4), Prim::StatusOk);
    EXPECT_LE(Ulps(mag[0], 5.0f), b.sse2 ? RefinedUlps::SquareRoot : 0);
    EXPECT_TRUE(SameBits(mag[1], 0.0f));
    EXPECT_EQ(pow[2], Inf<float>);  // the float power overflows in both builds
    if (b.sse2) {
        EXPECT_TRUE(std::isnan(mag[3]));  // the single-precision square sum overflowed
    } else {
        EXPECT_LE(Ulps(mag[3], 1.41421356e30f), 1);
    }
}

TEST_P(MagnitudeFamily, SplitMagnitudeKeepsTheX87ExponentRange) {
    const TestBuild& b = GetParam();
    const auto re = Spread<double>(37, 3, 300), im = Spread<double>(37, 4, 300);
    std::vector<double> out(37);
    ASSERT_EQ(b.MagnitudeSplitF64(re.data(), im.data(), out.data(), 37), Prim::StatusOk);
    for (std::size_t i = 0; i < re.size(); ++i) {
        const double sum = re[i] * re[i] + im[i] * im[i];
        EXPECT_TRUE(!(sum > 0x1p-960 && sum < 1e308) || SameBits(out[i], std::sqrt(sum))) << i;
    }
    const double bigRe[] = {1e200, 1e-200, 0.0}, bigIm[] = {1e200, 1e-200, -0.0};
    double big[3];
    ASSERT_EQ(b.MagnitudeSplitF64(bigRe, bigIm, big, 3), Prim::StatusOk);
    EXPECT_EQ(big[0], b.sse2 ? Inf<double> : std::sqrt(2.0) * 1e200);
    if (b.sse2) {
        EXPECT_EQ(big[1], 0.0);
    } else {
        EXPECT_LE(Ulps(big[1], double(std::sqrt(2.0L) * 1e-200L)), 1);
    }
    EXPECT_TRUE(SameBits(big[2], 0.0));
}

TEST_P(MagnitudeFamily, FlipReversesBitPatterns) {
    const TestBuild& b = GetParam();
    for (std::size_t n = 1; n <= 21; ++n) {
        std::vector<float> f(n);
        std::vector<double> d(n);
        for (std::size_t i = 0; i < n; ++i) {
            f[i] = std::bit_cast<float>(std::uint32_t(0x7F800001u + i));  // signalling NaNs keep their bits
            d[i] = std::bit_cast<double>(std::uint64_t(0x7FF0000000000001ull + i));
        }
        std::vector<float> fOut(n), fIn = f;
        std::vector<double> dOut(n), dIn = d;
        ASSERT_EQ(b.FlipF32(f.data(), fOut.data(), std::int32_t(n)), Prim::StatusOk);
        ASSERT_EQ(b.FlipF64(d.data(), dOut.data(), std::int32_t(n)), Prim::StatusOk);
        ASSERT_EQ(b.FlipInPlaceF32(fIn.data(), std::int32_t(n)), Prim::StatusOk);
        ASSERT_EQ(b.FlipInPlaceF64(dIn.data(), std::int32_t(n)), Prim::StatusOk);
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_EQ(Bits(fOut[i]), Bits(f[n - 1 - i]));
            EXPECT_EQ(Bits(fIn[i]), Bits(f[n - 1 - i]));
            EXPECT_EQ(Bits(dOut[i]), Bits(d[n - 1 - i]));
            EXPECT_EQ(Bits(dIn[i]), Bits(d[n - 1 - i]));
        }
    }
}

TEST_P(MagnitudeFamily, RefusesNullPointersBeforeLengths) {
    const TestBuild& b = GetParam();
    float f[2] = {};
    double d[2] = {};
    EXPECT_EQ(b.AbsF32(f, nullptr, 0), Prim::StatusNullPointer);
    EXPECT_EQ(b.AbsInPlaceF64(d, 0), Prim::StatusSizeError);
    EXPECT_EQ(b.MagnitudeC32(nullptr, f, 1), Prim::StatusNullPointer);
    EXPECT_EQ(b.MagnitudeSplitF64(d, nullptr, d, 0), Prim::StatusNullPointer);
    EXPECT_EQ(b.PowerSpectrumC32(f, f, -2), Prim::StatusSizeError);
    EXPECT_EQ(b.FlipInPlaceF32(nullptr, 0), Prim::StatusNullPointer);
    EXPECT_EQ(b.FlipF64(d, d, 0), Prim::StatusSizeError);
}

INSTANTIATE_TEST_SUITE_P(Builds, MagnitudeFamily, testing::ValuesIn(TestBuilds), BuildName());

}  // namespace
