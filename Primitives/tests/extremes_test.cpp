// Maximum, minimum, their first index and the element-wise extremes, both
// builds, against a plain scan.
#include "support/prim_vectors.h"

#include <Primitives/Prim/Extremes.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace PrimTest;

namespace {

class Extremes : public testing::TestWithParam<TestBuild> {};

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
    const TestBuild& b = GetParam();
    for (std::size_t n : {1, 2, 7, 16, 33, 34, 35, 40, 71, 2049, 2100, 5000}) {
        for (std::size_t offset : {0, 4, 8, 12}) {
            const auto values = Repeating<float>(n, unsigned(n + offset));
            Placed<float> f(values, offset);
            const auto len = std::int32_t(n);
            const auto maxAt = std::max_element(values.begin(), values.end()) - values.begin();
            const auto minAt = std::min_element(values.begin(), values.end()) - values.begin();
            float value = 0;
            std::int32_t index = -1;
            ASSERT_EQ(b.MaxIndexF32(f.data(), len, &value, &index), Prim::StatusOk);
            EXPECT_EQ(value, values[maxAt]);
            EXPECT_EQ(index, maxAt) << n << " " << offset;
            ASSERT_EQ(b.MinIndexF32(f.data(), len, &value, &index), Prim::StatusOk);
            EXPECT_EQ(value, values[minAt]);
            EXPECT_EQ(index, minAt) << n << " " << offset;
            ASSERT_EQ(b.MaxF32(f.data(), len, &value), Prim::StatusOk);
            EXPECT_EQ(value, values[maxAt]);
            ASSERT_EQ(b.MinF32(f.data(), len, &value), Prim::StatusOk);
            EXPECT_EQ(value, values[minAt]);

            const auto doubles = Spread<double>(n, unsigned(n));
            Placed<double> d(doubles, offset & 8);
            double dv = 0;
            ASSERT_EQ(b.MaxF64(d.data(), len, &dv), Prim::StatusOk);
            EXPECT_EQ(dv, *std::max_element(doubles.begin(), doubles.end()));
            ASSERT_EQ(b.MinF64(d.data(), len, &dv), Prim::StatusOk);
            EXPECT_EQ(dv, *std::min_element(doubles.begin(), doubles.end()));

            const auto other = Repeating<float>(n, unsigned(7 * n + offset));
            Placed<float> larger(values, offset), smaller(values, offset);
            Placed<float> src(other, (offset + 4) % 16);
            ASSERT_EQ(b.MaxEveryInPlaceF32(src.data(), larger.data(), len), Prim::StatusOk);
            ASSERT_EQ(b.MinEveryInPlaceF32(src.data(), smaller.data(), len), Prim::StatusOk);
            for (std::size_t i = 0; i < n; ++i) {
                ASSERT_EQ(larger[i], std::max(values[i], other[i])) << i;
                ASSERT_EQ(smaller[i], std::min(values[i], other[i])) << i;
            }
        }
    }
}

TEST_P(Extremes, WorkedCasesAndRefusals) {
    const TestBuild& b = GetParam();
    float value = 0;
    std::int32_t index = -1;
    const float rising[] = {3, 7, 7, 1};
    EXPECT_EQ(b.MaxIndexF32(rising, 4, &value, &index), Prim::StatusOk);
    EXPECT_EQ(value, 7.0f);
    EXPECT_EQ(index, 1);
    const float falling[] = {5, -2, -2, 0};
    EXPECT_EQ(b.MinIndexF32(falling, 4, &value, &index), Prim::StatusOk);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(b.MaxIndexF32(falling, 4, &value, nullptr), Prim::StatusOk);  // the plain maximum
    EXPECT_EQ(value, 5.0f);

    // 40 elements, the maximum in the first aligned block and again in the tail.
    Placed<float> twice(std::vector<float>(40, 1.0f), 0);
    twice[5] = twice[38] = 9.0f;
    EXPECT_EQ(b.MaxIndexF32(twice.data(), 40, &value, &index), Prim::StatusOk);
    EXPECT_EQ(index, 5);

    float every[] = {4, 2};
    const float other[] = {1, 5};
    EXPECT_EQ(b.MaxEveryInPlaceF32(other, every, 2), Prim::StatusOk);
    EXPECT_EQ(every[0], 4.0f);
    EXPECT_EQ(every[1], 5.0f);

    EXPECT_EQ(b.MaxF32(nullptr, 0, &value), Prim::StatusNullPointer);
    EXPECT_EQ(b.MinF64(nullptr, 4, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(b.MaxIndexF32(rising, 4, nullptr, &index), Prim::StatusNullPointer);
    EXPECT_EQ(b.MaxIndexF32(rising, 0, &value, &index), Prim::StatusSizeError);
    EXPECT_EQ(b.MinEveryInPlaceF32(other, nullptr, 2), Prim::StatusNullPointer);
    EXPECT_EQ(b.MinEveryInPlaceF32(other, every, -1), Prim::StatusSizeError);

    // The x87 minimum lets a NaN in, its maximum never does.
    const float withNan[] = {1, Nan<float>, 3};
    if (!b.sse2) {
        EXPECT_EQ(b.MaxF32(withNan, 3, &value), Prim::StatusOk);
        EXPECT_EQ(value, 3.0f);
        EXPECT_EQ(b.MinIndexF32(withNan, 3, &value, &index), Prim::StatusOk);
        EXPECT_EQ(index, 2);  // NaN took over, then every later element
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, Extremes, testing::ValuesIn(TestBuilds), BuildName());

}  // namespace
