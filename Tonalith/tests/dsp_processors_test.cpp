#include <Tonalith/Analysis/DSP/DataTail.h>
#include <Tonalith/Analysis/DSP/FftHolderF32.h>
#include <Tonalith/Analysis/DSP/KaiserWindow.h>
#include <Tonalith/Analysis/DSP/OversampledFilterbank.h>
#include <Tonalith/Analysis/DSP/Transience.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <vector>

namespace {

TEST(DataTail, SizesFillAndAppend) {
    DSP::DataTail tiny;
    tiny.Resize(2, 44100, 0, 0, true);
    ASSERT_EQ(tiny.BufferCount(), 2);
    EXPECT_EQ(tiny.Capacity(), 1);
    EXPECT_EQ(tiny.Channel(1)[0], 0.0f);

    DSP::DataTail tail;
    tail.Resize(1, 8000, 4, 2, true);
    tail.Fill(9.0f);
    EXPECT_EQ(tail.FillPosition(), 2);
    const float samples[3] = {1, 2, 3};
    const float* channels[1] = {samples};
    tail.Append(channels, 3, 0);
    EXPECT_EQ(tail.FillPosition(), 5);
    EXPECT_EQ(tail.Channel(0)[1], 9.0f);
    EXPECT_EQ(tail.Channel(0)[2], 1.0f);
    EXPECT_EQ(tail.Channel(0)[4], 3.0f);
    // What does not fit is dropped, not written past the end.
    tail.Append(channels, 3, 0);
    EXPECT_EQ(tail.FillPosition(), 6);
    EXPECT_EQ(tail.Channel(0)[5], 1.0f);

    // Source offset and the copy's independence.
    DSP::DataTail copy = tail;
    copy.Reset();
    EXPECT_EQ(copy.Channel(0)[2], 0.0f);
    EXPECT_EQ(tail.Channel(0)[2], 1.0f);

    EXPECT_THROW(tail.Resize(1, 0, 0x7FFFFFFF, 1, true), std::length_error);
    EXPECT_EQ(tail.BufferCount(), 0);
}

TEST(DataTail, GrowingKeepsTheTail) {
    DSP::DataTail tail;
    tail.Resize(2, 48000, 3, 2, true);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 5; ++i) tail.Channel(c)[i] = float(10 * c + i);
    tail.SetMaxBlockLength(6);
    EXPECT_EQ(tail.Capacity(), 8);
    EXPECT_EQ(tail.TailLength(), 2);
    EXPECT_EQ(tail.FillPosition(), 2);
    EXPECT_EQ(tail.Channel(0)[0], 3.0f);
    EXPECT_EQ(tail.Channel(0)[1], 4.0f);
    EXPECT_EQ(tail.Channel(1)[0], 13.0f);
    EXPECT_EQ(tail.Channel(1)[2], 0.0f);
    EXPECT_EQ(tail.EnsureBlockLength(nullptr, 5, nullptr), 5);
    EXPECT_EQ(tail.MaxBlockLength(), 6);
    EXPECT_EQ(tail.EnsureBlockLength(nullptr, 9, nullptr), 9);
    EXPECT_EQ(tail.MaxBlockLength(), 9);
}

TEST(FftHolderF32, PicksOrdersAndOwnsTheRecord) {
    const int orders[][2] = {{1, 1}, {2, 1}, {3, 2}, {5, 3}, {1024, 10}, {1025, 11}};
    for (const auto& [length, order] : orders) EXPECT_EQ(DSP::FftHolderF32::OrderFor(length), order) << length;

    DSP::FftHolderF32 holder;
    ASSERT_TRUE(holder.Init(1000));
    ASSERT_NE(holder.Spec(), nullptr);
    EXPECT_EQ(holder.Spec()->tag, Prim::FftTagRealF32);
    EXPECT_EQ(holder.Spec()->order, 10);
    if (holder.BufferSize() > 0) {
        EXPECT_NE(holder.Buffer(), nullptr);
    }
    ASSERT_TRUE(holder.Init(3));
    EXPECT_EQ(holder.Spec()->order, 2);
    holder.Free();
    EXPECT_EQ(holder.Spec(), nullptr);
}

TEST(KaiserWindow, MatchesTheClosedFormAndNormalises) {
    // numpy.kaiser(9, 10): I0(beta sqrt(1 - (2n/(M-1) - 1)^2)) / I0(beta).
    std::vector<double> w(9, 1.0);
    DSP::ApplyKaiserWindow(w.data(), 9, 10.0, DSP::KaiserNormalisation::None);
    for (int n = 0; n < 9; ++n) {
        const double t = 2.0 * n / 8.0 - 1.0;
        EXPECT_NEAR(w[std::size_t(n)],
            std::cyl_bessel_i(0.0, 10.0 * std::sqrt(1 - t * t)) / std::cyl_bessel_i(0.0, 10.0), 1e-9);
    }
    // The middle element of an odd length is multiplied once.
    std::vector<double> twice(9, 2.0);
    DSP::ApplyKaiserWindow(twice.data(), 9, 10.0, DSP::KaiserNormalisation::None);
    EXPECT_DOUBLE_EQ(twice[4], 2.0);

    std::vector<float> mean(16, 1.0f);
    DSP::ApplyKaiserWindow(mean.data(), 16, 14.0, DSP::KaiserNormalisation::Mean);
    EXPECT_NEAR(std::accumulate(mean.begin(), mean.end(), 0.0) / 16.0, 1.0, 1e-6);
    std::vector<double> rms(16, 1.0);
    DSP::ApplyKaiserWindow(rms.data(), 16, 14.0, DSP::KaiserNormalisation::RootMeanSquare);
    EXPECT_NEAR(std::inner_product(rms.begin(), rms.end(), rms.begin(), 0.0) / 16.0, 1.0, 1e-12);

    EXPECT_NEAR(DSP::BesselI0Series(3.0), std::cyl_bessel_i(0.0, 3.0), 1e-4 * std::cyl_bessel_i(0.0, 3.0));
}

TEST(OversampledFilterbank, DesignsWindowsAndBands) {
    DSP::OversampledFilterbank bank;
    bank.Configure(2, 8000, 128);
    bank.Design(64, 32, -1.0);
    EXPECT_EQ(bank.WindowLength(), 64);
    EXPECT_EQ(bank.Latency(), 32);
    ASSERT_EQ(bank.Bands().size(), 33u);
    EXPECT_FLOAT_EQ(bank.Bands()[0].lower, 0.0f);
    EXPECT_FLOAT_EQ(bank.Bands()[1].lower, 62.5f);
    EXPECT_FLOAT_EQ(bank.Bands()[1].upper, 187.5f);
    EXPECT_FLOAT_EQ(bank.Bands()[32].upper, 4000.0f);
    EXPECT_EQ(bank.InputTail().BufferCount(), 2);
    EXPECT_EQ(bank.InputTail().Capacity(), 32);
    ASSERT_NE(bank.Fft().Spec(), nullptr);
    EXPECT_EQ(bank.Fft().Spec()->order, 6);
    // After the final scaling, sum(analysis * synthesis) = hop.
    double product = 0.0;
    for (int i = 0; i < 64; ++i)
        product += double(bank.AnalysisWindow()[std::size_t(i)]) * bank.SynthesisWindow()[std::size_t(i)];
    EXPECT_NEAR(product, 32.0, 1e-3);

    // Kaiser-Bessel-derived: w[n]^2 + w[n + L/2]^2 = 1 before the scaling.
    bank.Design(32, 16, 4.0);
    const double scale = 16.0 / 16.0;  // hop / (L / 2)
    for (int n = 0; n < 16; ++n) {
        const double a = bank.SynthesisWindow()[std::size_t(n)] / scale;
        const double b = bank.SynthesisWindow()[std::size_t(n) + 16] / scale;
        EXPECT_NEAR(a * a + b * b, 1.0, 1e-5) << n;
    }
    // Periodic Hann for the other negative parameters.
    bank.Design(16, 16, -2.0);
    const double ratio = bank.SynthesisWindow()[3] / bank.SynthesisWindow()[0];
    EXPECT_NEAR(ratio, (0.5 - 0.5 * std::cos(2 * M_PI * 3.5 / 16)) / (0.5 - 0.5 * std::cos(2 * M_PI * 0.5 / 16)), 1e-5);

    EXPECT_THROW(bank.Design(0, 1, 0.0), std::length_error);
}

TEST(Transience, CriticalBandLayout) {
    DSP::Transience transience;
    transience.Configure(2, 44100.0f, 128, 4096);
    ASSERT_EQ(transience.BandCount(), 25);
    EXPECT_EQ(transience.BinCount(), 2049);
    EXPECT_FLOAT_EQ(transience.Centres()[0], 50.0f);
    EXPECT_FLOAT_EQ(transience.Centres()[5], float(std::sqrt(510.0 * 630.0)));
    EXPECT_FLOAT_EQ(transience.Centres()[4], 455.0f);
    // Bin of 100 Hz: trunc(100 * 4096 / 44100 + 0.5) = 9.
    EXPECT_EQ(transience.BandBins()[0].begin, 0);
    EXPECT_EQ(transience.BandBins()[0].end, 9);
    EXPECT_EQ(transience.BandBins()[1].begin, 9);
    EXPECT_EQ(transience.BandBins()[24].end, 2048);
    EXPECT_EQ(transience.BinEdges()[25], 2049);
    EXPECT_NEAR(transience.Smoothing(), 1.0 - std::exp(-1.0 / (0.015 * 44100.0 / 2048.0)), 1e-6);

    // At 22050 Hz the two top bands hold no bins.
    DSP::Transience low;
    low.Configure(1, 22050.0f, 128, 4096);
    EXPECT_LE(low.BandBins()[23].end, low.BandBins()[23].begin);
    EXPECT_LE(low.BandBins()[24].end, low.BandBins()[24].begin);
    EXPECT_GT(low.BandBins()[22].end, low.BandBins()[22].begin);

    // A tiny FFT makes neighbouring low bands collapse onto one bin.
    DSP::Transience small;
    small.Configure(1, 44100.0f, 128, 32);
    EXPECT_EQ(small.BandBins()[1].begin, small.BandBins()[1].end);
}

TEST(Transience, KernelsInterpolateOverTheCentres) {
    DSP::Transience transience;
    transience.Configure(1, 44100.0f, 128, 4096);
    transience.BuildBinKernels(4096);
    const auto& kernels = transience.Kernels();
    ASSERT_EQ(kernels.size(), 2049u);
    // Every kernel sums to one (Lagrange and linear weights reproduce constants).
    for (std::size_t b = 0; b < kernels.size(); ++b) {
        float sum = 0;
        for (float w : kernels[b].weights) sum += w;
        ASSERT_NEAR(sum, 1.0f, 1e-4f) << b;
        ASSERT_GE(kernels[b].first, 0);
        ASSERT_LT(kernels[b].first, 25);
    }
    // Bin 0 (0 Hz, below c0 = 50 Hz): everything on band 0.
    EXPECT_EQ(kernels[0].first, 0);
    EXPECT_FLOAT_EQ(kernels[0].weights[0], 1.0f);
    // The top bins blend bands 23 and 24 linearly.
    EXPECT_EQ(kernels[2048].first, 23);

    // Band values that are a cubic in the centre frequency come out as that cubic on the
    // inner bins, where four centres surround the bin (c1 <= f < c23).
    const auto cubic = [](double hz) {
        const double k = hz / 1000.0;
        return 1.0 + 0.5 * k - 0.2 * k * k + 0.01 * k * k * k;
    };
    std::vector<float> bands(25);
    for (int j = 0; j < 25; ++j) bands[std::size_t(j)] = float(cubic(transience.Centres()[std::size_t(j)]));
    std::vector<float> bins(2049);
    transience.BandsToBins(bands.data(), bins.data());
    int inner = 0;
    for (std::size_t b = 0; b < bins.size(); ++b) {
        const double f = double(b) * 44100.0 / 4096.0;
        if (f < transience.Centres()[1] || f >= transience.Centres()[23]) continue;
        ++inner;
        ASSERT_NEAR(bins[b], cubic(f), 1e-3 * std::max(1.0, std::abs(cubic(f)))) << "bin " << b;
    }
    EXPECT_GT(inner, 1000);
    // A single band's weight peaks at that band's centre bin.
    std::vector<float> one(25, 0.0f);
    one[10] = 1.0f;
    transience.BandsToBins(one.data(), bins.data());
    const int centreBin = int(std::lround(transience.Centres()[10] * 4096.0 / 44100.0));
    EXPECT_NEAR(bins[std::size_t(centreBin)], 1.0f, 0.05f);
}

}  // namespace
