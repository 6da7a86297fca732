// One- and two-sided thresholds, both builds, against the element rule.
#include "support/prim_vectors.h"

#include <Primitives/Prim/Threshold.h>

#include <gtest/gtest.h>

using namespace PrimTest;

namespace {

class Thresholds : public testing::TestWithParam<TestBuild> {};

// Every element rule over values with NaN, both zeros and infinities, at every
// alignment and at lengths around the vector steps.
TEST_P(Thresholds, FollowTheElementRule) {
    const TestBuild& b = GetParam();
    const float specials[] = {Nan<float>, -0.0f, 0.0f, Inf<float>, -Inf<float>, 1.0f, -1.0f};
    for (std::size_t n : {1, 3, 8, 9, 13, 40}) {
        for (std::size_t offset : {0, 4, 8, 12}) {
            auto values = Spread<float>(n, unsigned(n + offset), 2);
            for (std::size_t i = 0; i < n; i += 3) values[i] = specials[(i / 3) % 7];
            for (float level : {0.0f, -0.0f, 1.0f, Nan<float>}) {
                Placed<float> lt(values, offset), gt(values, offset);
                Placed<double> ltD(std::vector<double>(values.begin(), values.end()), offset & 8);
                Placed<double> gtD(std::vector<double>(values.begin(), values.end()), offset & 8);
                ASSERT_EQ(b.ThresholdLtInPlaceF32(lt.data(), std::int32_t(n), level), Prim::StatusOk);
                ASSERT_EQ(b.ThresholdGtInPlaceF32(gt.data(), std::int32_t(n), level), Prim::StatusOk);
                ASSERT_EQ(b.ThresholdLtInPlaceF64(ltD.data(), std::int32_t(n), level), Prim::StatusOk);
                ASSERT_EQ(b.ThresholdGtInPlaceF64(gtD.data(), std::int32_t(n), level), Prim::StatusOk);
                for (std::size_t i = 0; i < n; ++i) {
                    const float x = values[i];
                    const float wantLt = x > level ? x : level;
                    // A NaN element (or level) stays in the x87 build's Gt, and becomes the level in SSE2's.
                    const float wantGt = x < level ? x : (b.sse2 || x >= level ? level : x);
                    ASSERT_TRUE(SameBits(lt[i], wantLt)) << i << " " << x << " " << level;
                    ASSERT_TRUE(SameBits(gt[i], wantGt)) << i << " " << x << " " << level;
                    ASSERT_TRUE(SameBits(ltD[i], double(wantLt))) << i;
                    ASSERT_TRUE(SameBits(gtD[i], double(wantGt))) << i;
                }
            }
            Placed<float> both(values, offset);
            ASSERT_EQ(
                b.ThresholdLtGtInPlaceF32(both.data(), std::int32_t(n), -0.5f, -7.0f, 0.5f, 9.0f), Prim::StatusOk);
            for (std::size_t i = 0; i < n; ++i) {
                const float x = values[i];
                const float want = !(x >= -0.5f) ? -7.0f : (x > 0.5f ? 9.0f : x);
                ASSERT_TRUE(SameBits(both[i], want)) << i;
            }
        }
    }
}

TEST_P(Thresholds, WorkedCasesAndRefusals) {
    const TestBuild& b = GetParam();
    float lt[] = {-1, 0, 2, Nan<float>};
    EXPECT_EQ(b.ThresholdLtInPlaceF32(lt, 4, 0.0f), Prim::StatusOk);
    EXPECT_EQ(std::vector<float>(lt, lt + 4), (std::vector<float>{0, 0, 2, 0}));
    float gt[] = {0.5f, 1, 3};
    EXPECT_EQ(b.ThresholdGtInPlaceF32(gt, 3, 1.0f), Prim::StatusOk);
    EXPECT_EQ(std::vector<float>(gt, gt + 3), (std::vector<float>{0.5f, 1, 1}));
    float both[] = {-5, 0, 10, 11, Nan<float>};
    EXPECT_EQ(b.ThresholdLtGtInPlaceF32(both, 5, 0, -1, 10, 99), Prim::StatusOk);
    EXPECT_EQ(std::vector<float>(both, both + 5), (std::vector<float>{-1, 0, 10, 99, -1}));

    float kept[] = {3, 4};
    EXPECT_EQ(b.ThresholdLtGtInPlaceF32(kept, 2, 1, 0, 0, 0), Prim::StatusThresholdBoundsError);
    EXPECT_EQ(b.ThresholdLtGtInPlaceF32(kept, 2, Nan<float>, 0, 5, 0), Prim::StatusThresholdBoundsError);
    EXPECT_EQ(b.ThresholdLtGtInPlaceF32(kept, 2, 2, 0, 2, 0), Prim::StatusOk);  // equal levels are accepted
    EXPECT_EQ(kept[0], 0.0f);
    EXPECT_EQ(b.ThresholdLtGtInPlaceF32(nullptr, 0, 1, 0, 0, 0), Prim::StatusNullPointer);
    EXPECT_EQ(b.ThresholdLtGtInPlaceF32(kept, 0, 1, 0, 0, 0), Prim::StatusSizeError);
    EXPECT_EQ(b.ThresholdLtInPlaceF64(nullptr, 3, 0.0), Prim::StatusNullPointer);
    EXPECT_EQ(b.ThresholdGtInPlaceF32(kept, -1, 0.0f), Prim::StatusSizeError);
}

INSTANTIATE_TEST_SUITE_P(Builds, Thresholds, testing::ValuesIn(TestBuilds), BuildName());

}  // namespace
