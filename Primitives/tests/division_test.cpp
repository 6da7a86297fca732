// Complex products and divisions, both builds, against long-double quotients
// and products and the zero-divisor table of each build.
#include "support/prim_vectors.h"

#include <Primitives/Prim/ComplexProduct.h>
#include <Primitives/Prim/Division.h>

#include <gtest/gtest.h>

using namespace PrimTest;

namespace {

class Division : public testing::TestWithParam<TestBuild> {};

const float negNanF = std::bit_cast<float>(0xFFC00000u), posNanF = std::bit_cast<float>(0x7FC00000u);

// Within one ulp of the long-double product (x87) or within the error of
// products rounded to float first (SSE2), at every float alignment of each
// vector: odd lengths end on a value that is only 4-byte aligned.
TEST_P(Division, ComplexProductsAgainstLongDouble) {
    const TestBuild& b = GetParam();
    const std::size_t lengths[] = {1, 2, 3, 5, 8, 13};
    for (std::size_t k = 0; k < 4 * std::size(lengths); ++k) {
        const std::size_t n = lengths[k / 4], offset = 4 * (k % 4);
        const auto x = Spread<float>(2 * n, unsigned(n)), y = Spread<float>(2 * n, unsigned(n + 50));
        Placed<float> src1(x, offset), src2(y, (offset + 4) % 16), dst(2 * n, (offset + 8) % 16),
            srcDst(x, (offset + 12) % 16);
        ASSERT_EQ(b.MulC32(src1.data(), src2.data(), dst.data(), std::int32_t(n)), Prim::StatusOk);
        ASSERT_EQ(b.MulInPlaceC32(src2.data(), srcDst.data(), std::int32_t(n)), Prim::StatusOk);
        const std::vector<float> out = dst.Values(2 * n), inPlace = srcDst.Values(2 * n);
        const auto xd = Spread<double>(2 * n, unsigned(n + 1), 200), yd = Spread<double>(2 * n, unsigned(n + 2), 200);
        std::vector<double> d = xd;
        ASSERT_EQ(b.MulInPlaceC64(yd.data(), d.data(), std::int32_t(n)), Prim::StatusOk);
        for (std::size_t i = 0; i < n; ++i) {
            const long double ar = x[2 * i], ai = x[2 * i + 1], br = y[2 * i], bi = y[2 * i + 1];
            const long double re = ar * br - ai * bi, im = ar * bi + ai * br;
            const long double bound =
                std::ldexp(std::fabs(ar * br) + std::fabs(ai * bi) + std::fabs(ar * bi) + std::fabs(ai * br), -23);
            for (const auto& v : {out, inPlace}) {
                if (b.sse2) {
                    EXPECT_LE(std::fabs(v[2 * i] - re), bound) << i;
                    EXPECT_LE(std::fabs(v[2 * i + 1] - im), bound) << i;
                } else {
                    EXPECT_LE(Ulps(v[2 * i], float(re)), 1) << i;
                    EXPECT_LE(Ulps(v[2 * i + 1], float(im)), 1) << i;
                }
            }
            const long double dr = xd[2 * i], di = xd[2 * i + 1];
            EXPECT_LE(Ulps(d[2 * i], double(dr * yd[2 * i] - di * yd[2 * i + 1])), 4e9) << i;  // cancellation aside
            EXPECT_TRUE(SameBits(d[2 * i + 1], xd[2 * i] * yd[2 * i + 1] + xd[2 * i + 1] * yd[2 * i])) << i;
        }
    }
    float i2[] = {0, 1};
    ASSERT_EQ(b.MulInPlaceC32(i2, i2, 1), Prim::StatusOk);  // i x i
    EXPECT_EQ(i2[0], -1.0f);
    EXPECT_EQ(i2[1], 0.0f);

    // Products beyond the double range: the x87 registers hold them, each rounded to 53 bits,
    // where the SSE2 registers overflow or underflow.
    struct Case {
        double a[2], b[2], x87[2], sse2[2];
    };
    const double nan = Nan<double>, inf = Inf<double>;
    const Case cases[] = {
        {{1e200, 1e200}, {1e200, 1e200}, {0, inf}, {nan, inf}},
        // (1 + 2^-30)^2 = 1 + 2^-29 + 2^-60 rounds to 1 + 2^-29, the other product: the real part
        // is 0, not the 2^970 of 64-bit products.
        {{0x1.00000004p+515, 0x1.00000008p+515}, {0x1.00000004p+515, 0x1p+515}, {0, inf}, {nan, inf}},
        {{0x1.0000000000001p+515, 0x1p+515}, {0x1p+515, 0x1p+515}, {0x1p+978, inf}, {nan, inf}},
        // Subnormal products: 1.5 x 2^-1074 twice is 3 x 2^-1074, where each rounds to 2 x 2^-1074
        // in the SSE2 registers.
        {{0x1.8p-537, 0x1p-537}, {0x1.8p-537, 0x1p-537}, {0x1p-1074, 0x1.8p-1073}, {0x1p-1074, 0x1p-1072}},
        {{-0x1p-600, 0}, {0x1p-600, 5}, {-0.0, -0x1.4p-598}, {-0.0, -0x1.4p-598}},
    };
    for (const Case& c : cases) {
        double v[2] = {c.a[0], c.a[1]};
        ASSERT_EQ(b.MulInPlaceC64(c.b, v, 1), Prim::StatusOk);
        const double* want = b.sse2 ? c.sse2 : c.x87;
        for (int k = 0; k < 2; ++k)
            EXPECT_TRUE(std::isnan(want[k]) ? std::isnan(v[k]) : SameBits(v[k], want[k]))
                << c.a[0] << " " << k << ": " << std::hexfloat << v[k];
    }
}

TEST_P(Division, QuotientsAtEveryLengthAndAlignment) {
    const TestBuild& b = GetParam();
    for (std::size_t n : {1, 2, 3, 5, 8, 9, 16, 23, 40}) {
        for (std::size_t offset : {0, 4, 8, 12}) {
            const auto num = Spread<float>(n, unsigned(n + offset), 60),
                       den = Spread<float>(n, unsigned(n * 3 + offset), 60);
            Placed<float> q(num, offset), rev(n, (offset + 8) % 16);
            Placed<float> d(den, (offset + 4) % 16);
            ASSERT_EQ(b.DivInPlaceF32(d.data(), q.data(), std::int32_t(n)), Prim::StatusOk);
            ASSERT_EQ(b.DivConstRevF32(d.data(), 3.0f, rev.data(), std::int32_t(n)), Prim::StatusOk);
            const double tolerance = b.sse2 ? RefinedUlps::Quotient : 0;
            for (std::size_t i = 0; i < n; ++i) {
                ASSERT_LE(Ulps(q[i], float((long double)num[i] / den[i])), tolerance) << n << " " << i;
                ASSERT_LE(Ulps(rev[i], float(3.0L / den[i])), tolerance) << n << " " << i;
            }
            const auto numD = Spread<double>(n, unsigned(n), 300), denD = Spread<double>(n, unsigned(n + 9), 2);
            Placed<double> qd(numD, offset & 8), dd(denD, 8 - (offset & 8));
            ASSERT_EQ(b.DivInPlaceF64(dd.data(), qd.data(), std::int32_t(n)), Prim::StatusOk);
            for (std::size_t i = 0; i < n; ++i) {
                const double exact = double((long double)numD[i] / denD[i]);
                ASSERT_LE(Ulps(qd[i], exact), b.sse2 ? 4 : 0) << n << " " << i;
            }
        }
    }
    // SSE2: every blocked double quotient has its two lowest bits clear.
    std::vector<double> num = Spread<double>(16, 5), den(16);
    for (std::size_t i = 0; i < 16; ++i) den[i] = 0.5 + double(i) / 10.5;
    Placed<double> q(num, 0), d(den, 0);
    ASSERT_EQ(b.DivInPlaceF64(d.data(), q.data(), 16), Prim::StatusOk);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_TRUE(!b.sse2 || (Bits(q[i]) & 3) == 0) << i;
    // Divisors the SSE2 estimate does not cover still give the quotient.
    float wide[] = {1e38f, 1e-30f, 3.0f, -2.0f, 7.0f, 1.0f, 1.0f, 1.0f};
    const float wideBy[] = {1e38f, 1e-40f, Inf<float>, 1e-38f, 2.0f, 2.0f, 2.0f, 2.0f};
    ASSERT_EQ(b.DivInPlaceF32(wideBy, wide, 8), Prim::StatusOk);
    EXPECT_LE(Ulps(wide[0], 1.0f), 3);
    EXPECT_LE(Ulps(wide[1], float(1e-30L / (long double)1e-40f)), 3);
    EXPECT_TRUE(SameBits(wide[2], 0.0f));
    EXPECT_LE(Ulps(wide[3], float(-2.0L / (long double)1e-38f)), 3);
}

TEST_P(Division, ZeroDivisorsFollowTheBuildsTable) {
    const TestBuild& b = GetParam();
    float q[] = {1, 5, -5, 0, Nan<float>};
    const float d[] = {2, 0, 0, -0.0f, 0};
    ASSERT_EQ(b.DivInPlaceF32(d, q, 5), Prim::StatusDivideByZeroWarning);
    EXPECT_EQ(q[0], 0.5f);
    EXPECT_EQ(q[1], Inf<float>);
    EXPECT_EQ(q[2], -Inf<float>);
    EXPECT_EQ(Bits(q[3]), Bits(b.sse2 ? posNanF : negNanF));
    EXPECT_TRUE(b.sse2 ? Bits(q[4]) == Bits(posNanF) : q[4] == -Inf<float>);

    double qd[] = {5, -5, 0, 1};
    const double dd[] = {0, 0, 0, Nan<double>};
    ASSERT_EQ(b.DivInPlaceF64(dd, qd, 4), Prim::StatusDivideByZeroWarning);
    if (b.sse2) {
        for (int i = 0; i < 3; ++i) EXPECT_EQ(Bits(qd[i]), 0x7FF8000000000000ull) << i;
        EXPECT_TRUE(std::isnan(qd[3]));
    } else {
        EXPECT_EQ(qd[0], Inf<double>);
        EXPECT_EQ(qd[1], -Inf<double>);
        EXPECT_EQ(Bits(qd[2]), 0xFFF8000000000000ull);
        EXPECT_EQ(qd[3], Inf<double>);  // a NaN divisor counts as zero
    }
    // A NaN divisor alone: the x87 build warns, the SSE2 build gives a NaN silently.
    float one[] = {1};
    const float nanDivisor[] = {Nan<float>};
    EXPECT_EQ(b.DivInPlaceF32(nanDivisor, one, 1), b.sse2 ? Prim::StatusOk : Prim::StatusDivideByZeroWarning);

    float rev[3];
    const float revBy[] = {2, -2, 0};
    ASSERT_EQ(b.DivConstRevF32(revBy, 0.0f, rev, 3), Prim::StatusDivideByZeroWarning);
    EXPECT_TRUE(SameBits(rev[0], 0.0f));
    EXPECT_TRUE(SameBits(rev[1], -0.0f));
    EXPECT_EQ(Bits(rev[2]), Bits(b.sse2 ? posNanF : negNanF));
    // No zero divisor: no warning, even where quotients overflow.
    float big[] = {1e30f, 1};
    const float small[] = {1e-30f, 4};
    EXPECT_EQ(b.DivInPlaceF32(small, big, 2), Prim::StatusOk);
    EXPECT_EQ(big[0], Inf<float>);
}

TEST_P(Division, DivisionByAConstantIsAProductWithItsReciprocal) {
    const TestBuild& b = GetParam();
    const auto values = Spread<double>(25, 11);
    std::vector<double> d = values;
    ASSERT_EQ(b.DivConstInPlaceF64(3.0, d.data(), 25), Prim::StatusOk);
    for (std::size_t i = 0; i < d.size(); ++i) EXPECT_TRUE(SameBits(d[i], values[i] * (1.0 / 3.0)));
    std::vector<float> f(values.begin(), values.end()), kept = f;
    for (float refused : {0.0f, -0.0f, Nan<float>})
        EXPECT_EQ(b.DivConstInPlaceF32(refused, f.data(), 25), Prim::StatusDivideByZero);
    EXPECT_EQ(b.DivConstInPlaceF32(1.0f, f.data(), 25), Prim::StatusOk);
    EXPECT_EQ(f, kept);
    EXPECT_EQ(b.DivConstInPlaceF32(7.0f, f.data(), 25), Prim::StatusOk);
    for (std::size_t i = 0; i < f.size(); ++i)
        EXPECT_TRUE(SameBits(f[i], float(double(kept[i]) * double(1.0f / 7.0f))));
    EXPECT_EQ(b.DivConstInPlaceF32(Inf<float>, f.data(), 25), Prim::StatusOk);
    for (float x : f) EXPECT_TRUE(SameBits(x, 0.0f));
    EXPECT_EQ(b.DivConstInPlaceF64(0.0, nullptr, 3), Prim::StatusNullPointer);
    EXPECT_EQ(b.DivConstInPlaceF64(0.0, d.data(), 0), Prim::StatusSizeError);
    EXPECT_EQ(b.DivInPlaceF32(nullptr, f.data(), 0), Prim::StatusNullPointer);
    EXPECT_EQ(b.DivConstRevF32(f.data(), 1.0f, f.data(), -1), Prim::StatusSizeError);
    EXPECT_EQ(b.MulC32(f.data(), nullptr, f.data(), 2), Prim::StatusNullPointer);
    EXPECT_EQ(b.MulInPlaceC64(d.data(), d.data(), 0), Prim::StatusSizeError);
}

INSTANTIATE_TEST_SUITE_P(Builds, Division, testing::ValuesIn(TestBuilds), BuildName());

}  // namespace
