// Logarithms with their first-offender warnings and normalisation, both
// builds, against long-double logarithms and products.
#include "support/prim_vectors.h"

#include <Primitives/Prim/Logarithm.h>
#include <Primitives/Prim/Normalize.h>

#include <gtest/gtest.h>

using namespace PrimTest;

namespace {

class Logarithm : public testing::TestWithParam<TestBuild> {};

// Positive values over the whole range of each type, subnormals included.
template <class T>
std::vector<T> Positive(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::uint64_t> bits(1, sizeof(T) == 4 ? 0x7F7FFFFFull : 0x7FEFFFFFFFFFFFFFull);
    std::uniform_real_distribution<double> nearOne(0.5, 2.0);
    std::vector<T> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (i % 2 == 0) {
            v[i] = T(nearOne(rng));
        } else if constexpr (sizeof(T) == 4) {
            v[i] = std::bit_cast<float>(std::uint32_t(bits(rng)));
        } else {
            v[i] = std::bit_cast<double>(bits(rng));
        }
    }
    return v;
}

TEST_P(Logarithm, AgainstTheLongDoubleLogarithm) {
    const TestBuild& b = GetParam();
    for (std::size_t n : {1, 5, 8, 63, 1000}) {
        auto f = Positive<float>(n, unsigned(n));
        const auto fIn = f;
        ASSERT_EQ(b.LnInPlaceF32(f.data(), std::int32_t(n)), Prim::StatusOk);
        for (std::size_t i = 0; i < n; ++i) {
            const float want = float(std::log((long double)fIn[i]));
            ASSERT_LE(Ulps(f[i], want), b.sse2 ? 2 : 1) << fIn[i];
        }
        // The SSE2 double logarithm is exact for inputs from 2^-1042 on; the x87 one everywhere.
        auto d = Positive<double>(n, unsigned(n + 1));
        if (b.sse2)
            std::replace_if(
                d.begin(), d.end(), [](double x) { return x < 0x1p-1042; }, 0x1p-1042);
        std::vector<double> out(n);
        ASSERT_EQ(b.LnF64(d.data(), out.data(), std::int32_t(n)), Prim::StatusOk);
        for (std::size_t i = 0; i < n; ++i) ASSERT_LE(Ulps(out[i], double(std::log((long double)d[i]))), 1) << d[i];
    }
    double e = std::exp(1.0), lnE = 0;
    ASSERT_EQ(b.LnF64(&e, &lnE, 1), Prim::StatusOk);
    EXPECT_LE(Ulps(lnE, 1.0), 1);
    // Just below 1 the exponent's multiple of ln 2 and the table's ln 2 must cancel exactly.
    std::vector<double> nearOne = {0x1.fffffffffffffp-1, 0x1.ffffffffffffep-1, 0x1.fffffffffff00p-1, 0x1.ffffffp-1,
        0x1.fep-1, 0x1.fdp-1, 0x1.0000000000001p+0, 0x1.00001p+0};
    for (double x = 0x1.fffffffffffffp-1; x > 0x1.ffp-1; x = 1 - (1 - x) * 3) nearOne.push_back(x);
    std::vector<double> lnNearOne(nearOne.size());
    ASSERT_EQ(b.LnF64(nearOne.data(), lnNearOne.data(), std::int32_t(nearOne.size())), Prim::StatusOk);
    for (std::size_t i = 0; i < nearOne.size(); ++i)
        EXPECT_LE(Ulps(lnNearOne[i], double(std::log((long double)nearOne[i]))), 1) << std::hexfloat << nearOne[i];
}

// The warning of the first offending element decides, in both builds.
TEST_P(Logarithm, SpecialValuesAndTheFirstWarning) {
    const TestBuild& b = GetParam();
    const float negNan = std::bit_cast<float>(0xFFC00000u);
    std::vector<float> v = {1.0f, 0.0f, -1.0f};
    EXPECT_EQ(b.LnInPlaceF32(v.data(), 3), Prim::StatusSingularityWarning);
    EXPECT_EQ(v[0], 0.0f);
    EXPECT_EQ(v[1], -Inf<float>);
    EXPECT_EQ(Bits(v[2]), Bits(negNan));
    v = {-1.0f, 0.0f};
    EXPECT_EQ(b.LnInPlaceF32(v.data(), 2), Prim::StatusDomainWarning);
    v = {-0.0f};
    EXPECT_EQ(b.LnInPlaceF32(v.data(), 1), Prim::StatusDomainWarning);
    EXPECT_EQ(Bits(v[0]), Bits(negNan));
    std::vector<float> many(300, 2.0f);
    many[10] = -3.0f;
    many[290] = 0.0f;
    auto copy = many;
    EXPECT_EQ(b.LnInPlaceF32(copy.data(), 300), Prim::StatusDomainWarning);
    many[10] = 5.0f;
    EXPECT_EQ(b.LnInPlaceF32(many.data(), 300), Prim::StatusSingularityWarning);

    const std::uint32_t payload = 0x7FC12345u;
    v = {std::bit_cast<float>(payload), Inf<float>};
    EXPECT_EQ(b.LnInPlaceF32(v.data(), 2), Prim::StatusOk);
    EXPECT_EQ(Bits(v[0]), b.sse2 ? payload : 0x7FC00000u);  // SSE2 keeps a quiet NaN as it is
    EXPECT_EQ(v[1], Inf<float>);

    const double in[] = {-2.0, 0.0, Inf<double>, Nan<double>, 0x1p-1060, 1.0};
    double out[6];
    EXPECT_EQ(b.LnF64(in, out, 6), Prim::StatusDomainWarning);
    EXPECT_EQ(Bits(out[0]), 0xFFF8000000000000ull);
    EXPECT_EQ(out[1], -Inf<double>);
    EXPECT_EQ(out[2], Inf<double>);
    if (b.sse2) {  // decided on the upper 32 bits: a positive NaN gives +inf, a tiny subnormal -inf
        EXPECT_EQ(out[3], Inf<double>);
        EXPECT_EQ(out[4], -Inf<double>);
    } else {
        EXPECT_EQ(Bits(out[3]), 0x7FF8000000000000ull);
        EXPECT_LE(Ulps(out[4], double(-1060 * std::log(2.0L))), 1);
    }
    EXPECT_TRUE(SameBits(out[5], 0.0));
    EXPECT_EQ(in[0], -2.0);  // the source is read only
    EXPECT_EQ(b.LnInPlaceF32(nullptr, 0), Prim::StatusNullPointer);
    EXPECT_EQ(b.LnF64(in, out, 0), Prim::StatusSizeError);
}

TEST_P(Logarithm, NormalizationIsAProductWithTheReciprocal) {
    const TestBuild& b = GetParam();
    for (std::size_t n : {1, 7, 8, 19}) {
        const auto src = Spread<float>(n, unsigned(n));
        std::vector<float> dst(n);
        ASSERT_EQ(b.NormalizeF32(src.data(), dst.data(), std::int32_t(n), 0.375f, 3.0f), Prim::StatusOk);
        for (std::size_t i = 0; i < n; ++i) {
            const bool single = b.sse2 && i < n / 8 * 8;
            const float want =
                single ? (src[i] - 0.375f) * (1.0f / 3.0f) : float((double(src[i]) - 0.375) * (1.0 / 3.0));
            ASSERT_TRUE(SameBits(dst[i], want)) << i;
            ASSERT_LE(Ulps(dst[i], float(((long double)src[i] - 0.375L) / 3.0L)), 2) << i;
        }
        const auto srcD = Spread<double>(n, unsigned(n + 3));
        std::vector<double> dstD(n);
        ASSERT_EQ(b.NormalizeF64(srcD.data(), dstD.data(), std::int32_t(n), -1.5, 7.0), Prim::StatusOk);
        for (std::size_t i = 0; i < n; ++i) ASSERT_TRUE(SameBits(dstD[i], (srcD[i] + 1.5) * (1.0 / 7.0)));
    }
    const float two[] = {3, 1};
    float out[2] = {9, 9};
    EXPECT_EQ(b.NormalizeF32(two, out, 2, 1.0f, 1e-39f), Prim::StatusDivideByZero);
    EXPECT_EQ(b.NormalizeF32(two, out, 2, 1.0f, Nan<float>), Prim::StatusDivideByZero);
    EXPECT_EQ(b.NormalizeF64(nullptr, nullptr, 0, 0, 0), Prim::StatusNullPointer);
    EXPECT_EQ(out[0], 9.0f);
    EXPECT_EQ(b.NormalizeF32(two, out, 2, 1.0f, 0.5f), Prim::StatusOk);
    EXPECT_EQ(out[0], 4.0f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_EQ(b.NormalizeF32(two, out, 2, 0.0f, -std::numeric_limits<float>::min()), Prim::StatusOk);
    const double d[] = {5, -5};
    double dOut[2];
    EXPECT_EQ(b.NormalizeF64(d, dOut, 2, 0.0, Inf<double>), Prim::StatusOk);
    EXPECT_TRUE(SameBits(dOut[0], 0.0));
    EXPECT_TRUE(SameBits(dOut[1], -0.0));
}

INSTANTIATE_TEST_SUITE_P(Builds, Logarithm, testing::ValuesIn(TestBuilds), BuildName());

}  // namespace
