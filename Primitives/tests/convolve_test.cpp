#include "support/prim_vectors.h"

#include <Primitives/Prim/Filter/Convolve.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

template <class T>
using Convolution = Prim::Status (*)(const T*, std::int32_t, const T*, std::int32_t, T*);

template <class T>
struct Builds;
template <>
struct Builds<float> {
    static constexpr Convolution<float> all[] = {Prim::ConvolveF32_x87, Prim::ConvolveF32_sse2};
    static constexpr double tolerance = 1e-5;
};
template <>
struct Builds<double> {
    static constexpr Convolution<double> all[] = {Prim::ConvolveF64_x87, Prim::ConvolveF64_sse2};
    static constexpr double tolerance = 1e-13;
};

template <class T>
class Convolve : public testing::Test {};
using ElementTypes = testing::Types<float, double>;
TYPED_TEST_SUITE(Convolve, ElementTypes);

// The lengths on both sides of every threshold of both builds: direct sums (unblocked and in
// blocks of 4096), one transform, overlap-save, and the operands swapped.
TYPED_TEST(Convolve, AgreesWithTheDirectSumAtEveryMethodsEdges) {
    using T = TypeParam;
    const std::pair<std::int32_t, std::int32_t> lengths[] = {{1, 1}, {118, 32}, {119, 32}, {1000, 32}, {191, 64},
        {192, 64}, {5000, 20}, {32, 1000}, {448, 64}, {449, 64}, {511, 1}, {4097, 31}, {600, 300}, {1000, 1000},
        {3, 4096}, {2049, 700}};
    for (const auto& [len1, len2] : lengths) {
        const auto a = PrimTest::Spread<T>(std::size_t(len1), unsigned(len1), 2);
        const auto b = PrimTest::Spread<T>(std::size_t(len2), unsigned(len2 + 7), 2);
        long double na = 0, nb = 0;
        for (T v : a) na += static_cast<long double>(v) * v;
        for (T v : b) nb += static_cast<long double>(v) * v;
        const double bound = Builds<T>::tolerance * double(std::sqrt(na * nb));
        const std::size_t outLen = std::size_t(len1 + len2 - 1);
        std::vector<long double> exact(outLen);
        for (std::size_t i = 0; i < a.size(); ++i) {
            for (std::size_t j = 0; j < b.size(); ++j) exact[i + j] += static_cast<long double>(a[i]) * b[j];
        }
        for (std::size_t build = 0; build < 2; ++build) {
            std::vector<T> out(outLen + 1, T(-77));
            ASSERT_EQ(Builds<T>::all[build](a.data(), len1, b.data(), len2, out.data()), Prim::StatusOk);
            for (std::size_t n = 0; n < outLen; ++n)
                ASSERT_NEAR(out[n], double(exact[n]), bound)
                    << len1 << "x" << len2 << " build " << build << " at " << n;
            EXPECT_EQ(out[outLen], T(-77));
        }
    }
}

TYPED_TEST(Convolve, RefusalsWriteNothing) {
    using T = TypeParam;
    const T a[2] = {1, 2};
    T out[2] = {5, 5};
    for (const auto convolve : Builds<T>::all) {
        EXPECT_EQ(convolve(a, 0, a, 0, nullptr), Prim::StatusNullPointer);
        EXPECT_EQ(convolve(nullptr, 1, a, 1, out), Prim::StatusNullPointer);
        EXPECT_EQ(convolve(a, 0, a, 2, out), Prim::StatusSizeError);
        EXPECT_EQ(convolve(a, 2, a, -1, out), Prim::StatusSizeError);
        // An output longer than 2^31 - 1, and transform blocks past the allocator's limit.
        EXPECT_EQ(convolve(a, INT32_MAX, a, 2, out), Prim::StatusSizeError);
        EXPECT_EQ(convolve(a, 1 << 30, a, 1 << 30, out), Prim::StatusNoMemory);
        EXPECT_EQ(out[0], T(5));
    }
}

}  // namespace
