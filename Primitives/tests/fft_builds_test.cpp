// The two builds of the double-precision FFT side by side: they agree with each other (and
// the two copies of the x87 build's passes to the bit), stay inside the work buffer they report (the builds of the 32-bit FFT too), and the SSE2 direct
// convolution kernel adds the plain sum.
#include "support/fft_records.h"
#include "support/fft_reference.h"
#include "support/prim_vectors.h"

#include <Primitives/Prim/Fft/FftSpec.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

using namespace FftTest;

namespace {

double MaxAbs(const double* x, uint64_t n) {
    double m = 0.0;
    for (uint64_t i = 0; i < n; ++i) m = std::max(m, std::abs(x[i]));
    return m;
}

// Doubles starting `shift` doubles past an aligned boundary.
struct Shifted : PrimTest::Placed<double> {
    Shifted(uint64_t n, int shift) : Placed(n, 8 * static_cast<size_t>(shift)) {}
};

// Every output of the x87 build for one input and one spectrum: forward and inverse, out of
// place and in place, and the packed-layout cores.
std::vector<double> X87Outputs(
    const Prim::FftSpecRealF64* spec, int order, const std::vector<double>& x, const std::vector<double>& spectrum) {
    const uint64_t n = uint64_t{1} << order, size = HalfSpectrumSize(order);
    std::vector<double> all, out(size), in;
    auto keep = [&](const std::vector<double>& v, uint64_t count) {
        all.insert(all.end(), v.begin(), v.begin() + count);
    };
    EXPECT_EQ(X87::Forward(x.data(), out.data(), spec, nullptr), Prim::StatusOk);
    keep(out, size);
    in = x;
    in.resize(size);
    EXPECT_EQ(X87::Forward(in.data(), in.data(), spec, nullptr), Prim::StatusOk);
    keep(in, size);
    EXPECT_EQ(X87::ForwardCore(x.data(), out.data(), spec, nullptr), Prim::StatusOk);
    keep(out, n);
    EXPECT_EQ(X87::Inverse(spectrum.data(), out.data(), spec, nullptr), Prim::StatusOk);
    keep(out, n);
    in = spectrum;
    EXPECT_EQ(X87::Inverse(in.data(), in.data(), spec, nullptr), Prim::StatusOk);
    keep(in, n);
    EXPECT_EQ(X87::InverseCore(spectrum.data(), out.data(), spec, nullptr), Prim::StatusOk);
    keep(out, n);
    return all;
}

template <class B>
class FftBuilds : public FftCopies<B> {};
TYPED_TEST_SUITE(FftBuilds, AllBuilds, BuildNames);

}  // namespace

// Every order from 0 to 22, forward and inverse, in place and out of place, with aligned and
// 8-byte-aligned data: the SSE2 results stay within 1e-12 of the x87 ones (relative to the
// largest value).
TEST(FftBuildsF64, AgreeWithinRoundingForOrders0To22) {
    for (int order = 0; order <= 22; ++order) {
        const uint64_t n = uint64_t{1} << order, size = HalfSpectrumSize(order);
        const std::vector<double> x = RandomSignal(n, 4000 + order);
        const int flag = order % 2 != 0 ? Prim::FftFlagSqrtBoth : Prim::FftFlagInverse;
        SpecF64 x87 = Make<X87>(order, flag), sse2 = Make<Sse2>(order, flag);
        std::vector<double> want(size), wantBack(n);
        ASSERT_EQ(X87::Forward(x.data(), want.data(), x87.get(), nullptr), Prim::StatusOk);
        ASSERT_EQ(X87::Inverse(want.data(), wantBack.data(), x87.get(), nullptr), Prim::StatusOk);
        const double spectrumScale = MaxAbs(want.data(), size), signalScale = MaxAbs(wantBack.data(), n);
        for (int shift : {0, 1}) {
            for (bool inPlace : {false, true}) {
                Shifted out(size, shift);
                if (inPlace) std::copy(x.begin(), x.end(), out.data());
                ASSERT_EQ(
                    Sse2::Forward(inPlace ? out.data() : x.data(), out.data(), sse2.get(), nullptr), Prim::StatusOk);
                for (uint64_t i = 0; i < size; ++i)
                    ASSERT_NEAR(out.data()[i], want[i], 1e-12 * spectrumScale)
                        << "forward, order " << order << " at " << i << ", shift " << shift << ", in place " << inPlace;
                Shifted back(size, shift);
                if (inPlace) std::copy(want.begin(), want.end(), back.data());
                ASSERT_EQ(Sse2::Inverse(inPlace ? back.data() : want.data(), back.data(), sse2.get(), nullptr),
                    Prim::StatusOk);
                for (uint64_t i = 0; i < n; ++i)
                    ASSERT_NEAR(back.data()[i], wantBack[i], 1e-12 * signalScale)
                        << "inverse, order " << order << " at " << i << ", shift " << shift << ", in place " << inPlace;
            }
        }
    }
}

// The x87 build's two copies of its passes, for processors with and without AVX, give the
// same bits at every order of the main path, signed zeros and subnormal values included.
TEST(FftBuildsF64, TheCopiesOfTheX87PassesAgreeToTheBit) {
    if (!Prim::FftUseWideKernelsF64_x87(true)) GTEST_SKIP() << "this processor has no AVX";
    for (int order = 4; order <= 22; ++order) {
        const uint64_t n = uint64_t{1} << order;
        std::vector<double> x = RandomSignal(n, 9000 + order), spectrum = RandomSignal(HalfSpectrumSize(order), order);
        for (uint64_t i = 0; i < n; i += 61) x[i] = spectrum[i] = i % 2 ? -0.0 : 3e-310;
        SpecF64 spec = Make<X87>(order, AllFlags[order % 4]);
        const std::vector<double> wide = X87Outputs(spec.get(), order, x, spectrum);
        Prim::FftUseWideKernelsF64_x87(false);
        const std::vector<double> narrow = X87Outputs(spec.get(), order, x, spectrum);
        Prim::FftUseWideKernelsF64_x87(true);
        for (size_t i = 0; i < wide.size(); ++i)
            ASSERT_EQ(std::bit_cast<uint64_t>(wide[i]), std::bit_cast<uint64_t>(narrow[i]))
                << "order " << order << ", output value " << i << ": " << wide[i] << " and " << narrow[i];
    }
}

// The caller's block is used from its next 16-byte boundary and never past the size the
// record reports: the bytes around it keep their pattern, at every order from 0 to 22.
TYPED_TEST(FftBuilds, WorkBufferStaysInsideTheReportedSize) {
    using B = TypeParam;
    using T = typename B::Value;
    constexpr uint8_t Pattern = 0xA5;
    constexpr size_t Guard = 64;
    for (int order = 0; order <= 22; ++order) {
        const uint64_t n = uint64_t{1} << order;
        const auto spec = Make<B>(order, Prim::FftFlagSqrtBoth);
        const size_t size = static_cast<size_t>(BufferSize<B>(spec.get()));
        const std::vector<double> signal = RandomSignal(n, 77 + order);
        const std::vector<T> x(signal.begin(), signal.end());
        std::vector<T> spectrum(HalfSpectrumSize(order)), back(n);
        std::vector<uint8_t> storage(size + 2 * Guard + 32);
        uint8_t* aligned = storage.data() + Guard + (32 - (reinterpret_cast<uintptr_t>(storage.data()) & 31));
        for (size_t offset : {0, 1, 8, 15}) {
            std::fill(storage.begin(), storage.end(), Pattern);
            uint8_t* block = aligned + offset;
            ASSERT_EQ(B::Forward(x.data(), spectrum.data(), spec.get(), block), Prim::StatusOk);
            ASSERT_EQ(B::Inverse(spectrum.data(), back.data(), spec.get(), block), Prim::StatusOk);
            ASSERT_EQ(B::ForwardCore(back.data(), back.data(), spec.get(), block), Prim::StatusOk);
            for (const uint8_t* p = storage.data(); p < block; ++p)
                ASSERT_EQ(*p, Pattern) << "written before the block, order " << order << ", offset " << offset;
            for (const uint8_t* p = block + size; p < storage.data() + storage.size(); ++p)
                ASSERT_EQ(*p, Pattern) << "written " << p - (block + size) << " bytes past the reported size, order "
                                       << order << ", offset " << offset;
        }
    }
}

TEST(FftBuildsF64, DirectConvolutionKernelAddsThePlainSum) {
    {
        const double a[2] = {1, 2}, b[2] = {1, 1};
        double dst[3] = {0, 0, 0};
        Prim::ConvKernelF64_sse2(a, 2, b, 2, dst);
        EXPECT_EQ(std::vector<double>(dst, dst + 3), (std::vector<double>{1, 3, 2}));
    }
    for (int lenA : {7, 8, 9, 33}) {
        for (int lenB : {1, 5, 17}) {
            for (int shift : {0, 1}) {
                const std::vector<double> a = RandomSignal(lenA, lenA), b = RandomSignal(lenB, 100 + lenB);
                const uint64_t len = lenA + lenB - 1;
                const std::vector<double> before = RandomSignal(len + 1, 7);
                Shifted dst(len + 1, shift);
                std::copy(before.begin(), before.end(), dst.data());
                Prim::ConvKernelF64_sse2(a.data(), lenA, b.data(), lenB, dst.data());
                for (uint64_t k = 0; k < len; ++k) {
                    long double sum = before[k];
                    for (int j = 0; j < lenB; ++j)
                        if (k >= static_cast<uint64_t>(j) && k - j < static_cast<uint64_t>(lenA))
                            sum += static_cast<long double>(a[k - j]) * b[j];
                    ASSERT_NEAR(dst.data()[k], static_cast<double>(sum), 1e-14 * lenB)
                        << lenA << " x " << lenB << ", shift " << shift << " at " << k;
                }
                EXPECT_EQ(dst.data()[len], before[len]) << "written past the convolution";
            }
        }
    }
}
