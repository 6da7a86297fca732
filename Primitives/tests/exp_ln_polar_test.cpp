// Exponential and logarithm with their last-offender warnings, polar
// conversions and the norm, both builds, against long-double libm.
#include "support/prim_vectors.h"

#include <Primitives/Prim/ExpLnF32.h>
#include <Primitives/Prim/Magnitude.h>
#include <Primitives/Prim/Polar.h>
#include <Primitives/Prim/ProcessorState.h>

#include <gtest/gtest.h>

#include <cfenv>
#include <numbers>

using namespace PrimTest;

namespace {

class ExpLnPolar : public testing::TestWithParam<TestBuild> {};

std::vector<float> Uniform(std::size_t n, unsigned seed, float low, float high) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> pick(low, high);
    std::vector<float> v(n);
    for (float& x : v) x = pick(rng);
    return v;
}

// Runs call (true when its status is right) under caller settings that the SSE2
// builds replace for the call: downward with flush to zero, upward, and to
// nearest last. The flags of the warnings must outlast the call, and the
// caller's setting come back.
template <class Call>
void ExpectFlagsUnderEachSetting(int flags, Call call) {
    for (std::uint32_t setting : {0xA000u, 0x4000u, 0x0000u}) {
        const std::uint32_t former = Prim::SetMxcsrBits(setting, 0xE000);
        std::feclearexcept(FE_ALL_EXCEPT);
        const bool statusRight = call();
        const bool raised = std::fetestexcept(flags) == flags;
        const std::uint32_t after = Prim::GetMxcsr() & 0xE000;
        Prim::SetMxcsrBits(former, 0xE000);
        EXPECT_TRUE(statusRight) << std::hex << setting;
        EXPECT_TRUE(raised) << std::hex << setting;
        EXPECT_EQ(after, setting);
    }
}

// x87: within an ulp of expl; SSE2: the cubic's relative error below 87.25, an ulp beyond.
TEST_P(ExpLnPolar, ExponentialAgainstLongDouble) {
    const TestBuild& b = GetParam();
    for (std::size_t n : {1, 7, 8, 9, 500}) {
        auto x = Uniform(n, unsigned(n), -110.0f, 95.0f);
        if (n > 8) x[3] = -1e-20f;
        std::vector<float> y(n);
        (void)b.ExpF32(x.data(), y.data(), std::int32_t(n));
        for (std::size_t i = 0; i < n; ++i) {
            const long double want = std::exp((long double)x[i]);
            const bool cubic = b.sse2 && std::fabs(x[i]) < 87.25f && (i >= n / 8 * 8 ? true : [&] {
                for (std::size_t k = i / 8 * 8; k < i / 8 * 8 + 8; ++k)
                    if (!(std::fabs(x[k]) < 87.25f)) return false;
                return true;
            }());
            if (cubic) {
                ASSERT_LE(std::fabs(y[i] - want) / want, 1.9e-4) << x[i];
            } else {
                ASSERT_LE(Ulps(y[i], float(want)), 1) << x[i];
            }
        }
    }
    const float in[] = {0, 1, 89, -110}, last[] = {-110, 89};
    float out[4];
    ExpectFlagsUnderEachSetting(
        FE_OVERFLOW | FE_UNDERFLOW, [&] { return b.ExpF32(in, out, 4) == Prim::StatusUnderflowWarning; });
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_NEAR(out[1], std::numbers::e_v<float>, b.sse2 ? 5e-4f : 3e-7f);
    EXPECT_EQ(out[2], Inf<float>);
    EXPECT_EQ(out[3], 0.0f);
    EXPECT_EQ(b.ExpF32(last, out, 2), Prim::StatusOverflowWarning);
    const float quiet[] = {-Inf<float>, 1e-20f, Inf<float>};
    EXPECT_EQ(b.ExpF32(quiet, out, 3), Prim::StatusOk);
    EXPECT_EQ(std::vector<float>(out, out + 3), (std::vector<float>{0.0f, 1.0f, Inf<float>}));
    const float subnormalResult[] = {-88.0f};
    EXPECT_EQ(b.ExpF32(subnormalResult, out, 1), b.sse2 ? Prim::StatusUnderflowWarning : Prim::StatusOk);
    EXPECT_LE(Ulps(out[0], float(std::exp(-88.0L))), 1);
    EXPECT_EQ(b.ExpF32(nullptr, nullptr, 0), Prim::StatusSizeError);  // the length is tested first
    EXPECT_EQ(b.ExpF32(in, nullptr, 1), Prim::StatusNullPointer);
}

TEST_P(ExpLnPolar, LogarithmAgainstLongDouble) {
    const TestBuild& b = GetParam();
    for (std::size_t n : {1, 8, 13, 400}) {
        auto x = Uniform(n, unsigned(n), 0.0f, 4.0f);
        for (std::size_t i = 0; i < n; i += 5) x[i] = std::ldexp(x[i], int(i % 250) - 125);
        if (n > 9) x[9] = 1e-42f;  // a subnormal
        std::vector<float> y(n);
        ASSERT_EQ(b.LnF32(x.data(), y.data(), std::int32_t(n)), Prim::StatusOk);
        for (std::size_t i = 0; i < n; ++i) {
            const long double want = std::log((long double)x[i]);
            if (b.sse2) {
                ASSERT_LE(std::fabs(y[i] - want), 1.9e-5 + std::fabs(want) * 0x1p-23) << x[i];
            } else {
                ASSERT_LE(Ulps(y[i], float(want)), 1) << x[i];
            }
        }
    }
    const float in[] = {1, 0, -1}, last[] = {-1, 0};
    float out[3];
    ExpectFlagsUnderEachSetting(
        FE_DIVBYZERO | FE_INVALID, [&] { return b.LnF32(in, out, 3) == Prim::StatusLnInvalidWarning; });
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], -Inf<float>);
    EXPECT_TRUE(std::isnan(out[2]));
    EXPECT_EQ(b.LnF32(last, out, 2), Prim::StatusLnSingularWarning);
    const float quiet[] = {Inf<float>, Nan<float>, std::numeric_limits<float>::denorm_min()};
    EXPECT_EQ(b.LnF32(quiet, out, 3), Prim::StatusOk);
    EXPECT_EQ(out[0], Inf<float>);
    EXPECT_TRUE(std::isnan(out[1]));
    EXPECT_NEAR(out[2], -103.28f, 0.01f);
    EXPECT_EQ(b.LnF32(nullptr, out, -1), Prim::StatusSizeError);
}

// The SSE2 phase takes three refined reciprocals: of |re|, of a ratio above 1 and of the
// rational's denominator. Over every estimate within the documented bound it stays within
// 7.7e-7 of the arc tangent; estimates at the bound's low end reach 7.54e-7 near 3 pi / 4,
// at (-0x1.f7ad0ep+0, 0x1.eeca5cp+0).
constexpr double RefinedPhaseError = 7.7e-7;

// Phases over several turns: against long-double cosine and sine and arc tangent.
TEST_P(ExpLnPolar, PolarConversionsAgainstLongDouble) {
    const TestBuild& b = GetParam();
    for (std::size_t n : {1, 2, 3, 4, 5, 9, 64}) {
        const auto magn = Uniform(n, unsigned(n), 0.0f, 8.0f), phase = Uniform(n, unsigned(n + 1), -20.0f, 20.0f);
        std::vector<float> z(2 * n), back(n), angle(n);
        ASSERT_EQ(b.PolarToCartC32(magn.data(), phase.data(), z.data(), std::int32_t(n)), Prim::StatusOk);
        ASSERT_EQ(b.CartToPolarC32(z.data(), back.data(), angle.data(), std::int32_t(n)), Prim::StatusOk);
        std::vector<float> magnitudes(n);
        ASSERT_EQ(b.MagnitudeC32(z.data(), magnitudes.data(), std::int32_t(n)), Prim::StatusOk);
        for (std::size_t i = 0; i < n; ++i) {
            const long double m = magn[i], p = phase[i];
            ASSERT_LE(std::fabs(z[2 * i] - m * std::cos(p)), (b.sse2 ? 2e-6 : 5e-7) * m + 1e-30) << p;
            ASSERT_LE(std::fabs(z[2 * i + 1] - m * std::sin(p)), (b.sse2 ? 2e-6 : 5e-7) * m + 1e-30) << p;
            ASSERT_TRUE(SameBits(back[i], magnitudes[i]));
            const long double want = std::atan2((long double)z[2 * i + 1], (long double)z[2 * i]);
            ASSERT_LE(std::fabs(angle[i] - want), b.sse2 ? RefinedPhaseError : 2.4e-7)
                << z[2 * i] << " " << z[2 * i + 1];
        }
    }
    // Phases up to 2^30 (the quotient by pi then still fits 32 bits), and the floats
    // nearest to half turns, where the cosine changes sign.
    std::vector<float> sweep;
    std::mt19937 rng(7);
    for (int e = -10; e <= 30; ++e) {
        for (int k = 0; k < 24; ++k) sweep.push_back(std::ldexp(std::uniform_real_distribution<float>(1, 2)(rng), e));
        if (e < 0) continue;
        const float halfTurn = float((std::ldexp(1.0L, e) + e + 0.5L) * std::numbers::pi_v<long double>);
        sweep.insert(sweep.end(), {halfTurn, std::nextafter(halfTurn, 0.0f), std::nextafter(halfTurn, Inf<float>)});
    }
    sweep.push_back(-0x1.5f8ba4p+16f);
    const std::size_t positive = sweep.size();
    for (std::size_t i = 0; i < positive; ++i) sweep.push_back(-sweep[i]);
    const std::vector<float> ones(sweep.size(), 1.0f);
    std::vector<float> z(2 * sweep.size());
    ASSERT_EQ(b.PolarToCartC32(ones.data(), sweep.data(), z.data(), std::int32_t(sweep.size())), Prim::StatusOk);
    for (std::size_t i = 0; i < sweep.size(); ++i) {
        const long double p = sweep[i];
        ASSERT_LE(std::fabs(z[2 * i] - std::cos(p)), b.sse2 ? 2e-7 : 5e-7) << std::hexfloat << sweep[i];
        ASSERT_LE(std::fabs(z[2 * i + 1] - std::sin(p)), b.sse2 ? 2e-7 : 5e-7) << std::hexfloat << sweep[i];
    }
    // The worked example holds exactly.
    const float two[] = {2}, zero[] = {0};
    ASSERT_EQ(b.PolarToCartC32(two, zero, z.data(), 1), Prim::StatusOk);
    EXPECT_EQ(z[0], 2.0f);
    EXPECT_EQ(z[1], 0.0f);
    // The special values of the phase (the x87 build's C library gives the same here).
    const float parts[] = {0, 1, -1, 0, Inf<float>, -Inf<float>, -Inf<float>, 2, Inf<float>, Inf<float>, 3, -Inf<float>,
        0, 0, 1e-40f, 1e-40f, -2, -0.0f};
    const float pi = std::numbers::pi_v<float>;
    const float expected[] = {pi / 2, pi, -pi / 4, pi, pi / 4, -pi / 2, 0, pi / 4, -pi};
    float magn[9], phase[9];
    ASSERT_EQ(b.CartToPolarC32(parts, magn, phase, 9), Prim::StatusOk);
    for (int i = 0; i < 9; ++i) EXPECT_LE(Ulps(phase[i], expected[i]), 1) << i;
    EXPECT_LE(Ulps(magn[0], 1.0f), b.sse2 ? RefinedUlps::SquareRoot : 0);
    EXPECT_EQ(b.CartToPolarC32(parts, magn, nullptr, 9), Prim::StatusNullPointer);  // after the magnitudes
    EXPECT_EQ(b.CartToPolarC32(parts, nullptr, phase, 0), Prim::StatusNullPointer);
    EXPECT_EQ(b.PolarToCartC32(two, zero, z.data(), 0), Prim::StatusSizeError);
}

TEST_P(ExpLnPolar, NormAgainstLongDouble) {
    const TestBuild& b = GetParam();
    for (std::size_t n : {1, 2, 3, 4, 7, 100, 1001}) {
        const auto x = Spread<float>(n, unsigned(n), 10);
        long double sum = 0;
        for (float v : x) sum += (long double)v * v;
        float norm = 0;
        ASSERT_EQ(b.NormL2F32(x.data(), std::int32_t(n), &norm), Prim::StatusOk);
        EXPECT_LE(Ulps(norm, float(std::sqrt(sum))), b.sse2 ? 4 : 1) << n;
    }
    const float threeFour[] = {3, 4}, big[] = {1e30f, 1e30f}, one[] = {-2.5f};
    float norm = 0;
    EXPECT_EQ(b.NormL2F32(threeFour, 2, &norm), Prim::StatusOk);
    EXPECT_EQ(norm, 5.0f);
    EXPECT_EQ(b.NormL2F32(one, 1, &norm), Prim::StatusOk);
    EXPECT_EQ(norm, 2.5f);
    EXPECT_EQ(b.NormL2F32(big, 2, &norm), Prim::StatusOk);
    EXPECT_EQ(norm, b.sse2 ? Inf<float> : 1.41421356e30f);
    EXPECT_EQ(b.NormL2F32(threeFour, 2, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(b.NormL2F32(threeFour, 0, &norm), Prim::StatusSizeError);
}

INSTANTIATE_TEST_SUITE_P(Builds, ExpLnPolar, testing::ValuesIn(TestBuilds), BuildName());

}  // namespace
