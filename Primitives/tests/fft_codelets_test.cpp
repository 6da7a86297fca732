// Codelets of orders 0 to 3 and their rows, in both builds.
#include "support/fft_reference.h"

#include <Primitives/Prim/Fft/FftCodelets.h>
#include <Primitives/Prim/Fft/FftCodeletsSse2.h>
#include <Primitives/Prim/Fft/FftComplexCodelets.h>

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

using namespace Prim;

namespace {

using Cx = std::complex<long double>;

std::vector<Cx> Dft(const std::vector<Cx>& z, bool inverse) {
    const size_t n = z.size();
    std::vector<Cx> y(n);
    for (size_t k = 0; k < n; ++k)
        for (size_t j = 0; j < n; ++j) {
            const long double angle = (inverse ? 2.0L : -2.0L) * std::numbers::pi_v<long double> *
                static_cast<long double>(j * k % n) / static_cast<long double>(n);
            y[k] += z[j] * Cx(std::cos(angle), std::sin(angle));
        }
    return y;
}

// The twelve rows of one build.
#define ROWS(Name, suffix)                                                               \
    struct Name {                                                                        \
        static constexpr auto& RealForward = FftRowRealForwardF64##suffix;               \
        static constexpr auto& RealForwardScaled = FftRowRealForwardScaledF64##suffix;   \
        static constexpr auto& RealInverse = FftRowRealInverseF64##suffix;               \
        static constexpr auto& RealInverseScaled = FftRowRealInverseScaledF64##suffix;   \
        static constexpr auto& CplxForward = FftRowCplxForwardF64##suffix;               \
        static constexpr auto& CplxForwardScaled = FftRowCplxForwardScaledF64##suffix;   \
        static constexpr auto& CplxInverse = FftRowCplxInverseF64##suffix;               \
        static constexpr auto& CplxInverseScaled = FftRowCplxInverseScaledF64##suffix;   \
        static constexpr auto& SplitForward = FftRowSplitForwardF64##suffix;             \
        static constexpr auto& SplitForwardScaled = FftRowSplitForwardScaledF64##suffix; \
        static constexpr auto& SplitInverse = FftRowSplitInverseF64##suffix;             \
        static constexpr auto& SplitInverseScaled = FftRowSplitInverseScaledF64##suffix; \
    };
ROWS(X87Rows, _x87)
ROWS(Sse2Rows, _sse2)
#undef ROWS

template <class B>
class FftCodelets : public ::testing::Test {};
using BothBuilds = ::testing::Types<X87Rows, Sse2Rows>;
TYPED_TEST_SUITE(FftCodelets, BothBuilds);

}  // namespace

TYPED_TEST(FftCodelets, RealWorkedExamples) {
    using B = TypeParam;
    const double x[4] = {1, 2, 3, 4};
    double packed[4], back[4];
    B::RealForward[2](x, packed);
    EXPECT_EQ(std::vector<double>(packed, packed + 4), (std::vector<double>{10, -2, -2, 2}));
    B::RealInverse[2](packed, back);
    EXPECT_EQ(std::vector<double>(back, back + 4), (std::vector<double>{4, 8, 12, 16}));

    const double impulse[8] = {0, 1, 0, 0, 0, 0, 0, 0};
    double p8[8];
    B::RealForward[3](impulse, p8);
    const double r = std::sqrt(0.5);
    const double expected[8] = {1, -1, r, -r, 0, -1, -r, -r};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(p8[i], expected[i], 1e-16) << i;

    const std::vector<double> signal = FftTest::RandomSignal(8, 5);
    double spectrum[8], restored[8], scaled[8];
    B::RealForward[3](signal.data(), spectrum);
    B::RealInverse[3](spectrum, restored);
    B::RealInverseScaled[3](spectrum, scaled, 1.0 / 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_NEAR(restored[i], 8 * signal[i], 1e-14) << i;
        EXPECT_NEAR(scaled[i], signal[i], 1e-15) << i;
    }
}

TYPED_TEST(FftCodelets, ScaledWithFactorOneAndInPlaceMatchUnscaled) {
    using B = TypeParam;
    const std::vector<double> x = FftTest::RandomSignal(16, 9);
    for (int order = 0; order <= 3; ++order) {
        const int n = 1 << order;
        for (bool inverse : {false, true}) {
            const FftCodeletReal plain = inverse ? B::RealInverse[order] : B::RealForward[order];
            const FftCodeletRealScaled scaled = inverse ? B::RealInverseScaled[order] : B::RealForwardScaled[order];
            std::vector<double> a(n), b(n), c(x.begin(), x.begin() + n);
            plain(x.data(), a.data());
            scaled(x.data(), b.data(), 1.0);
            plain(c.data(), c.data());
            EXPECT_EQ(a, b) << "order " << order << (inverse ? " inverse" : " forward");
            EXPECT_EQ(a, c) << "in place, order " << order;
        }
    }
}

TYPED_TEST(FftCodelets, ComplexAndSplitAgainstTheDefinition) {
    using B = TypeParam;
    const std::vector<double> values = FftTest::RandomSignal(16, 21);
    for (int order = 0; order <= 3; ++order) {
        const int n = 1 << order;
        std::vector<Cx> z(n);
        std::vector<double> interleaved(2 * n), re(n), im(n);
        for (int j = 0; j < n; ++j) {
            z[j] = Cx(values[2 * j], values[2 * j + 1]);
            interleaved[2 * j] = values[2 * j];
            interleaved[2 * j + 1] = values[2 * j + 1];
            re[j] = values[2 * j];
            im[j] = values[2 * j + 1];
        }
        for (bool inverse : {false, true}) {
            const std::vector<Cx> want = Dft(z, inverse);
            const double f = 0.375;
            std::vector<double> out(2 * n), outScaled(2 * n), outRe(n), outIm(n), sRe(n), sIm(n);
            (inverse ? B::CplxInverse : B::CplxForward)[order](interleaved.data(), out.data());
            (inverse ? B::CplxInverseScaled : B::CplxForwardScaled)[order](interleaved.data(), outScaled.data(), f);
            (inverse ? B::SplitInverse : B::SplitForward)[order](re.data(), im.data(), outRe.data(), outIm.data());
            (inverse ? B::SplitInverseScaled : B::SplitForwardScaled)[order](
                re.data(), im.data(), sRe.data(), sIm.data(), f);
            for (int k = 0; k < n; ++k) {
                const double wr = static_cast<double>(want[k].real()), wi = static_cast<double>(want[k].imag());
                EXPECT_NEAR(out[2 * k], wr, 1e-15) << order << " " << inverse << " " << k;
                EXPECT_NEAR(out[2 * k + 1], wi, 1e-15) << order << " " << inverse << " " << k;
                EXPECT_NEAR(outScaled[2 * k], f * wr, 1e-15);
                EXPECT_NEAR(outScaled[2 * k + 1], f * wi, 1e-15);
                EXPECT_EQ(outRe[k], out[2 * k]);
                EXPECT_EQ(outIm[k], out[2 * k + 1]);
                EXPECT_NEAR(sRe[k], f * wr, 1e-15);
                EXPECT_NEAR(sIm[k], f * wi, 1e-15);
            }
        }
    }
}
