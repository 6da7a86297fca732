// The split-complex FFT on doubles, both builds: every path against a long-double DFT,
// hand-worked transforms, buffer sizes, in-place and unaligned arrays, statuses, and the
// deepest recursion level reached at a small order through injected split exponents.
#include "support/fft_reference.h"
#include "support/prim_vectors.h"

#include <Primitives/Prim/Fft/FftKernelsF32.h>
#include <Primitives/Prim/Fft/FftSplitC64.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>
#include <Primitives/Prim/Fft/FftTables.h>
#include <Primitives/Prim/Memory.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

using namespace FftTest;

namespace {

using SpecSplit = Owned<Prim::FftSpecSplitC64, &Prim::FftSpecFreeF64>;

#define SPLIT_BUILD(Name, build, other, order10Size)                                          \
    struct Name {                                                                             \
        static constexpr auto Init = &Prim::FftInitAllocSplitC64_##build;                     \
        static constexpr auto InitWithSplits = &Prim::FftInitAllocSplitC64WithSplits_##build; \
        static constexpr auto OtherInit = &Prim::FftInitAllocSplitC64_##other;                \
        static constexpr auto GetBufSize = &Prim::FftGetBufSizeSplitC64_##build;              \
        static constexpr auto Forward = &Prim::FftForwardSplitC64_##build;                    \
        static constexpr auto Inverse = &Prim::FftInverseSplitC64_##build;                    \
        static constexpr int32_t Order10Size = order10Size;                                   \
    };
SPLIT_BUILD(X87Split, x87, sse2, 16)
SPLIT_BUILD(Sse2Split, sse2, x87, 16400)
#undef SPLIT_BUILD

template <class B>
SpecSplit Make(int order, int flag, const Prim::FftSplitTable* splits = nullptr) {
    Prim::FftSpecSplitC64* spec = nullptr;
    EXPECT_EQ(B::InitWithSplits(&spec, order, flag, 0, splits), Prim::StatusOk) << "order " << order;
    return SpecSplit(spec);
}

struct Signal {
    std::vector<double> re, im;
};

Signal Random(int order, uint32_t seed) {
    const uint64_t n = uint64_t{1} << order;
    return {RandomSignal(n, seed), RandomSignal(n, seed + 1000)};
}

double Norm(const Signal& z) {
    long double sum = 0.0L;
    for (size_t i = 0; i < z.re.size(); ++i) sum += z.re[i] * static_cast<long double>(z.re[i]) + z.im[i] * z.im[i];
    return static_cast<double>(std::sqrt(sum));
}

// Bins 0..63 at small orders; above, seven bins spread over the spectrum and the last.
std::vector<uint64_t> CheckedBins(int order) {
    const uint64_t n = uint64_t{1} << order;
    std::vector<uint64_t> bins;
    for (uint64_t i = 0; i < (n <= 64 ? n : 7); ++i) bins.push_back(n <= 64 ? i : (i * 2654435761u + 1) % n);
    if (n > 64) bins.push_back(n - 1);
    return bins;
}

template <class B>
Signal Run(const typename Prim::FftSpecSplitC64* spec, const Signal& z, bool inverse) {
    Signal out{std::vector<double>(z.re.size()), std::vector<double>(z.re.size())};
    const auto transform = inverse ? B::Inverse : B::Forward;
    EXPECT_EQ(transform(z.re.data(), z.im.data(), out.re.data(), out.im.data(), spec, nullptr), Prim::StatusOk);
    return out;
}

void ExpectMatchesDft(const Signal& z, const Signal& out, int order, int sign, double factor) {
    const double tolerance = 1e-14 * (order + 2) * Norm(z) * factor + 1e-300;
    for (uint64_t k : CheckedBins(order)) {
        const Cplx want = ComplexDftBin(z.re, z.im, k, sign);
        ASSERT_NEAR(out.re[k], static_cast<double>(want.real()) * factor, tolerance) << "bin " << k;
        ASSERT_NEAR(out.im[k], static_cast<double>(want.imag()) * factor, tolerance) << "bin " << k;
    }
}

template <class B>
class FftSplit : public ::testing::Test {};
using SplitBuilds = ::testing::Types<X87Split, Sse2Split>;
TYPED_TEST_SUITE(FftSplit, SplitBuilds);

}  // namespace

// Codelets, the complete pass, the blocked path and the four-step levels of both builds, with
// the four creation flags' factors.
TYPED_TEST(FftSplit, EveryOrderAgainstALongDoubleDft) {
    using B = TypeParam;
    for (int order : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 20, 22}) {
        SCOPED_TRACE(::testing::Message() << "order " << order);
        const Signal z = Random(order, 500 + order);
        const int flag = order % 2 ? Prim::FftFlagSqrtBoth : Prim::FftFlagInverse;
        SpecSplit spec = Make<B>(order, flag);
        const double n = std::ldexp(1.0, order);
        ExpectMatchesDft(
            z, Run<B>(spec.get(), z, false), order, -1, flag == Prim::FftFlagInverse ? 1.0 : 1 / std::sqrt(n));
        ExpectMatchesDft(
            z, Run<B>(spec.get(), z, true), order, 1, 1 / (flag == Prim::FftFlagInverse ? n : std::sqrt(n)));
    }
}

// Unit impulses: at point 0 all ones, at point 1 the roots e^(-+2 pi i k / N).
TYPED_TEST(FftSplit, ImpulsesAndTheRoundTrip) {
    using B = TypeParam;
    for (int order : {2, 5, 10, 14}) {
        SCOPED_TRACE(::testing::Message() << "order " << order);
        const uint64_t n = uint64_t{1} << order;
        SpecSplit spec = Make<B>(order, Prim::FftFlagInverse);
        for (uint64_t point : {0, 1}) {
            Signal impulse{std::vector<double>(n), std::vector<double>(n)};
            impulse.re[point] = 1.0;
            const Signal out = Run<B>(spec.get(), impulse, false);
            for (uint64_t k = 0; k < n; ++k) {
                const double angle =
                    -2 * std::numbers::pi * static_cast<double>(k * point % n) / static_cast<double>(n);
                ASSERT_NEAR(out.re[k], std::cos(angle), 1e-15 * order) << "bin " << k << ", impulse at " << point;
                ASSERT_NEAR(out.im[k], std::sin(angle), 1e-15 * order) << "bin " << k << ", impulse at " << point;
            }
            const Signal back = Run<B>(spec.get(), out, true);
            for (uint64_t t = 0; t < n; ++t) {
                ASSERT_NEAR(back.re[t], impulse.re[t], 1e-15 * order) << "point " << t;
                ASSERT_NEAR(back.im[t], 0.0, 1e-15 * order) << "point " << t;
            }
        }
    }
}

// In place, on arrays off the 16-byte grid and with a caller's unaligned buffer, the
// result is the one of distinct aligned arrays.
TYPED_TEST(FftSplit, InPlaceAndUnalignedGiveTheSameResult) {
    using B = TypeParam;
    for (int order : {4, 5, 9, 10, 12, 13, 14, 15, 17}) {
        SCOPED_TRACE(::testing::Message() << "order " << order);
        const uint64_t n = uint64_t{1} << order;
        const Signal z = Random(order, 70 + order);
        SpecSplit spec = Make<B>(order, Prim::FftFlagNoScale);
        const Signal want = Run<B>(spec.get(), z, false);
        int32_t size = 0;
        ASSERT_EQ(B::GetBufSize(spec.get(), &size), Prim::StatusOk);
        std::vector<uint8_t> block(static_cast<size_t>(size) + 8);
        PrimTest::Placed<double> re(z.re, 8), im(z.im, 24);
        ASSERT_EQ(B::Forward(re.data(), im.data(), re.data(), im.data(), spec.get(), block.data() + 5), Prim::StatusOk);
        EXPECT_EQ(re.Values(n), want.re);
        EXPECT_EQ(im.Values(n), want.im);
    }
}

TYPED_TEST(FftSplit, BufferSizesAndStatuses) {
    using B = TypeParam;
    const int32_t x87Sizes[][2] = {{3, 0}, {9, 0}, {10, 16}, {12, 1040}, {17, 16400}, {18, 32784}};
    for (const auto& [order, size] : x87Sizes) {
        if (!std::is_same_v<B, X87Split>) break;
        int32_t got = -1;
        EXPECT_EQ(B::GetBufSize(Make<B>(order, Prim::FftFlagNoScale).get(), &got), Prim::StatusOk);
        EXPECT_EQ(got, size) << "order " << order;
    }
    int32_t got = -1;
    EXPECT_EQ(B::GetBufSize(Make<B>(10, Prim::FftFlagNoScale).get(), &got), Prim::StatusOk);
    EXPECT_EQ(got, B::Order10Size);

    Prim::FftSpecSplitC64* spec = nullptr;
    EXPECT_EQ(B::Init(nullptr, 3, Prim::FftFlagNoScale, 0), Prim::StatusNullPointer);
    EXPECT_EQ(B::Init(&spec, -1, Prim::FftFlagNoScale, 0), Prim::StatusFftOrderError);
    EXPECT_EQ(B::Init(&spec, 4, 0, 0), Prim::StatusFftFlagError);
    EXPECT_EQ(B::Init(&spec, 30, Prim::FftFlagNoScale, 0), Prim::StatusNoMemory);
    EXPECT_EQ(spec, nullptr);

    Prim::FftSpecRealF64* real = nullptr;
    ASSERT_EQ(Prim::FftInitAllocRealF64_x87(&real, 5, Prim::FftFlagNoScale, 0), Prim::StatusOk);
    SpecSplit tagNine(real);
    ASSERT_EQ(B::OtherInit(&spec, 5, Prim::FftFlagNoScale, 0), Prim::StatusOk);
    SpecSplit otherBuild(spec);
    SpecSplit own = Make<B>(5, Prim::FftFlagNoScale);
    double a[32] = {}, b[32] = {};
    EXPECT_EQ(B::Forward(a, b, a, b, nullptr, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::Forward(a, b, a, b, tagNine.get(), nullptr), Prim::StatusWrongContext);
    EXPECT_EQ(B::Inverse(a, b, a, b, otherBuild.get(), nullptr), Prim::StatusWrongContext);
    EXPECT_EQ(B::Inverse(a, b, a, nullptr, own.get(), nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::GetBufSize(tagNine.get(), &got), Prim::StatusWrongContext);
    EXPECT_EQ(Prim::FftFreeSplitC64(nullptr), Prim::StatusNullPointer);
}

// Split exponents that make order 16 recurse to level 2, as only order 30 does with the
// built-in ones: x87 16 = 4 x 4096, 12 = 4 x 1024, 10 = 4 x 256; SSE2 16 = 2 x 32768,
// 15 = 2 x 16384, 14 = 2 x 8192 leaves.
TYPED_TEST(FftSplit, InjectedSplitsReachTheDeepestLevel) {
    using B = TypeParam;
    Prim::FftSplitTable splits{};
    if (std::is_same_v<B, X87Split>) {
        splits.x87[16] = 4;
        splits.x87[12] = 2;
        splits.x87[10] = 2;
    } else {
        for (int order : {14, 15, 16}) splits.sse2[order] = {1, 6};
    }
    const Signal z = Random(16, 99);
    for (int flag : {Prim::FftFlagForward, Prim::FftFlagNoScale}) {
        SpecSplit spec = Make<B>(16, flag, &splits);
        const double factor = flag == Prim::FftFlagForward ? 1.0 / 65536 : 1.0;
        ExpectMatchesDft(z, Run<B>(spec.get(), z, false), 16, -1, factor);
        ExpectMatchesDft(z, Run<B>(spec.get(), z, true), 16, 1, 1.0);
    }
}

// The SSE2 permutation of one array of doubles: scattering up to 2^15 values, gathering
// above; each routine applied twice gives the array back.
TEST(FftSplitBitReversal, PlainPermutationAndItsOwnInverse) {
    for (int order : {4, 15, 16}) {
        SCOPED_TRACE(::testing::Message() << "order " << order);
        const uint32_t n = uint32_t{1} << order;
        int32_t* table = Prim::FftBitRevTable(order);
        ASSERT_NE(table, nullptr);
        std::vector<double> x(n), y(n), z(n);
        for (uint32_t i = 0; i < n; ++i) x[i] = i + 0.5;
        auto f = [](std::vector<double>& v) { return reinterpret_cast<float*>(v.data()); };
        Prim::FftBitRevCopyC32_sse2(f(x), f(y), n, table);
        for (uint32_t i = 0; i < n; ++i) {
            uint32_t reversed = 0;
            for (int b = 0; b < order; ++b) reversed |= ((i >> b) & 1u) << (order - 1 - b);
            ASSERT_EQ(y[reversed], x[i]) << "index " << i;
        }
        Prim::FftBitRevCopyC32_sse2(f(y), f(z), n, table);
        EXPECT_EQ(z, x);
        Prim::FftBitRevInPlaceC32_sse2(f(y), n, table);
        EXPECT_EQ(y, x);
        Prim::FreeDirect(table);
    }
}
