// Records of the largest orders that fit the allocator: their buffer sizes, and a transform.
#include "support/fft_buffer_sizes.h"
#include "support/fft_records.h"

#include <Primitives/Prim/Fft/FftSpec.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace FftTest;

TEST(FftLargeRecords, BufferSizesAtOrders23And24) {
    for (int order = 23; order <= 24; ++order) {
        const BufferSizes& want = ExpectedBufferSizes[order];
        int32_t size = -1;
        {
            Prim::FftSpecRealF64* spec = nullptr;
            ASSERT_EQ(Prim::FftInitAllocRealF64_x87(&spec, order, 2, 1), Prim::StatusOk);
            SpecF64 owner(spec);
            ASSERT_EQ(Prim::FftGetBufSizeRealF64_x87(spec, &size), Prim::StatusOk);
            EXPECT_EQ(size, want.f64X87) << "tag 9 x87, order " << order;
        }
        {
            Prim::FftSpecRealF64* spec = nullptr;
            ASSERT_EQ(Prim::FftInitAllocRealF64_sse2(&spec, order, 2, 1), Prim::StatusOk);
            SpecF64 owner(spec);
            ASSERT_EQ(Prim::FftGetBufSizeRealF64_sse2(spec, &size), Prim::StatusOk);
            EXPECT_EQ(size, want.f64Sse2) << "tag 9 SSE2, order " << order;
        }
        {
            Prim::FftSpecRealF32* spec = nullptr;
            ASSERT_EQ(Prim::FftInitAllocRealF32_x87(&spec, order, 2, 1), Prim::StatusOk);
            SpecF32 owner(spec);
            ASSERT_EQ(Prim::FftGetBufSizeRealF32_x87(spec, &size), Prim::StatusOk);
            EXPECT_EQ(size, want.f32X87) << "tag 6 x87, order " << order;
        }
        {
            Prim::FftSpecRealF32* spec = nullptr;
            ASSERT_EQ(Prim::FftInitAllocRealF32_sse2(&spec, order, 2, 1), Prim::StatusOk);
            SpecF32 owner(spec);
            ASSERT_EQ(Prim::FftGetBufSizeRealF32_sse2(spec, &size), Prim::StatusOk);
            EXPECT_EQ(size, want.f32Sse2) << "tag 6 SSE2, order " << order;
        }
    }
}

namespace {
template <class B>
class FftLargeTransforms : public FftCopies<B> {};
TYPED_TEST_SUITE(FftLargeTransforms, BothBuilds, BuildNames);
}  // namespace

TYPED_TEST(FftLargeTransforms, TwoSplitLevelsAtOrder23) {
    // m = 22: x87 splits 8 + 14 and the rows of 2^14 again 6 + 8; SSE2 splits 5 + 17 and the
    // rows of 2^17 again 4 + 13.
    using B = TypeParam;
    const int order = 23;
    const uint64_t n = uint64_t{1} << order;
    SpecF64 spec = Make<B>(order, Prim::FftFlagInverse);
    std::vector<double> x(n + 2);
    const uint64_t k0 = 123457;
    for (uint64_t j = 0; j < n; ++j)
        x[j] = std::cos(2.0 * 3.141592653589793238 * static_cast<double>((k0 * j) % n) / static_cast<double>(n));
    const std::vector<double> signal(x.begin(), x.begin() + n);
    ASSERT_EQ(B::Forward(x.data(), x.data(), spec.get(), nullptr), Prim::StatusOk);
    double worst = 0.0;
    for (uint64_t k = 0; k <= n / 2; ++k) {
        const double re = k == k0 ? n / 2.0 : 0.0;
        worst = std::max({worst, std::abs(x[2 * k] - re), std::abs(x[2 * k + 1])});
    }
    EXPECT_LT(worst, 1e-6) << "largest error against the single line of a cosine";
    ASSERT_EQ(B::Inverse(x.data(), x.data(), spec.get(), nullptr), Prim::StatusOk);
    worst = 0.0;
    for (uint64_t j = 0; j < n; ++j) worst = std::max(worst, std::abs(x[j] - signal[j]));
    EXPECT_LT(worst, 1e-12) << "largest error of the inverse after the forward transform";
}

namespace {
template <class B>
class FftLargestF32 : public ::testing::Test {};
TYPED_TEST_SUITE(FftLargestF32, BothBuildsF32, BuildNames);
}  // namespace

TYPED_TEST(FftLargestF32, Order26TransformsAndOrder29IsRefused) {
    // Order 29 would need a table of 2^28 complex floats, one byte over the allocator's limit.
    using B = TypeParam;
    Prim::FftSpecRealF32* refused = reinterpret_cast<Prim::FftSpecRealF32*>(0x1234);
    EXPECT_EQ(B::Init(&refused, 29, Prim::FftFlagInverse, 1), Prim::StatusNoMemory);
    EXPECT_EQ(refused, reinterpret_cast<Prim::FftSpecRealF32*>(0x1234));

    // An impulse at sample 3: X_k = e^(-2 pi i 3k / N), every bin on the unit circle.
    const int order = 26;
    const uint64_t n = uint64_t{1} << order;
    SpecF32 spec = Make<B>(order, Prim::FftFlagInverse);
    ASSERT_TRUE(spec);
    std::vector<float> x(n + 2, 0.0f);
    x[3] = 1.0f;
    ASSERT_EQ(B::Forward(x.data(), x.data(), spec.get(), nullptr), Prim::StatusOk);
    for (uint64_t k = 0; k <= n / 2; k += 1 + n / 4096) {
        const long double angle = -2.0L * 3.141592653589793238462643L * static_cast<long double>(3 * k % n) / n;
        ASSERT_NEAR(x[2 * k], static_cast<double>(std::cos(angle)), 1e-5) << "bin " << k;
        ASSERT_NEAR(x[2 * k + 1], static_cast<double>(std::sin(angle)), 1e-5) << "bin " << k;
    }
    ASSERT_EQ(B::Inverse(x.data(), x.data(), spec.get(), nullptr), Prim::StatusOk);
    double worst = 0.0;
    for (uint64_t j = 0; j < n; ++j) worst = std::max(worst, std::abs(x[j] - (j == 3 ? 1.0 : 0.0)));
    EXPECT_LT(worst, 1e-5) << "largest error of the inverse after the forward transform";
}
