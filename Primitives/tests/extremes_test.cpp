// Maximum, minimum, their first index and the element-wise extremes, both
// builds, against a plain scan.
#include "support/prim_vectors.h"

#include <Primitives/Prim/Extremes.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace PrimTest;

namespace {

struct ExtremeBuild : BuildInfo {
    decltype(&Prim::MaxF32_x87) maxF32, minF32;
    decltype(&Prim::MaxF64_x87) maxF64, minF64;
    decltype(&Prim::MaxIndexF32_x87) maxIndex, minIndex;
    decltype(&Prim::MaxEveryInPlaceF32_x87) maxEvery, minEvery;
};

#define EXTREME_BUILD(sfx, isSse2)                                                                    \
    ExtremeBuild {                                                                                    \
#sfx + 1, isSse2, Prim::MaxF32##sfx, Prim::MinF32##sfx, Prim::MaxF64##sfx, Prim::MinF64##sfx, \
            Prim::MaxIndexF32##sfx, Prim::MinIndexF32##sfx, Prim::MaxEveryInPlaceF32##sfx,            \
            Prim::MinEveryInPlaceF32##sfx                                                             \
    }

class Extremes : public testing::TestWithParam<ExtremeBuild> {};

// Few distinct values, so that the extremes repeat at several places.
template <class T>
std::vector<T> Repeating(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pick(-40, 40);
    std::vector<T> v(n);
    for (T& x : v) x = T(pick(rng)) * T(0.5);
    return v;
}

TEST_P(Extremes, MatchAPlainScanAtEveryLengthAndAlignment) {
    const ExtremeBuild& b = GetParam();
    for (std::size_t n : {1, 2, 7, 16, 33, 34, 35, 40, 71, 2049, 2100, 5000}) {
        for (std::size_t offset : {0, 4, 8, 12}) {
            const auto values = Repeating<float>(n, unsigned(n + offset));
            Placed<float> f(values, offset);
            const auto len = std::int32_t(n);
            const auto maxAt = std::max_element(values.begin(), values.end()) - values.begin();
            const auto minAt = std::min_element(values.begin(), values.end()) - values.begin();
            float value = 0;
            std::int32_t index = -1;
            ASSERT_EQ(b.maxIndex(f.data(), len, &value, &index), Prim::StatusOk);
            EXPECT_EQ(value, values[maxAt]);
            EXPECT_EQ(index, maxAt) << n << " " << offset;
            ASSERT_EQ(b.minIndex(f.data(), len, &value, &index), Prim::StatusOk);
            EXPECT_EQ(value, values[minAt]);
            EXPECT_EQ(index, minAt) << n << " " << offset;
            ASSERT_EQ(b.maxF32(f.data(), len, &value), Prim::StatusOk);
            EXPECT_EQ(value, values[maxAt]);
            ASSERT_EQ(b.minF32(f.data(), len, &value), Prim::StatusOk);
            EXPECT_EQ(value, values[minAt]);

            const auto doubles = Spread<double>(n, unsigned(n));
            Placed<double> d(doubles, offset & 8);
            double dv = 0;
            ASSERT_EQ(b.maxF64(d.data(), len, &dv), Prim::StatusOk);
            EXPECT_EQ(dv, *std::max_element(doubles.begin(), doubles.end()));
            ASSERT_EQ(b.minF64(d.data(), len, &dv), Prim::StatusOk);
            EXPECT_EQ(dv, *std::min_element(doubles.begin(), doubles.end()));

            const auto other = Repeating<float>(n, unsigned(7 * n + offset));
            Placed<float> larger(values, offset), smaller(values, offset);
            Placed<float> src(other, (offset + 4) % 16);
            ASSERT_EQ(b.maxEvery(src.data(), larger.data(), len), Prim::StatusOk);
            ASSERT_EQ(b.minEvery(src.data(), smaller.data(), len), Prim::StatusOk);
            for (std::size_t i = 0; i < n; ++i) {
                ASSERT_EQ(larger[i], std::max(values[i], other[i])) << i;
                ASSERT_EQ(smaller[i], std::min(values[i], other[i])) << i;
            }
        }
    }
}

TEST_P(Extremes, WorkedCasesAndRefusals) {
    const ExtremeBuild& b = GetParam();
    float value = 0;
    std::int32_t index = -1;
    const float rising[] = {3, 7, 7, 1};
    EXPECT_EQ(b.maxIndex(rising, 4, &value, &index), Prim::StatusOk);
    EXPECT_EQ(value, 7.0f);
    EXPECT_EQ(index, 1);
    const float falling[] = {5, -2, -2, 0};
    EXPECT_EQ(b.minIndex(falling, 4, &value, &index), Prim::StatusOk);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(b.maxIndex(falling, 4, &value, nullptr), Prim::StatusOk);  // the plain maximum
    EXPECT_EQ(value, 5.0f);

    // 40 elements, the maximum in the first aligned block and again in the tail.
    Placed<float> twice(std::vector<float>(40, 1.0f), 0);
    twice[5] = twice[38] = 9.0f;
    EXPECT_EQ(b.maxIndex(twice.data(), 40, &value, &index), Prim::StatusOk);
    EXPECT_EQ(index, 5);

    float every[] = {4, 2};
    const float other[] = {1, 5};
    EXPECT_EQ(b.maxEvery(other, every, 2), Prim::StatusOk);
    EXPECT_EQ(every[0], 4.0f);
    EXPECT_EQ(every[1], 5.0f);

    EXPECT_EQ(b.maxF32(nullptr, 0, &value), Prim::StatusNullPointer);
    EXPECT_EQ(b.minF64(nullptr, 4, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(b.maxIndex(rising, 4, nullptr, &index), Prim::StatusNullPointer);
    EXPECT_EQ(b.maxIndex(rising, 0, &value, &index), Prim::StatusSizeError);
    EXPECT_EQ(b.minEvery(other, nullptr, 2), Prim::StatusNullPointer);
    EXPECT_EQ(b.minEvery(other, every, -1), Prim::StatusSizeError);

    // The x87 minimum lets a NaN in, its maximum never does.
    const float withNan[] = {1, Nan<float>, 3};
    if (!b.sse2) {
        EXPECT_EQ(b.maxF32(withNan, 3, &value), Prim::StatusOk);
        EXPECT_EQ(value, 3.0f);
        EXPECT_EQ(b.minIndex(withNan, 3, &value, &index), Prim::StatusOk);
        EXPECT_EQ(index, 2);  // NaN took over, then every later element
    }
}

INSTANTIATE_TEST_SUITE_P(
    Builds, Extremes, testing::Values(EXTREME_BUILD(_x87, false), EXTREME_BUILD(_sse2, true)), BuildName());

}  // namespace
