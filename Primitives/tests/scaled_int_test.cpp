// Scaled integer sums and products, both builds, bit for bit against the exact
// quotient rounded by the C library (ties to even) and saturated.
#include "support/prim_vectors.h"

#include <Primitives/Prim/ScaledInt.h>

#include <gtest/gtest.h>

#include <cfenv>
#include <climits>

using namespace PrimTest;

namespace {

class ScaledInt : public testing::TestWithParam<TestBuild> {};

// t * 2^-k, exact in long double for these t and k, rounded to nearest even and saturated.
template <class T>
T Reference(long double t, std::int32_t k) {
    const long double q = std::nearbyint(std::ldexp(t, -std::clamp(k, -200, 200)));
    return T(std::clamp<long double>(q, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

template <class T>
std::vector<T> Operands(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<std::int64_t> any(std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    std::uniform_int_distribution<int> small(-9, 9);
    const T edges[] = {std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), 0, 1, -1, 3, -3, 6, 10};
    std::vector<T> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = i % 3 == 0 ? edges[i / 3 % 9] : (i % 3 == 1 ? T(small(rng)) : T(any(rng)));
    return v;
}

TEST_P(ScaledInt, EveryScaleMatchesTheExactQuotient) {
    ASSERT_EQ(std::fegetround(), FE_TONEAREST);
    const TestBuild& b = GetParam();
    std::vector<std::int32_t> scales = {INT_MIN, -1000, INT_MAX, 1000};
    for (std::int32_t k = -34; k <= 34; ++k) scales.push_back(k);
    for (std::size_t n : {1, 7, 16, 37}) {
        const auto a32 = Operands<std::int32_t>(n, unsigned(n));
        const auto a16 = Operands<std::int16_t>(n, unsigned(n + 1));
        const auto b16 = Operands<std::int16_t>(n, unsigned(n + 2));
        for (std::int32_t k : scales) {
            for (std::int32_t value : {INT_MAX, INT_MIN, 0, 1, -5}) {
                Placed<std::int32_t> inPlace(a32, 4 * (n % 4)), out(n, 8);
                ASSERT_EQ(b.AddConstInPlaceScaledS32(value, inPlace.data(), std::int32_t(n), k), Prim::StatusOk);
                ASSERT_EQ(b.AddConstScaledS32(a32.data(), value, out.data(), std::int32_t(n), k), Prim::StatusOk);
                for (std::size_t i = 0; i < n; ++i) {
                    const auto want = Reference<std::int32_t>((long double)a32[i] + value, k);
                    ASSERT_EQ(inPlace[i], want) << a32[i] << " + " << value << " scale " << k;
                    ASSERT_EQ(out[i], want) << a32[i] << " + " << value << " scale " << k;
                }
            }
            Placed<std::int16_t> sum(b16, 2 * (n % 8));
            ASSERT_EQ(b.AddInPlaceScaledS16(a16.data(), sum.data(), std::int32_t(n), k), Prim::StatusOk);
            for (std::size_t i = 0; i < n; ++i)
                ASSERT_EQ(sum[i], Reference<std::int16_t>((long double)a16[i] + b16[i], k))
                    << a16[i] << " + " << b16[i] << " scale " << k;
            for (std::int16_t value : {std::int16_t(-32768), std::int16_t(32767), std::int16_t(1), std::int16_t(-3)}) {
                Placed<std::int16_t> product(b16, 2 * ((n + 3) % 8));
                ASSERT_EQ(b.MulConstInPlaceScaledS16(value, product.data(), std::int32_t(n), k), Prim::StatusOk);
                for (std::size_t i = 0; i < n; ++i)
                    ASSERT_EQ(product[i], Reference<std::int16_t>((long double)b16[i] * value, k))
                        << b16[i] << " x " << value << " scale " << k;
            }
        }
    }
}

TEST_P(ScaledInt, IdentitiesLeaveTheVectorAndRefusalsWriteNothing) {
    const TestBuild& b = GetParam();
    std::int32_t v32[] = {5, -7, INT_MAX};
    ASSERT_EQ(b.AddConstInPlaceScaledS32(0, v32, 3, 0), Prim::StatusOk);
    EXPECT_EQ(std::vector<std::int32_t>(v32, v32 + 3), (std::vector<std::int32_t>{5, -7, INT_MAX}));
    std::int32_t copy[3] = {};
    ASSERT_EQ(b.AddConstScaledS32(v32, 0, copy, 3, 0), Prim::StatusOk);
    EXPECT_EQ(copy[2], INT_MAX);
    ASSERT_EQ(b.AddConstScaledS32(v32, 9, copy, 3, 33), Prim::StatusOk);  // all zero, src untouched
    EXPECT_EQ(std::vector<std::int32_t>(copy, copy + 3), (std::vector<std::int32_t>{0, 0, 0}));
    EXPECT_EQ(v32[0], 5);
    std::int16_t v16[] = {3, -3, 5};
    ASSERT_EQ(b.MulConstInPlaceScaledS16(1, v16, 3, 0), Prim::StatusOk);
    EXPECT_EQ(v16[1], -3);
    ASSERT_EQ(b.MulConstInPlaceScaledS16(1, v16, 3, 1), Prim::StatusOk);  // halved, ties to even
    EXPECT_EQ(std::vector<std::int16_t>(v16, v16 + 3), (std::vector<std::int16_t>{2, -2, 2}));
    ASSERT_EQ(b.MulConstInPlaceScaledS16(0, v16, 3, -100), Prim::StatusOk);
    EXPECT_EQ(std::vector<std::int16_t>(v16, v16 + 3), (std::vector<std::int16_t>{0, 0, 0}));

    EXPECT_EQ(b.AddConstInPlaceScaledS32(1, nullptr, 0, 0), Prim::StatusNullPointer);
    EXPECT_EQ(b.AddConstScaledS32(v32, 1, nullptr, 3, 0), Prim::StatusNullPointer);
    EXPECT_EQ(b.AddInPlaceScaledS16(nullptr, v16, 3, 0), Prim::StatusNullPointer);
    EXPECT_EQ(b.AddInPlaceScaledS16(v16, v16, 0, 0), Prim::StatusSizeError);
    EXPECT_EQ(b.MulConstInPlaceScaledS16(0, v16, -1, 0), Prim::StatusSizeError);
}

INSTANTIATE_TEST_SUITE_P(Builds, ScaledInt, testing::ValuesIn(TestBuilds), BuildName());

}  // namespace
