// The inverse real FFT and the packed-layout cores on doubles, both builds.
#include "support/fft_records.h"
#include "support/fft_reference.h"

#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Fft/FftSpec.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace FftTest;

namespace {

constexpr double Sentinel = -777.25;

double MaxAbs(const std::vector<double>& x) {
    double m = 0.0;
    for (double v : x) m = std::max(m, std::abs(v));
    return m;
}

template <class B>
void CheckRoundTrip(int firstOrder, int lastOrder) {
    std::vector<uint8_t> block((1 << 19) + 1);
    for (int order = firstOrder; order <= lastOrder; ++order) {
        const uint64_t n = uint64_t{1} << order;
        const std::vector<double> x = RandomSignal(n, 500 + order);
        const double tolerance = 4.0 * std::numeric_limits<double>::epsilon() * (order + 1) * MaxAbs(x) * 4.0;
        for (int flag : AllFlags) {
            SpecF64 spec = Make<B>(order, flag);
            std::vector<double> spectrum(HalfSpectrumSize(order));
            ASSERT_EQ(B::Forward(x.data(), spectrum.data(), spec.get(), nullptr), Prim::StatusOk);

            std::vector<double> back(n + 4, Sentinel);
            ASSERT_EQ(B::Inverse(spectrum.data(), back.data(), spec.get(), block.data() + 1), Prim::StatusOk);
            // Forward and inverse factors together; without scaling the pair gives N x.
            const double gain = ForwardFactor(order, flag) * InverseFactor(order, flag) * static_cast<double>(n);
            for (uint64_t i = 0; i < n; ++i)
                ASSERT_NEAR(back[i], x[i] * gain, tolerance * gain)
                    << "order " << order << " flag " << flag << " at " << i;
            for (uint64_t i = n; i < n + 4; ++i) ASSERT_EQ(back[i], Sentinel) << "written past N, order " << order;

            // In place gives the same values.
            std::vector<double> inPlace = spectrum;
            ASSERT_EQ(B::Inverse(inPlace.data(), inPlace.data(), spec.get(), nullptr), Prim::StatusOk);
            for (uint64_t i = 0; i < n; ++i)
                ASSERT_EQ(inPlace[i], back[i]) << "in place, order " << order << " at " << i;
        }
    }
}

template <class B>
class FftInverse : public FftCopies<B> {};
TYPED_TEST_SUITE(FftInverse, BothBuilds, BuildNames);

}  // namespace

TYPED_TEST(FftInverse, InverseAfterForwardReturnsTheInputUpToOrder12) { CheckRoundTrip<TypeParam>(0, 12); }

TYPED_TEST(FftInverse, InverseAfterForwardReturnsTheInputFromOrder13To20) { CheckRoundTrip<TypeParam>(13, 20); }

TYPED_TEST(FftInverse, WorkedExamplesAndIgnoredImaginaryParts) {
    using B = TypeParam;
    struct Case {
        int order, flag;
        std::vector<double> spectrum, want;
    } cases[] = {
        {2, Prim::FftFlagNoScale, {10, 0, -2, 2, -2, 0}, {4, 8, 12, 16}},
        {2, Prim::FftFlagInverse, {10, 0, -2, 2, -2, 0}, {1, 2, 3, 4}},
        {1, Prim::FftFlagForward, {3, 99, 5, -99}, {8, -2}},
        {0, Prim::FftFlagInverse, {6, 1}, {6}},
    };
    for (Case& c : cases) {
        SpecF64 spec = Make<B>(c.order, c.flag);
        std::vector<double> out(c.want.size() + 1, Sentinel);
        ASSERT_EQ(B::Inverse(c.spectrum.data(), out.data(), spec.get(), nullptr), Prim::StatusOk);
        c.want.push_back(Sentinel);
        EXPECT_EQ(out, c.want) << "order " << c.order << ", flag " << c.flag;
    }
    {
        // Order 4: the forward output of x_n = n comes back as 16 n.
        SpecF64 unscaled = Make<B>(4, Prim::FftFlagNoScale);
        double x[16], spectrum[18], out[16];
        for (int i = 0; i < 16; ++i) x[i] = i;
        ASSERT_EQ(B::Forward(x, spectrum, unscaled.get(), nullptr), Prim::StatusOk);
        ASSERT_EQ(B::Inverse(spectrum, out, unscaled.get(), nullptr), Prim::StatusOk);
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(out[i], 16.0 * i, 1e-12) << i;
    }
    for (int order : {1, 2, 3, 4, 9, 12, 13}) {
        // Non-zero imaginary parts of X_0 and X_N/2 do not change the output.
        const uint64_t n = uint64_t{1} << order;
        SpecF64 spec = Make<B>(order, Prim::FftFlagInverse);
        std::vector<double> spectrum = RandomSignal(n + 2, 3);
        spectrum[1] = 0.0;
        spectrum[n + 1] = 0.0;
        std::vector<double> clean(n), dirty(n);
        ASSERT_EQ(B::Inverse(spectrum.data(), clean.data(), spec.get(), nullptr), Prim::StatusOk);
        spectrum[1] = 1e300;
        spectrum[n + 1] = std::numeric_limits<double>::quiet_NaN();
        ASSERT_EQ(B::Inverse(spectrum.data(), dirty.data(), spec.get(), nullptr), Prim::StatusOk);
        EXPECT_EQ(clean, dirty) << "order " << order;
    }
}

TYPED_TEST(FftInverse, StatusOrder) {
    using B = TypeParam;
    SpecF64 spec = Make<B>(6, Prim::FftFlagInverse);
    std::vector<double> in(66, 1.0), out(64, Sentinel);
    EXPECT_EQ(B::Inverse(nullptr, nullptr, nullptr, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::Inverse(nullptr, out.data(), spec.get(), nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::Inverse(in.data(), nullptr, spec.get(), nullptr), Prim::StatusNullPointer);
    spec->tag = 6;
    EXPECT_EQ(B::Inverse(nullptr, out.data(), spec.get(), nullptr), Prim::StatusWrongContext);
    EXPECT_EQ(B::ForwardCore(in.data(), out.data(), spec.get(), nullptr), Prim::StatusWrongContext);
    EXPECT_EQ(B::InverseCore(in.data(), out.data(), spec.get(), nullptr), Prim::StatusWrongContext);
    spec->tag = Prim::FftTagRealF64;
    EXPECT_EQ(B::ForwardCore(nullptr, out.data(), spec.get(), nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::InverseCore(in.data(), out.data(), nullptr, nullptr), Prim::StatusNullPointer);
    for (double v : out) EXPECT_EQ(v, Sentinel);
}

TYPED_TEST(FftInverse, PackedLayoutMatchesTheHalfSpectrumAndRoundTrips) {
    using B = TypeParam;
    {
        SpecF64 spec = Make<B>(2, Prim::FftFlagInverse);
        double data[4] = {1, 2, 3, 4};
        ASSERT_EQ(B::ForwardCore(data, data, spec.get(), nullptr), Prim::StatusOk);
        EXPECT_EQ(std::vector<double>(data, data + 4), (std::vector<double>{10, -2, -2, 2}));
        SpecF64 unscaled = Make<B>(2, Prim::FftFlagNoScale);
        double back[4];
        ASSERT_EQ(B::InverseCore(data, back, unscaled.get(), nullptr), Prim::StatusOk);
        EXPECT_EQ(std::vector<double>(back, back + 4), (std::vector<double>{4, 8, 12, 16}));
        ASSERT_EQ(B::InverseCore(data, back, spec.get(), nullptr), Prim::StatusOk);
        EXPECT_EQ(std::vector<double>(back, back + 4), (std::vector<double>{1, 2, 3, 4}));
    }
    for (int order = 0; order <= 20; ++order) {
        const uint64_t n = uint64_t{1} << order;
        const std::vector<double> x = RandomSignal(n, 900 + order);
        SpecF64 spec = Make<B>(order, Prim::FftFlagInverse);
        std::vector<double> half(HalfSpectrumSize(order));
        ASSERT_EQ(B::Forward(x.data(), half.data(), spec.get(), nullptr), Prim::StatusOk);
        std::vector<double> packed(n + 2, Sentinel);
        ASSERT_EQ(B::ForwardCore(x.data(), packed.data(), spec.get(), nullptr), Prim::StatusOk);
        EXPECT_EQ(packed[n], Sentinel) << "the core wrote past N, order " << order;
        EXPECT_EQ(packed[0], half[0]);
        if (n > 1) {
            EXPECT_EQ(packed[1], half[n]) << "order " << order;
        }
        for (uint64_t i = 2; i < n; ++i) ASSERT_EQ(packed[i], half[i]) << "order " << order << " at " << i;

        ASSERT_EQ(B::InverseCore(packed.data(), packed.data(), spec.get(), nullptr), Prim::StatusOk);
        const double tolerance = 32.0 * std::numeric_limits<double>::epsilon() * (order + 1);
        for (uint64_t i = 0; i < n; ++i) ASSERT_NEAR(packed[i], x[i], tolerance) << "order " << order << " at " << i;
    }
}

TYPED_TEST(FftInverse, PackedProductAndFastConvolution) {
    using B = TypeParam;
    struct Case {
        std::vector<double> src, dst, want;
    } cases[] = {
        {{3}, {4}, {12}}, {{3, 5}, {4, 2}, {12, 10}},
        {{2, 1, 2}, {3, 3, 4}, {6, -5, 10}},  // (1 + 2i)(3 + 4i) = -5 + 10i
    };
    for (Case& c : cases) {
        EXPECT_EQ(B::MulPack(c.src.data(), c.dst.data(), static_cast<int32_t>(c.src.size())), Prim::StatusOk);
        EXPECT_EQ(c.dst, c.want);
    }
    {
        double src[2] = {1, 1}, dst[2] = {7, 8};
        EXPECT_EQ(B::MulPack(src, dst, 0), Prim::StatusSizeError);
        EXPECT_EQ(B::MulPack(nullptr, dst, 0), Prim::StatusNullPointer);
        EXPECT_EQ(B::MulPack(src, nullptr, 2), Prim::StatusNullPointer);
        EXPECT_EQ(dst[0], 7);
        EXPECT_EQ(dst[1], 8);
    }
    // Linear convolution through forward cores, packed product and inverse core (flag 2).
    for (int order : {3, 6, 11, 14}) {
        const uint64_t n = uint64_t{1} << order;
        const std::vector<double> a = RandomSignal(n / 2, 11), b = RandomSignal(n / 2 - 1, 12);
        std::vector<double> pa(n, 0.0), pb(n, 0.0);
        std::copy(a.begin(), a.end(), pa.begin());
        std::copy(b.begin(), b.end(), pb.begin());
        SpecF64 spec = Make<B>(order, Prim::FftFlagInverse);
        int32_t size = 0;
        ASSERT_EQ(B::GetBufSize(spec.get(), &size), Prim::StatusOk);
        std::vector<uint8_t> buffer(static_cast<size_t>(size) + 1);
        ASSERT_EQ(B::ForwardCore(pa.data(), pa.data(), spec.get(), buffer.data()), Prim::StatusOk);
        ASSERT_EQ(B::ForwardCore(pb.data(), pb.data(), spec.get(), buffer.data()), Prim::StatusOk);
        ASSERT_EQ(B::MulPack(pa.data(), pb.data(), static_cast<int32_t>(n)), Prim::StatusOk);
        ASSERT_EQ(B::InverseCore(pb.data(), pb.data(), spec.get(), buffer.data()), Prim::StatusOk);
        for (uint64_t i = 0; i < a.size() + b.size() - 1; ++i) {
            long double direct = 0.0L;
            for (uint64_t j = 0; j < a.size(); ++j)
                if (i >= j && i - j < b.size()) direct += static_cast<long double>(a[j]) * b[i - j];
            ASSERT_NEAR(pb[i], static_cast<double>(direct), 1e-12 * (order + 1)) << "order " << order << " at " << i;
        }
    }
}

// Through the entry points, as a library caller reaches them: the record of the
// application's creation (inverse scaled) makes the pair return the input.
TEST(FftEntryPointsF64, ARecordOfTheBoundBuildReturnsTheInput) {
    const bool sse2 = Prim::BoundBuild() == Prim::Build::Sse2;
    for (int order : {0, 3, 4, 11, 15}) {
        const uint64_t n = uint64_t{1} << order;
        Prim::FftSpecRealF64* raw = nullptr;
        ASSERT_EQ(Prim::FftInitAllocRealF64(&raw, order, Prim::FftFlagInverse, 1), Prim::StatusOk);
        SpecF64 spec(raw);
        const std::vector<double> x = RandomSignal(n, 91 + order);
        std::vector<double> spectrum(HalfSpectrumSize(order)), back(n + 1, Sentinel);
        ASSERT_EQ(Prim::FftForwardRealF64(x.data(), spectrum.data(), raw, nullptr), Prim::StatusOk);
        ASSERT_EQ(Prim::FftInverseRealF64(spectrum.data(), back.data(), raw, nullptr), Prim::StatusOk);
        for (uint64_t i = 0; i < n; ++i) EXPECT_NEAR(back[i], x[i], 1e-13) << "order " << order << " at " << i;
        EXPECT_EQ(back[n], Sentinel);
        // The record meets only the transform of the build that made it.
        auto other = sse2 ? &Prim::FftForwardRealF64_x87 : &Prim::FftForwardRealF64_sse2;
        EXPECT_EQ(other(x.data(), spectrum.data(), raw, nullptr), Prim::StatusWrongContext);
    }
    std::vector<double> in(66, 1.0), out(64, Sentinel);
    EXPECT_EQ(Prim::FftInverseRealF64(in.data(), out.data(), nullptr, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(out, std::vector<double>(64, Sentinel));
}
