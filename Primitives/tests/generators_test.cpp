#include "support/prim_vectors.h"

#include <Primitives/Prim/Filter/Random.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using PrimTest::TestBuild;

class Generators : public testing::TestWithParam<TestBuild> {};

TEST_P(Generators, RampStaysOnItsLine) {
    for (const auto& [offset, slope] : {std::pair{0.5f, 0.25f}, {-3.0f, 1e-3f}, {1e6f, -7.5f}, {2.0f, 0.0f}}) {
        for (std::size_t shift : {0u, 4u, 12u}) {
            PrimTest::Placed<float> out(1000, shift);
            ASSERT_EQ(GetParam().RampF32(out.data(), 1000, offset, slope), Prim::StatusOk);
            for (int i = 0; i < 1000; ++i) {
                const long double exact = offset + static_cast<long double>(slope) * i;
                const double scale = std::fmax(std::fabs(offset), std::fabs(double(slope) * i));
                ASSERT_NEAR(out[std::size_t(i)], double(exact), 2.5e-7 * scale) << offset << "+" << slope << "*" << i;
            }
        }
    }
    float one = 9;
    EXPECT_EQ(GetParam().RampF32(&one, 0, 1, 1), Prim::StatusSizeError);
    EXPECT_EQ(GetParam().RampF32(nullptr, 1, 1, 1), Prim::StatusNullPointer);
    EXPECT_EQ(one, 9);
}

// Against cosines in extended precision: 1e-6 for the double recurrence, 1e-4 for the SSE2
// build's single-precision block method, over 1e5 samples.
TEST_P(Generators, ToneFollowsTheCosine) {
    const std::int32_t n = 100000;
    std::vector<float> out(n);
    for (float rFreq : {0.01f, 0.2f, 0.37f}) {
        for (std::int32_t hint : {0, 1}) {
            float phase = 1.0f;
            ASSERT_EQ(GetParam().ToneF32(out.data(), n, 2.0f, rFreq, &phase, hint), Prim::StatusOk);
            const long double omega = 2 * 3.14159265358979323846L * rFreq;
            const double bound = hint == 1 && GetParam().sse2 ? 2e-4 : 2e-6;
            for (std::int32_t k = 0; k < n; ++k)
                ASSERT_NEAR(out[std::size_t(k)], double(2 * std::cos(omega * k + 1.0L)), bound) << rFreq << " at " << k;
            const long double turns = (omega * n + 1.0L) / (2 * 3.14159265358979323846L);
            EXPECT_NEAR(phase, double((turns - std::floor(turns)) * 2 * 3.14159265358979323846L), 1e-5);
        }
    }
}

TEST_P(Generators, ToneExamplesAndChecks) {
    const TestBuild& b = GetParam();
    float out[8] = {};
    float phase = 0.0f;
    ASSERT_EQ(b.ToneF32(out, 4, 1.0f, 0.25f, &phase, 0), Prim::StatusOk);
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(out[k], std::cos(M_PI / 2 * k), 1e-7);
    EXPECT_EQ(phase, 0.0f);
    // Two calls continue one tone through the phase stored between them.
    ASSERT_EQ(b.ToneF32(out, 3, 1.0f, 0.125f, &phase, 0), Prim::StatusOk);
    EXPECT_EQ(phase, float(3 * M_PI / 4));
    ASSERT_EQ(b.ToneF32(out + 3, 5, 1.0f, 0.125f, &phase, 0), Prim::StatusOk);
    for (int k = 0; k < 8; ++k) EXPECT_NEAR(out[k], std::cos(M_PI / 4 * k), 1e-6) << k;
    // A phase that would round up to 2 pi as a float is stored as 0 and accepted next time.
    phase = 6.2831850f;
    ASSERT_EQ(b.ToneF32(out, 1, 1.0f, 4e-8f, &phase, 0), Prim::StatusOk);
    EXPECT_EQ(phase, 0.0f);
    EXPECT_EQ(b.ToneF32(out, 1, 1.0f, 4e-8f, &phase, 0), Prim::StatusOk);

    // The codes as numbers: callers compare them, not our names for them.
    struct Refusal {
        float* dst;
        std::int32_t len;
        float magnitude, rFreq, phase;
        std::int32_t code;
    };
    const Refusal refusals[] = {{nullptr, 4, 0.0f, 0.1f, 0.0f, -46}, {out, 4, NAN, 0.1f, 0.0f, -46},
        {out, 4, -1.0f, 0.5f, 7.0f, -46}, {out, 4, 1.0f, 0.5f, 0.0f, -45}, {out, 4, 1.0f, -0.0001f, 0.0f, -45},
        {nullptr, 4, 1.0f, 0.1f, 6.2831855f, -44}, {out, 4, 1.0f, 0.1f, NAN, -44}, {out, 4, 1.0f, 0.1f, -0.5f, -44},
        {nullptr, 4, 1.0f, 0.1f, 0.5f, -8}, {out, 0, 1.0f, 0.1f, 0.5f, -6}};
    for (float& x : out) x = 42;
    for (const Refusal& r : refusals) {
        float p = r.phase;
        EXPECT_EQ(b.ToneF32(r.dst, r.len, r.magnitude, r.rFreq, &p, 1), r.code) << r.magnitude << " " << r.rFreq;
        EXPECT_TRUE(p == r.phase || std::isnan(r.phase));
    }
    EXPECT_EQ(b.ToneF32(out, 4, 0.0f, 0.1f, nullptr, 0), Prim::StatusNullPointer);
    EXPECT_EQ(out[0], 42);
}

TEST_P(Generators, RandomSequencesAndRecords) {
    const TestBuild& b = GetParam();
    Prim::RandUniformStateF32* u = nullptr;
    Prim::RandGaussStateF32* g = nullptr;
    ASSERT_EQ(b.RandUniformInitAllocF32(&u, 0.0f, 1.0f, 0), Prim::StatusOk);
    ASSERT_EQ(b.RandGaussInitAllocF32(&g, 0.0f, 1.0f, 0), Prim::StatusOk);
    float x[3];
    ASSERT_EQ(b.RandUniformF32(x, 3, u), Prim::StatusOk);
    EXPECT_EQ(std::vector<float>(x, x + 3), (std::vector<float>{0.00095623359f, 0.13015933f, 0.21170627f}));
    ASSERT_EQ(b.RandGaussF32(x, 3, g), Prim::StatusOk);
    EXPECT_EQ(std::vector<float>(x, x + 3), (std::vector<float>{-0.44898427f, -1.3368522f, 1.2909189f}));
    // A record of one kind is refused by the other kind's operations.
    EXPECT_EQ(b.RandGaussF32(x, 3, reinterpret_cast<Prim::RandGaussStateF32*>(u)), Prim::StatusWrongContext);
    EXPECT_EQ(b.RandGaussFreeF32(reinterpret_cast<Prim::RandGaussStateF32*>(u)), Prim::StatusWrongContext);
    EXPECT_EQ(b.RandUniformF32(x, 0, u), Prim::StatusSizeError);
    EXPECT_EQ(b.RandUniformF32(nullptr, 3, u), Prim::StatusNullPointer);
    EXPECT_EQ(b.RandUniformInitAllocF32(nullptr, 0, 1, 0), Prim::StatusNullPointer);
    EXPECT_EQ(b.RandUniformFreeF32(u), Prim::StatusOk);
    EXPECT_EQ(b.RandGaussFreeF32(g), Prim::StatusOk);
    EXPECT_EQ(b.RandGaussFreeF32(nullptr), Prim::StatusNullPointer);

    // Moments of long runs: uniform over [-2, 6] (mean 2, variance 16/3), Gaussian (3, 0.5).
    ASSERT_EQ(b.RandUniformInitAllocF32(&u, -2.0f, 6.0f, 77), Prim::StatusOk);
    ASSERT_EQ(b.RandGaussInitAllocF32(&g, 3.0f, 0.5f, 77), Prim::StatusOk);
    std::vector<float> v(200000);
    for (int kind = 0; kind < 2; ++kind) {
        ASSERT_EQ(
            kind == 0 ? b.RandUniformF32(v.data(), 200000, u) : b.RandGaussF32(v.data(), 200000, g), Prim::StatusOk);
        long double sum = 0, squares = 0;
        for (float e : v) sum += e, squares += static_cast<long double>(e) * e;
        const double mean = double(sum / v.size()), var = double(squares / v.size()) - mean * mean;
        EXPECT_NEAR(mean, kind == 0 ? 2.0 : 3.0, 0.02) << kind;
        EXPECT_NEAR(var, kind == 0 ? 16.0 / 3 : 0.25, kind == 0 ? 0.05 : 0.005) << kind;
    }
    b.RandUniformFreeF32(u);
    b.RandGaussFreeF32(g);
}

INSTANTIATE_TEST_SUITE_P(Builds, Generators, testing::ValuesIn(PrimTest::TestBuilds), PrimTest::BuildName());

// Both builds give the same bits, and any cut of a sequence into calls gives one call's values.
TEST(RandomBuilds, IdenticalAndIndependentOfCallLengths) {
    std::vector<std::vector<float>> runs;
    for (const TestBuild& b : PrimTest::TestBuilds) {
        const std::vector<std::vector<int>> cuts = {{10}, {3, 7}, {1, 1, 2, 1, 5}};
        for (const auto& lengths : cuts) {
            Prim::RandUniformStateF32* u = nullptr;
            Prim::RandGaussStateF32* g = nullptr;
            ASSERT_EQ(b.RandUniformInitAllocF32(&u, -1.0f, 4.0f, 12345), Prim::StatusOk);
            ASSERT_EQ(b.RandGaussInitAllocF32(&g, 1.0f, 2.0f, 12345), Prim::StatusOk);
            std::vector<float> out(20);
            int at = 0;
            for (int n : lengths) {
                ASSERT_EQ(b.RandUniformF32(out.data() + at, n, u), Prim::StatusOk);
                ASSERT_EQ(b.RandGaussF32(out.data() + 10 + at, n, g), Prim::StatusOk);
                at += n;
            }
            runs.push_back(out);
            b.RandUniformFreeF32(u);
            b.RandGaussFreeF32(g);
        }
    }
    for (const auto& run : runs) {
        for (std::size_t i = 0; i < run.size(); ++i) ASSERT_TRUE(PrimTest::SameBits(run[i], runs[0][i])) << i;
    }
}

}  // namespace
