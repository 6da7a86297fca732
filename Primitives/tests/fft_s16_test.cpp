// The real FFT on 16-bit samples, both builds: both ways against long-double references,
// hand-worked results of the rounding shift and saturation, sizes and statuses.
#include "support/fft_reference.h"

#include <Primitives/Prim/Fft/FftRealS16.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

using namespace FftTest;

namespace {

using SpecS16 = Owned<Prim::FftSpecRealS16, &Prim::FftFreeRealS16_x87>;

#define S16_BUILD(Name, build, other, fixedMax, order4Size)                     \
    struct Name {                                                               \
        static constexpr auto Init = &Prim::FftInitAllocRealS16_##build;        \
        static constexpr auto GetBufSize = &Prim::FftGetBufSizeRealS16_##build; \
        static constexpr auto Forward = &Prim::FftForwardRealS16_##build;       \
        static constexpr auto Inverse = &Prim::FftInverseRealS16_##build;       \
        static constexpr auto OtherInit = &Prim::FftInitAllocRealS16_##other;   \
        static constexpr int FixedMax = fixedMax;                               \
        static constexpr int32_t Order4Size = order4Size;                       \
    };
S16_BUILD(X87S16, x87, sse2, 8, 88)
S16_BUILD(Sse2S16, sse2, x87, 3, 168)
#undef S16_BUILD

template <class B>
SpecS16 Make(int order, int flag, int hint) {
    Prim::FftSpecRealS16* spec = nullptr;
    EXPECT_EQ(B::Init(&spec, order, flag, hint), Prim::StatusOk) << "order " << order;
    return SpecS16(spec);
}

std::vector<int16_t> RandomSamples(uint64_t n, uint32_t seed, int amplitude = 20000) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(-amplitude, amplitude);
    std::vector<int16_t> x(n);
    for (int16_t& v : x) v = static_cast<int16_t>(value(random));
    return x;
}

template <class B>
class FftS16 : public ::testing::Test {};
using S16Builds = ::testing::Types<X87S16, Sse2S16>;
TYPED_TEST_SUITE(FftS16, S16Builds);

}  // namespace

// Forward with flag 1 gives the DFT / N, inverse with flag 2 (1/N) sum X_k e^(+...), within
// one unit where the passes round to nearest, two where a build truncates its products.
TYPED_TEST(FftS16, BothWaysAgainstALongDoubleDft) {
    using B = TypeParam;
    for (int hint : {0, 2}) {
        for (int order = 1; order <= 10; ++order) {
            SCOPED_TRACE(::testing::Message() << "order " << order << ", hint " << hint);
            const uint64_t n = uint64_t{1} << order;
            const bool truncates = std::is_same_v<B, Sse2S16> && hint == 0 && order <= B::FixedMax;
            const double tolerance = truncates ? 2.0 : 1.0;
            const std::vector<int16_t> x = RandomSamples(n, 40 + order);
            const std::vector<Cplx> bins = DftReference(std::vector<double>(x.begin(), x.end())).Bins(n / 2 + 1);
            SpecS16 forward = Make<B>(order, Prim::FftFlagForward, hint);
            std::vector<int16_t> out(n + 2);
            ASSERT_EQ(B::Forward(x.data(), out.data(), forward.get(), 0, nullptr), Prim::StatusOk);
            for (uint64_t k = 0; k <= n / 2; ++k) {
                ASSERT_NEAR(out[2 * k], static_cast<double>(bins[k].real()) / n, tolerance) << "bin " << k;
                ASSERT_NEAR(out[2 * k + 1], static_cast<double>(bins[k].imag()) / n, tolerance) << "bin " << k;
            }

            std::vector<int16_t> spectrum = RandomSamples(n + 2, 90 + order);
            spectrum[n + 1] = 0;
            const int16_t ignored = spectrum[1];
            spectrum[1] = 0;
            std::vector<long double> exact(n);
            for (uint64_t t = 0; t < n; ++t) {
                long double sum = spectrum[0] + (t % 2 ? -1.0L : 1.0L) * spectrum[n];
                for (uint64_t k = 1; k < n / 2; ++k) {
                    const long double angle = 2.0L * 3.14159265358979323846264338L * ((k * t) % n) / n;
                    sum += 2.0L * (spectrum[2 * k] * std::cos(angle) - spectrum[2 * k + 1] * std::sin(angle));
                }
                exact[t] = order == 1 ? sum : sum / n;
            }
            spectrum[1] = ignored;
            SpecS16 inverse = Make<B>(order, order == 1 ? Prim::FftFlagNoScale : Prim::FftFlagInverse, hint);
            std::vector<int16_t> back(n);
            ASSERT_EQ(B::Inverse(spectrum.data(), back.data(), inverse.get(), 0, nullptr), Prim::StatusOk);
            for (uint64_t t = 0; t < n; ++t) {
                const double want = std::clamp(static_cast<double>(exact[t]), -32768.0, 32767.0);
                ASSERT_NEAR(back[t], want, tolerance) << "sample " << t;
            }
        }
    }
}

// Hand-worked narrowing: halves round up, sums past 32 bits, shifts of 32 and more, left
// shifts that saturate, and the single sample of order 0.
TYPED_TEST(FftS16, RoundingShiftAndSaturation) {
    using B = TypeParam;
    constexpr int32_t Max = std::numeric_limits<int32_t>::max(), Min = std::numeric_limits<int32_t>::min();
    struct Case {
        int order, flag, scale;
        std::vector<int16_t> in, forward;
    } cases[] = {
        {1, Prim::FftFlagNoScale, 0, {1000, -3000}, {-2000, 0, 4000, 0}},
        {1, Prim::FftFlagNoScale, 1, {3, 1}, {2, 0, 1, 0}},
        {1, Prim::FftFlagNoScale, -20, {20000, 0}, {32767, 0, 32767, 0}},
        {1, Prim::FftFlagNoScale, -16, {-1, 0}, {-32768, 0, -32768, 0}},
        {1, Prim::FftFlagForward, 40, {32767, 32767}, {0, 0, 0, 0}},
        {1, Prim::FftFlagNoScale, Max, {-32768, 32767}, {0, 0, 0, 0}},
        {1, Prim::FftFlagNoScale, Min, {3, 1}, {32767, 0, 32767, 0}},
        {2, Prim::FftFlagNoScale, 2, {-2, 0, 0, 0}, {0, 0, 0, 0, 0, 0}},
        {0, Prim::FftFlagNoScale, -1, {-7}, {-14, 0}},
        {0, Prim::FftFlagNoScale, 1, {-3}, {-1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "order " << c.order << ", scale " << c.scale << ", x0 " << c.in[0]);
        SpecS16 spec = Make<B>(c.order, c.flag, 0);
        std::vector<int16_t> out(c.forward.size(), 99);
        ASSERT_EQ(B::Forward(c.in.data(), out.data(), spec.get(), c.scale, nullptr), Prim::StatusOk);
        EXPECT_EQ(out, c.forward);
    }
    // 256 samples of 32767 sum past 2^31 once the half is added for the shift.
    SpecS16 spec = Make<B>(8, Prim::FftFlagForward, 0);
    const std::vector<int16_t> full(256, 32767);
    std::vector<int16_t> out(258, 99), expected(258, 0);
    expected[0] = 16384;
    ASSERT_EQ(B::Forward(full.data(), out.data(), spec.get(), 1, nullptr), Prim::StatusOk);
    EXPECT_EQ(out, expected);
}

TYPED_TEST(FftS16, SizesAndStatuses) {
    using B = TypeParam;
    int32_t size = -1;
    EXPECT_EQ(B::GetBufSize(Make<B>(4, Prim::FftFlagNoScale, 0).get(), &size), Prim::StatusOk);
    EXPECT_EQ(size, B::Order4Size);
    EXPECT_EQ(B::GetBufSize(Make<B>(0, Prim::FftFlagNoScale, 0).get(), &size), Prim::StatusOk);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(B::GetBufSize(Make<B>(5, Prim::FftFlagNoScale, 0).get(), nullptr), Prim::StatusNullPointer);

    Prim::FftSpecRealS16* spec = nullptr;
    EXPECT_EQ(B::Init(nullptr, 3, Prim::FftFlagNoScale, 0), Prim::StatusNullPointer);
    EXPECT_EQ(B::Init(&spec, 31, Prim::FftFlagNoScale, 0), Prim::StatusFftOrderError);
    EXPECT_EQ(B::Init(&spec, 3, 3, 0), Prim::StatusFftFlagError);
    for (int order : {29, 30}) EXPECT_EQ(B::Init(&spec, order, Prim::FftFlagNoScale, 0), Prim::StatusNoMemory);
    EXPECT_EQ(spec, nullptr);

    SpecS16 own = Make<B>(3, Prim::FftFlagNoScale, 0);
    Prim::FftSpecRealS16* other = nullptr;
    ASSERT_EQ(B::OtherInit(&other, 3, Prim::FftFlagNoScale, 0), Prim::StatusOk);
    SpecS16 otherBuild(other);
    int16_t x[10] = {}, y[10] = {};
    EXPECT_EQ(B::Forward(x, y, nullptr, 0, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::Forward(x, y, otherBuild.get(), 0, nullptr), Prim::StatusWrongContext);
    EXPECT_EQ(B::Inverse(nullptr, y, own.get(), 0, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(Prim::FftFreeRealS16(nullptr), Prim::StatusNullPointer);
}

// The unaligned caller's buffer, the round trip and the half step of flag 4 (at an amplitude
// whose spectrum stays within 16 bits).
TYPED_TEST(FftS16, RoundTripThroughTheCallersBuffer) {
    using B = TypeParam;
    for (int order : {1, 3, 5, 8, 11}) {
        SCOPED_TRACE(::testing::Message() << "order " << order);
        const uint64_t n = uint64_t{1} << order;
        SpecS16 spec = Make<B>(order, Prim::FftFlagSqrtBoth, 1);
        int32_t size = 0;
        ASSERT_EQ(B::GetBufSize(spec.get(), &size), Prim::StatusOk);
        std::vector<uint8_t> block(static_cast<size_t>(size));
        const std::vector<int16_t> x = RandomSamples(n, 7 + order, 5000);
        std::vector<int16_t> spectrum(n + 2), back(n);
        ASSERT_EQ(B::Forward(x.data(), spectrum.data(), spec.get(), 0, block.data() + 1), Prim::StatusOk);
        ASSERT_EQ(B::Inverse(spectrum.data(), back.data(), spec.get(), 0, block.data() + 3), Prim::StatusOk);
        const double tolerance = 3.0 + 0.5 * std::sqrt(static_cast<double>(n));
        for (uint64_t t = 0; t < n; ++t) ASSERT_NEAR(back[t], x[t], tolerance) << "sample " << t;
    }
}
