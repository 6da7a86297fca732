#include "support/prim_vectors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using PrimTest::Placed;
using PrimTest::TestBuild;

class DotSample : public testing::TestWithParam<TestBuild> {};

template <class T, class Dot>
void CheckDot(Dot dot, double tolerance) {
    for (std::size_t n : {1u, 2u, 7u, 15u, 16u, 17u, 33u, 1000u}) {
        for (std::size_t offset : {std::size_t{0}, sizeof(T), 2 * sizeof(T)}) {
            const auto a = PrimTest::Spread<T>(n, unsigned(n), 4);
            const auto b = PrimTest::Spread<T>(n, unsigned(n + 99), 4);
            long double exact = 0.0L, magnitude = 0.0L;
            for (std::size_t i = 0; i < n; ++i) {
                exact += static_cast<long double>(a[i]) * b[i];
                magnitude += std::fabs(static_cast<long double>(a[i]) * b[i]);
            }
            Placed<T> pa(a, offset), pb(b, sizeof(T) * (n % 3));
            T result = -1;
            ASSERT_EQ(dot(pa.data(), pb.data(), std::int32_t(n), &result), Prim::StatusOk);
            EXPECT_NEAR(double(result), double(exact), tolerance * double(magnitude)) << n << " at " << offset;
        }
    }
    T one[1] = {2}, result = 7;
    EXPECT_EQ(dot(one, one, 0, &result), Prim::StatusSizeError);
    EXPECT_EQ(dot(one, nullptr, 0, &result), Prim::StatusNullPointer);
    EXPECT_EQ(dot(one, one, 1, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(result, T(7));
}

TEST_P(DotSample, DotProductsAgainstWideSums) {
    CheckDot<float>(GetParam().DotProdF32, 1e-6);
    CheckDot<double>(GetParam().DotProdF64, 1e-15);
}

// Zero insertion and decimation by their definitions, for every factor, phase and length
// mix, with a guard after the expected output that no store may reach.
template <class T>
using Resample = Prim::Status (*)(const T*, std::int32_t, T*, std::int32_t*, std::int32_t, std::int32_t*);

template <class T>
void CheckResampling(Resample<T> up, Resample<T> down) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 300; ++trial) {
        const std::int32_t len = std::uniform_int_distribution<std::int32_t>(1, trial < 150 ? 60 : 5000)(rng);
        const std::int32_t factor = std::uniform_int_distribution<std::int32_t>(1, 9)(rng);
        const std::int32_t phase0 = std::uniform_int_distribution<std::int32_t>(0, factor - 1)(rng);
        const auto src = PrimTest::Spread<T>(std::size_t(len), unsigned(trial), 3);
        Placed<T> in(src, sizeof(T) * std::size_t(trial % 4));
        const std::size_t upLen = std::size_t(len) * std::size_t(factor);
        Placed<T> out(upLen + 8, sizeof(T) * std::size_t(trial % 3));
        for (std::size_t i = 0; i < upLen + 8; ++i) out[i] = T(-99);
        std::int32_t dstLen = -1, phase = phase0;
        ASSERT_EQ(up(in.data(), len, out.data(), &dstLen, factor, &phase), Prim::StatusOk);
        ASSERT_EQ(std::size_t(dstLen), upLen);
        EXPECT_EQ(phase, phase0);
        for (std::size_t i = 0; i < upLen + 8; ++i) {
            const T expected = i >= upLen ? T(-99) : i % factor == std::size_t(phase0) ? src[i / factor] : T(0);
            ASSERT_EQ(out[i], expected) << "up " << len << "/" << factor << "/" << phase0 << " at " << i;
        }
        for (std::size_t i = 0; i < upLen + 8; ++i) out[i] = T(-99);
        ASSERT_EQ(down(in.data(), len, out.data(), &dstLen, factor, &phase), Prim::StatusOk);
        std::vector<T> kept;
        std::size_t next = std::size_t(phase0);
        for (; next < std::size_t(len); next += std::size_t(factor)) kept.push_back(src[next]);
        ASSERT_EQ(std::size_t(dstLen), kept.size());
        EXPECT_EQ(phase, std::int32_t(next - std::size_t(len)));
        for (std::size_t i = 0; i < kept.size() + 8; ++i)
            ASSERT_EQ(out[i], i < kept.size() ? kept[i] : T(-99)) << "down " << len << "/" << factor << " at " << i;
    }
}

TEST_P(DotSample, ResamplingFollowsItsDefinition) {
    CheckResampling<float>(GetParam().UpSampleF32, GetParam().DownSampleF32);
    CheckResampling<double>(GetParam().UpSampleF64, GetParam().DownSampleF64);
}

TEST_P(DotSample, ResamplingExamplesAndRefusals) {
    const TestBuild& b = GetParam();
    const float ab[2] = {3, 5};
    float out[8] = {};
    std::int32_t len = 0, phase = 1;
    ASSERT_EQ(b.UpSampleF32(ab, 2, out, &len, 3, &phase), Prim::StatusOk);
    EXPECT_EQ(std::vector<float>(out, out + 6), (std::vector<float>{0, 3, 0, 0, 5, 0}));
    // A stream cut into two blocks keeps the samples of one call, the phase carried between them.
    const float stream[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    ASSERT_EQ(b.DownSampleF32(stream, 5, out, &len, 3, &phase), Prim::StatusOk);
    EXPECT_EQ(std::vector<float>(out, out + len), (std::vector<float>{1, 4}));
    EXPECT_EQ(phase, 2);
    ASSERT_EQ(b.DownSampleF32(stream + 5, 5, out, &len, 3, &phase), Prim::StatusOk);
    EXPECT_EQ(std::vector<float>(out, out + len), (std::vector<float>{7}));
    EXPECT_EQ(phase, 0);

    struct Refusal {
        std::int32_t srcLen, factor, phase;
        Prim::Status status;
    };
    // The last one: an up-sampled length beyond 2^31 - 1, refused before anything is written.
    const Refusal refusals[] = {{2, 1, 1, Prim::StatusSamplePhaseError}, {2, 0, 5, Prim::StatusSampleFactorError},
        {2, 3, 3, Prim::StatusSamplePhaseError}, {0, 0, 0, Prim::StatusSizeError},
        {1 << 30, 4, 0, Prim::StatusSizeError}};
    for (const Refusal& r : refusals) {
        for (const auto op : {b.UpSampleF32, b.DownSampleF32}) {
            if (r.srcLen > 2 && op == b.DownSampleF32) continue;
            std::int32_t n = -7, p = r.phase;
            float dst[1] = {42};
            EXPECT_EQ(op(ab, r.srcLen, dst, &n, r.factor, &p), r.status) << r.srcLen << "/" << r.factor;
            EXPECT_EQ(n, -7);
            EXPECT_EQ(p, r.phase);
            EXPECT_EQ(dst[0], 42);
        }
    }
    EXPECT_EQ(b.UpSampleF32(ab, 2, out, nullptr, 2, &phase), Prim::StatusNullPointer);
    EXPECT_EQ(b.DownSampleF64(nullptr, 2, nullptr, &len, 2, &phase), Prim::StatusNullPointer);
}

INSTANTIATE_TEST_SUITE_P(Builds, DotSample, testing::ValuesIn(PrimTest::TestBuilds), PrimTest::BuildName());

}  // namespace
