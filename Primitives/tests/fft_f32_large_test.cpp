// The real FFT on 32-bit floats at large orders, through each build's large-order path.
#include "support/fft_floats.h"
#include "support/fft_records.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

using namespace FftTest;

namespace {

// x_t = cos(2 pi 12345 t / N), which lies at bin 12345 folded into 0..N/2; the cosines
// of a quarter turn give every other one.
std::vector<float> Tone(uint64_t n) {
    std::vector<double> quarter(n / 4 + 1);
    for (uint64_t j = 0; j <= n / 4; ++j) quarter[j] = std::cos(2.0 * std::numbers::pi * static_cast<double>(j) / n);
    std::vector<float> x(n);
    for (uint64_t t = 0; t < n; ++t) {
        const uint64_t m = 12345 * t % n;
        const double c = m <= n / 4 ? quarter[m]
            : m <= n / 2            ? -quarter[n / 2 - m]
            : m <= 3 * n / 4        ? -quarter[m - n / 2]
                                    : quarter[n - m];
        x[t] = static_cast<float>(c);
    }
    return x;
}

uint64_t ToneBin(uint64_t n) { return 12345 % n <= n / 2 ? 12345 % n : n - 12345 % n; }

// x_(a + P b) = r_a s_b: dense and random-looking, yet each bin's long-double direct sum
// factors into two sums of sqrt(N) terms. r and s have 12-bit values, so every product is
// exact in a float and the reference is the direct sum of the very input.
struct SeparableSignal {
    std::vector<long double> r, s;
    std::vector<float> x;

    explicit SeparableSignal(int order) : r(uint64_t{1} << (order / 2)), s(uint64_t{1} << (order - order / 2)) {
        std::mt19937 generator(order);
        std::uniform_int_distribution<int> value(-2048, 2047);
        for (long double& v : r) v = value(generator) / 2048.0L;
        for (long double& v : s) v = value(generator) / 2048.0L;
        x.resize(r.size() * s.size());
        for (uint64_t b = 0; b < s.size(); ++b)
            for (uint64_t a = 0; a < r.size(); ++a) x[a + r.size() * b] = static_cast<float>(r[a] * s[b]);
    }

    Cplx Bin(uint64_t k) const {
        const uint64_t n = x.size();
        const long double step = 2.0L * std::numbers::pi_v<long double> / n;
        Cplx inner{0, 0}, outer{0, 0};
        for (uint64_t a = 0; a < r.size(); ++a)
            inner += r[a] * std::polar(1.0L, -step * static_cast<long double>(k * a % n));
        for (uint64_t b = 0; b < s.size(); ++b)
            outer += s[b] * std::polar(1.0L, -step * static_cast<long double>(k * r.size() * b % n));
        return inner * outer;
    }
};

template <class Build>
void CheckLargeOrder(int order) {
    SCOPED_TRACE(::testing::Message() << "order " << order);
    const uint64_t n = uint64_t{1} << order;
    std::vector<float> out(n + 2);
    {
        // Flag 4: each direction scales by 1/sqrt(N), so the tone's line is sqrt(N)/2 and the
        // way back gives the tone again; a value scaled twice or never is far off.
        SpecF32 spec = Make<Build>(order, Prim::FftFlagSqrtBoth);
        ASSERT_TRUE(spec);
        const std::vector<float> x = Tone(n);
        ASSERT_EQ(Build::Forward(x.data(), out.data(), spec.get(), nullptr), Prim::StatusOk);
        const double line = std::sqrt(static_cast<double>(n)) / 2.0;
        const uint64_t bin = ToneBin(n);
        EXPECT_NEAR(out[2 * bin], line, 1e-5 * line);
        double others = 0.0;  // the largest squared magnitude
        for (uint64_t k = 0; k <= n / 2; ++k)
            if (k != bin)
                others = std::max(others, double(out[2 * k]) * out[2 * k] + double(out[2 * k + 1]) * out[2 * k + 1]);
        EXPECT_LT(std::sqrt(others), 1e-5 * line);
        std::vector<float> back(n);
        ASSERT_EQ(Build::Inverse(out.data(), back.data(), spec.get(), nullptr), Prim::StatusOk);
        const double tolerance = 1e-5 * Norm2(x);
        for (uint64_t t = 0; t < n; t += 1 + n / 4096) ASSERT_NEAR(back[t], x[t], tolerance) << "at " << t;
    }
    SpecF32 spec = Make<Build>(order, Prim::FftFlagNoScale);
    const SeparableSignal signal(order);
    ASSERT_EQ(Build::Forward(signal.x.data(), out.data(), spec.get(), nullptr), Prim::StatusOk);
    std::mt19937_64 generator(order);
    std::vector<uint64_t> bins = {0, 1, n / 4, n / 2 - 1, n / 2};
    while (bins.size() < 64) bins.push_back(generator() % (n / 2 + 1));
    const double tolerance = 1e-5 * Norm2(signal.x);
    for (uint64_t k : bins) {
        const Cplx want = signal.Bin(k);
        EXPECT_NEAR(out[2 * k], static_cast<double>(want.real()), tolerance) << "bin " << k;
        EXPECT_NEAR(out[2 * k + 1], static_cast<double>(want.imag()), tolerance) << "bin " << k;
    }
}

}  // namespace

TEST(FftF32Large, PortableBuildFromTheBlockedRoutineToNestedSplits) {
    for (int order : {12, 13, 14, 22, 24}) CheckLargeOrder<X87F32>(order);
}

TEST(FftF32Large, Sse2BuildFromTheFirstSplitToNestedSplits) {
    for (int order : {17, 20, 23, 25}) CheckLargeOrder<Sse2F32>(order);
}
