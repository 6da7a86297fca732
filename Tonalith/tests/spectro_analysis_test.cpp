#include <Tonalith/Analysis/Spectrogram/SpectrogramAnalysis.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramByteTable.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramWindows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <numeric>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

// numpy's window definitions, n = 0 .. M - 1.
double NumpyWindow(int index, double n, double m) {
    const double x = 2 * pi * n / (m - 1);
    switch (index) {
    case 0: return 0.54 - 0.46 * std::cos(x);
    case 1: return 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x);
    case 2: return 2 / (m - 1) * ((m - 1) / 2 - std::fabs(n - (m - 1) / 2));
    case 3:
    case 4:
    case 5: {
        const double beta = index == 3 ? 10 : index == 4 ? 15 : 20;
        const double t = 2 * n / (m - 1) - 1;
        return std::cyl_bessel_i(0.0, beta * std::sqrt(1 - t * t)) / std::cyl_bessel_i(0.0, beta);
    }
    default: return 0.5 - 0.5 * std::cos(x);
    }
}

const UI::SpectrogramComputeProgress keepGoing = [](float) { return true; };

// Interleaved float samples, read per channel as the calculator reads a memory source.
struct Signal {
    std::uint32_t channels = 1;
    std::vector<float> samples;
    int reads = 0;
    std::uint64_t Length() const { return samples.size() / channels; }
    UI::SpectrogramFrameReader Reader() {
        return [this](std::uint64_t first, std::uint32_t count, float** dst) {
            ++reads;
            if (first + count > Length()) return false;
            for (std::uint64_t i = 0; i < count; ++i)
                for (std::uint32_t c = 0; c < channels; ++c) dst[c][i] = samples[(first + i) * channels + c];
            return true;
        };
    }
};

// A stereo signal of `frames` frames, sample(i, c, noise) per frame i and channel c, with
// noise uniform in [-0.5, 0.5) from a fixed generator seeded by `seed`.
template <class Sample>
Signal StereoWithNoise(int frames, std::uint32_t seed, Sample sample) {
    Signal signal;
    signal.channels = 2;
    std::uint32_t state = seed;
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            state = state * 1664525u + 1013904223u;
            signal.samples.push_back(float(sample(i, c, double(state >> 8) / double(1u << 24) - 0.5)));
        }
    }
    return signal;
}

struct Analysed {
    UI::SpectrogramLayout layout;
    UI::SpectrogramWindows windows;
    std::unique_ptr<UI::SpectrogramFft> fft;
    UI::SpectrogramAnalysisInput input;
    UI::SpectrogramSpectra spectra;
    std::int32_t last = -1;

    int Run(Signal& signal) { return UI::SpectrogramAnalysis().Run(input, signal.Reader(), keepGoing, spectra, last); }

    Analysed(std::uint32_t type, int sizeOrder, int extraOrder, int overlap, std::uint32_t window, float range,
        const Signal& signal, float rate = 44100.0f)
        : layout(UI::SpectrogramLayout::Make(type, sizeOrder, extraOrder, overlap)),
          windows(UI::BuildSpectrogramWindows(UI::SpectrogramOptions::kWindows[window], layout)),
          fft(std::make_unique<UI::SpectrogramFft>(std::uint32_t(layout.fftOrder))) {
        input.layout = layout;
        input.channels = signal.channels;
        input.length = signal.Length();
        input.sampleRate = rate;
        input.windows = &windows;
        input.fft = fft.get();
        input.levels = UI::SpectrogramLevels(-range, 0.0f);
    }
};

std::uint8_t ExpectedByte(double power, double frameLength, double range) {
    const double db = 10 * std::log10(power) + 20 * std::log10(2 / frameLength);
    const double v = 255 / range * (db + range);
    return v <= 0 ? 0 : v >= 255 ? 255 : std::uint8_t(std::nearbyint(v));
}

TEST(SpectrogramLevels, BatchesMatchTheLongDoubleLogarithm) {
    // Powers over the whole range a column can hold, the guard's edges and what is no number.
    std::vector<float> powers = {0.0f, 1e-36f, 0.99e-36f, 1.01e-36f, 1.0f, 2.0f, 0.5f, 1e30f, 3e38f,
        std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(), 1e-45f};
    std::uint64_t state = 3;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        powers.push_back(float(std::pow(10.0, double(state >> 11) / double(1ull << 53) * 80.0 - 40.0)));
    }
    // And a float in every 4099 from 1e-36 up, for the quick single-precision road.
    for (std::uint32_t bits = 0x03AA2425u; bits < 0x7F800000u; bits += 4099) {
        float power;
        std::memcpy(&power, &bits, sizeof power);
        powers.push_back(power);
    }
    for (float range : {60.0f, 120.0f, 300.0f}) {
        const UI::SpectrogramLevels levels(-range, 0.0f);
        const float offset = levels.ScaledOffset(512);
        std::vector<float> values(powers.size()), quick(powers.size());
        levels.Values(powers.data(), std::int64_t(powers.size()), offset, values.data());
        levels.FastValues(powers.data(), std::int64_t(powers.size()), offset, quick.data());
        for (std::size_t i = 0; i < powers.size(); ++i) {
            const float f = powers[i];
            const long double ln = f > -1e-36f && f < 1e-36f ? -1e35L : std::log((long double)f);
            const float exact = float(ln * levels.Factor() + (long double)offset);
            if (std::isnan(exact) || std::isinf(exact))
                EXPECT_EQ(std::isnan(values[i]), std::isnan(exact)) << f;
            else
                ASSERT_LE(std::fabs(values[i] - exact), std::fabs(exact) * 2e-7f) << f;
            // The quick road: no number outside the logarithm's easy range, within its
            // tolerance of the double road inside it.
            ASSERT_EQ(std::isnan(quick[i]), !(f >= 1e-36f && f <= std::numeric_limits<float>::max())) << f;
            if (!std::isnan(quick[i])) {
                ASSERT_LE(std::fabs(double(quick[i]) - double(levels.Value(f, offset))),
                    UI::SpectrogramLevels::kFastTolerance *
                        (std::fabs(quick[i]) + std::fabs(offset) + std::fabs(levels.Factor())))
                    << f;
            }
        }
    }
}

double Ulp(double x, int steps) {
    for (; steps > 0; --steps) x = std::nextafter(x, std::numeric_limits<double>::infinity());
    for (; steps < 0; ++steps) x = std::nextafter(x, -std::numeric_limits<double>::infinity());
    return x;
}

TEST(SpectrogramByteTable, EqualsTheScalarRoadEverywhere) {
    // The tool bar's ranges and a few beyond, the offsets of short and long frames.
    const float ranges[] = {60.0f, 120.0f, 300.0f, 0.5f, 7.25f, 5000.0f};
    const std::int64_t lengths[] = {32, 512, 65536 * 16};
    std::vector<double> sweep = {0.0, -0.0, 1e-36, Ulp(1e-36, -1), -1.0, 5e-324, 1e-300, 1.0, 1e300,
        std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
    std::uint64_t state = 11;
    for (int i = 0; i < 200000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        sweep.push_back(std::pow(10.0, double(state >> 11) / double(1ull << 53) * 90.0 - 50.0));
    }
    for (float range : ranges) {
        const UI::SpectrogramLevels levels(-range, 0.0f);
        for (std::int64_t length : lengths) {
            for (float offset : {levels.RawOffset(length), levels.ScaledOffset(length)}) {
                const UI::SpectrogramByteTable table(levels, offset);
                const auto reference = [&](double p) { return UI::SpectrogramLevels::ToByte(levels.Value(p, offset)); };
                EXPECT_TRUE(table.HasTable()) << range;
                std::vector<double> powers = sweep;
                for (int b = 1; b < 256; ++b) {
                    const double t = table.Threshold(b);
                    if (t == 0.0 || std::isinf(t)) continue;
                    // The step really lies there: the byte below it is smaller, at it at least b.
                    ASSERT_LT(reference(Ulp(t, -1)), b) << range << " " << b;
                    ASSERT_GE(reference(t), b) << range << " " << b;
                    for (int d = -2; d <= 2; ++d) powers.push_back(Ulp(t, d));
                }
                std::vector<double> complex;
                for (double p : powers) {
                    ASSERT_EQ(table.Byte(p), reference(p)) << p << " range " << range << " length " << length;
                    if (p >= 0.0 && std::isfinite(p)) {
                        complex.push_back(std::sqrt(p));
                        complex.push_back(0.0);
                    }
                }
                // Through the complex road too: re^2 + im^2 as the analysis forms it, with
                // powers that overflow or are no number.
                const double inf = std::numeric_limits<double>::infinity();
                for (double re : {inf, std::numeric_limits<double>::quiet_NaN(), 1e200, 0.0}) {
                    complex.push_back(re);
                    complex.push_back(1e200);
                }
                std::vector<std::uint8_t> bytes(complex.size() / 2);
                table.FromComplex(complex.data(), std::int64_t(bytes.size()), bytes.data());
                for (std::size_t i = 0; i < bytes.size(); ++i) {
                    const double re = complex[2 * i], im = complex[2 * i + 1];
                    ASSERT_EQ(bytes[i], reference(re * re + im * im)) << re << " " << im;
                }
            }
        }
    }
}

TEST(SpectrogramWindows, MatchNumpyAndHaveUnitMeanSquare) {
    for (std::uint32_t index = 0; index < 7; ++index) {
        const auto windows = UI::BuildSpectrogramWindows(
            UI::SpectrogramOptions::kWindows[index], UI::SpectrogramLayout::Make(UI::SpectrogramStft, 5, 0, 1));
        for (int r = 0; r < 4; ++r) {
            const auto& w = windows[std::size_t(r)];
            ASSERT_EQ(w.size(), std::size_t(32) << (3 - r));
            const double m = double(w.size());
            double sumSquares = 0;
            for (std::size_t n = 0; n < w.size(); ++n)
                sumSquares += NumpyWindow(int(index), double(n), m) * NumpyWindow(int(index), double(n), m);
            const double scale = std::sqrt(m / sumSquares);
            double meanSquare = 0;
            for (std::size_t n = 0; n < w.size(); ++n) {
                // The vector layer works through floats: 32-bit precision.
                ASSERT_NEAR(w[n], NumpyWindow(int(index), double(n), m) * scale, 2e-6 * scale)
                    << "window " << index << " length " << m << " n " << n;
                meanSquare += w[n] * w[n];
            }
            EXPECT_NEAR(meanSquare / m, 1.0, 1e-12);
        }
    }
}

TEST(SpectrogramAnalysis, SineOnABinGivesThePredictedByte) {
    // FFT 512, Hann, 120 dB, a full-scale sine exactly on bin 32 of 44.1 kHz.
    Signal signal;
    signal.samples.resize(8192);
    for (std::size_t i = 0; i < signal.samples.size(); ++i)
        signal.samples[i] = float(std::sin(2 * pi * 32.0 * double(i) / 512.0));
    Analysed setup(UI::SpectrogramStft, 9, 0, 2, 6, 120.0f, signal);
    ASSERT_EQ(setup.Run(signal), 0);
    const auto& spectra = setup.spectra;
    ASSERT_EQ(spectra.size(), 1u);
    const std::uint64_t columns = (8192 + 255) / 256;
    ASSERT_EQ(spectra[0].size(), columns * 257);
    EXPECT_EQ(setup.last, std::int32_t(columns - 1));

    // Hann normalised to unit mean square has mean sqrt(2/3): |X32| = 512 / 2 * sqrt(2/3).
    const double amplitude = 256.0 * std::sqrt(2.0 / 3.0);
    const std::uint8_t predicted = ExpectedByte(amplitude * amplitude, 512, 120);
    EXPECT_EQ(predicted, 251);  // 255/120 * (120 - 1.76 dB)
    const std::uint8_t* column = spectra[0].data() + 10 * 257;
    EXPECT_EQ(column[32], predicted);

    // Every bin of that column against a plain DFT of the windowed frame.
    const std::size_t start = 10 * 256 - 256;
    double meanSquare = 0;
    std::vector<double> w(512);
    for (int n = 0; n < 512; ++n) {
        w[std::size_t(n)] = NumpyWindow(6, n, 512);
        meanSquare += w[std::size_t(n)] * w[std::size_t(n)] / 512;
    }
    for (int b = 0; b <= 256; ++b) {
        std::complex<double> x = 0;
        for (int n = 0; n < 512; ++n)
            x += double(signal.samples[start + std::size_t(n)]) * w[std::size_t(n)] / std::sqrt(meanSquare) *
                std::polar(1.0, -2 * pi * b * n / 512.0);
        const int expected = ExpectedByte(std::norm(x), 512, 120);
        EXPECT_NEAR(int(column[b]), expected, 1) << "bin " << b;
    }
}

TEST(SpectrogramAnalysis, StftColumnsOfBothChannelsMatchAPlainDft) {
    // Stereo with a different tone and noise level per channel; 32-point frames, 2x padding
    // and 50% overlap give 625 columns, so runs of columns meet and the edges hold zeros.
    Signal signal = StereoWithNoise(10000, 1, [](int i, int c, double noise) {
        return 0.5 * std::sin(2 * pi * (3 + 5 * c) * i / 64.0) + noise * (c == 0 ? 1e-3 : 0.3);
    });
    for (float range : {60.0f, 300.0f}) {
        Analysed setup(UI::SpectrogramStft, 5, 1, 2, 6, range, signal);
        ASSERT_EQ(setup.Run(signal), 0);
        const std::int64_t n = 32, m = 64, bins = 33, hop = 16;
        ASSERT_EQ(setup.spectra[1].size(), std::size_t(625 * bins));
        const std::vector<double>& window = setup.windows[3];
        for (std::int64_t k : {0, 1, 255, 256, 257, 400, 624}) {
            for (std::uint32_t c = 0; c < 2; ++c) {
                for (std::int64_t b = 0; b < bins; ++b) {
                    std::complex<long double> x = 0;
                    for (std::int64_t i = 0; i < n; ++i) {
                        const std::int64_t at = k * hop - n / 2 + i;
                        if (at < 0 || at >= 10000) continue;
                        const long double v =
                            signal.samples[std::size_t(at * 2 + c)] * (long double)window[std::size_t(i)];
                        x += v * std::polar(1.0L, -2 * 3.14159265358979323846L * b * i / m);
                    }
                    const long double level = 10 * std::log10(std::norm(x)) + 20 * std::log10(2.0L / n);
                    const long double value = 255 / (long double)range * (level + range);
                    const long double rounded = std::nearbyint(value);
                    const int expected = value <= 0 ? 0 : value >= 255 ? 255 : int(rounded);
                    const int got = setup.spectra[c][std::size_t(k * bins + b)];
                    // Only a value within rounding of a half may round either way.
                    if (std::fabs(std::fabs(value - rounded) - 0.5L) < 1e-4L)
                        EXPECT_NEAR(got, expected, 1) << range << " column " << k << " channel " << c << " bin " << b;
                    else
                        EXPECT_EQ(got, expected) << range << " column " << k << " channel " << c << " bin " << b;
                }
            }
        }
    }
}

TEST(SpectrogramAnalysis, SilenceGivesZeroForEveryType) {
    Signal signal;
    signal.channels = 2;
    signal.samples.assign(2 * 3000, 0.0f);
    for (std::uint32_t type = 0; type < 3; ++type) {
        Analysed setup(type, 6, 1, 4, 3, 120.0f, signal);
        UI::SpectrogramAnalysis analysis;
        ASSERT_EQ(analysis.Run(setup.input, signal.Reader(), keepGoing, setup.spectra, setup.last), 0) << type;
        ASSERT_EQ(setup.spectra.size(), 2u);
        for (const auto& spectrum : setup.spectra) {
            ASSERT_EQ(spectrum.size(), setup.layout.Columns(3000) * std::uint64_t(setup.layout.bins));
            for (std::uint8_t byte : spectrum) ASSERT_EQ(byte, 0) << "type " << type;
        }
        if (type == UI::SpectrogramMdlStft) {
            // All measures 0: equal weights everywhere.
            for (int band = 0; band < 23; ++band) {
                for (float weight : analysis.Mdl().BandWeights(band)) EXPECT_FLOAT_EQ(weight, 0.25f) << band;
            }
        }
    }
}

TEST(SpectrogramAnalysis, ShortSourceGivesOneColumnFromTheFrameMiddle) {
    Signal signal;
    signal.samples = {1.0f, 0.5f, 0.25f};
    Analysed setup(UI::SpectrogramStft, 5, 0, 2, 6, 120.0f, signal);
    ASSERT_EQ(setup.Run(signal), 0);
    const auto& spectra = setup.spectra;
    ASSERT_EQ(spectra[0].size(), 17u);
    // Bin 0 = sum of samples 16..18 of the frame times the window there.
    const auto& w = setup.windows[3];
    const double dc = 1.0 * w[16] + 0.5 * w[17] + 0.25 * w[18];
    EXPECT_EQ(spectra[0][0], ExpectedByte(dc * dc, 32, 120));

    // "MDL STFT" analyses 2f further frames past the end and still yields one column.
    Analysed mdl(UI::SpectrogramMdlStft, 5, 0, 1, 6, 120.0f, signal);
    ASSERT_EQ(mdl.Run(signal), 0);
    EXPECT_EQ(mdl.spectra[0].size(), std::size_t(mdl.layout.bins));
    EXPECT_EQ(mdl.last, 0);
}

// A source shorter than the frames a step keeps, against the same source with silence
// after it: the columns they share hold the same bytes, for the frames past the end read
// as silence in both; the short one keeps only the frames it has, the long one its full
// rings and histories.
struct ShortSource {
    std::uint32_t type;
    int sizeOrder, extraOrder, overlap;
    std::uint32_t channels;
    std::uint64_t frames;
};

class SpectrogramShortSource : public testing::TestWithParam<ShortSource> {};

TEST_P(SpectrogramShortSource, MatchesTheSameSourceFollowedBySilence) {
    const ShortSource c = GetParam();
    const std::uint64_t n = std::uint64_t(1) << c.sizeOrder;
    Signal shortSignal = StereoWithNoise(int(c.frames), 9, [](int i, int ch, double noise) {
        return 0.3 * std::sin(0.05 * i * (ch + 1)) + noise * (i % 40 == 0 ? 1.0 : 0.01);
    });
    if (c.channels == 1) {
        for (std::uint64_t i = 0; i < c.frames; ++i) shortSignal.samples[i] = shortSignal.samples[2 * i];
        shortSignal.samples.resize(c.frames);
        shortSignal.channels = 1;
    }
    Signal longSignal = shortSignal;
    longSignal.samples.resize(longSignal.samples.size() + 300 * n * c.channels, 0.0f);
    Analysed shortRun(c.type, c.sizeOrder, c.extraOrder, c.overlap, 6, 120.0f, shortSignal);
    Analysed longRun(c.type, c.sizeOrder, c.extraOrder, c.overlap, 6, 120.0f, longSignal);
    ASSERT_EQ(shortRun.Run(shortSignal), 0);
    ASSERT_EQ(longRun.Run(longSignal), 0);
    const std::uint64_t bytes = shortRun.layout.Columns(c.frames) * std::uint64_t(shortRun.layout.bins);
    for (std::uint32_t ch = 0; ch < c.channels; ++ch) {
        ASSERT_EQ(shortRun.spectra[ch].size(), bytes);
        EXPECT_TRUE(std::equal(shortRun.spectra[ch].begin(), shortRun.spectra[ch].end(), longRun.spectra[ch].begin()))
            << "channel " << ch;
    }
    EXPECT_LT(UI::SpectrogramAnalysis::RequiredBytes(shortRun.layout, c.channels, c.frames, 4),
        UI::SpectrogramAnalysis::RequiredBytes(longRun.layout, c.channels, longSignal.Length(), 4));
}

INSTANTIATE_TEST_SUITE_P(SpectrogramAnalysis, SpectrogramShortSource,
    testing::Values(ShortSource{UI::SpectrogramMdlStft, 6, 0, 8, 1, 1},
        ShortSource{UI::SpectrogramMdlStft, 6, 1, 2, 2, 100}, ShortSource{UI::SpectrogramMdlStft, 5, 0, 4, 2, 300},
        ShortSource{UI::SpectrogramMdlStft, 8, 2, 1, 1, 1}, ShortSource{UI::SpectrogramMdlStft, 7, 0, 8, 2, 3000},
        ShortSource{UI::SpectrogramStft, 6, 0, 2, 2, 1}, ShortSource{UI::SpectrogramMultiresStft, 6, 1, 4, 1, 50}));

TEST(SpectrogramAnalysis, NoOverlapRefillsTheWholeFrame) {
    // hop = N: each column sees exactly its own frames, so a ramp gives distinct columns.
    Signal signal;
    signal.samples.resize(32 * 6);
    for (std::size_t i = 0; i < signal.samples.size(); ++i) signal.samples[i] = float(i / 32) * 0.1f;
    Analysed setup(UI::SpectrogramStft, 5, 0, 1, 6, 120.0f, signal);
    ASSERT_EQ(setup.Run(signal), 0);
    const auto& spectra = setup.spectra;
    ASSERT_EQ(spectra[0].size(), 6u * 17u);
    // Column 2 covers frames 48..79: half at 0.1, half at 0.2.
    const auto& w = setup.windows[3];
    double dc = 0;
    for (int n = 0; n < 32; ++n) dc += (n < 16 ? 0.1f : 0.2f) * w[std::size_t(n)];
    EXPECT_NEAR(int(spectra[0][2 * 17]), int(ExpectedByte(dc * dc, 32, 120)), 1);
}

// The unscaled byte value of a power row, as the analysis forms it.
float Value(const UI::SpectrogramLevels& levels, double power, double length) {
    return levels.Value(power, levels.ScaledOffset(std::int64_t(length)));
}

TEST(SpectrogramAnalysis, MultiresolutionStitchesAtTheBandEdges) {
    // A click on the centre of column 8: every resolution's spectrum is flat, at
    // w_r(centre)^2 * 2 / L_r, so each band shows its own constant and the fade zones blend.
    Signal signal;
    signal.samples.assign(32768, 0.0f);
    const std::int64_t hop = 256;
    signal.samples[std::size_t(8 * hop)] = 1.0f;
    Analysed setup(UI::SpectrogramMultiresStft, 9, 0, 2, 6, 120.0f, signal);
    ASSERT_EQ(setup.Run(signal), 0);
    const auto& spectra = setup.spectra;
    const std::int64_t bins = setup.layout.bins;
    const std::int64_t m = setup.layout.fftLength;
    ASSERT_EQ(m, 4096);
    const std::uint8_t* column = spectra[0].data() + 8 * bins;

    float v[4];
    for (int r = 0; r < 4; ++r) {
        const double length = double(setup.layout.WindowLength(r));
        const double centre = setup.windows[std::size_t(r)][std::size_t(length / 2)];
        v[r] = Value(setup.input.levels, float(centre * centre) * float(2.0 / length), length);
    }
    const auto bin = [&](double f) { return std::min<std::int64_t>(std::llround(f * double(m) / 44100.0), bins - 1); };
    ASSERT_EQ(bin(400), 37);
    ASSERT_EQ(bin(800), 74);
    const std::int64_t edges[4][3] = {{0, bin(400), bin(800)}, {bin(800), bin(1600), bin(3200)},
        {bin(3200), bin(6400), bin(12800)}, {bin(12800), bins - 1, bins - 1}};
    for (int r = 0; r < 4; ++r) {
        for (std::int64_t b = edges[r][0]; b <= edges[r][1]; ++b)
            ASSERT_NEAR(int(column[b]), int(UI::SpectrogramLevels::ToByte(v[r])), 1) << "r " << r << " bin " << b;
        if (r == 3) break;
        const std::int64_t hi = edges[r][1], fe = edges[r][2];
        for (std::int64_t b = hi + 1; b < fe; ++b) {
            const float blend = (v[r] * float(fe - b) + v[r + 1] * float(b - hi)) / float(fe - hi);
            ASSERT_NEAR(int(column[b]), int(UI::SpectrogramLevels::ToByte(blend)), 1) << "fade " << r << " bin " << b;
        }
    }
    // The four constants differ (3 dB apart), so the bands are really distinct.
    EXPECT_GT(std::fabs(v[0] - v[3]), 10.0f);
    EXPECT_NE(column[10], column[2000]);
}

TEST(SpectrogramAnalysis, MultiresolutionAtALowRateCapsTheTopBands) {
    // Nyquist 8000 Hz: the edges at 12800 Hz cap at the last bin, which alone is resolution 3's.
    Signal signal;
    signal.samples.assign(8000, 0.0f);
    signal.samples[2048] = 1.0f;
    Analysed setup(UI::SpectrogramMultiresStft, 7, 0, 1, 6, 120.0f, signal, 16000.0f);
    ASSERT_EQ(setup.Run(signal), 0);
    const auto& spectra = setup.spectra;
    const std::int64_t bins = setup.layout.bins;
    const std::uint8_t* column = spectra[0].data() + 16 * bins;
    const double length = 128;
    const double centre = setup.windows[3][64];
    const float v3 = Value(setup.input.levels, float(centre * centre) * float(2.0 / length), length);
    EXPECT_NEAR(int(column[bins - 1]), int(UI::SpectrogramLevels::ToByte(v3)), 1);
    const double length2 = 256;
    const double centre2 = setup.windows[2][128];
    const float v2 = Value(setup.input.levels, float(centre2 * centre2) * float(2.0 / length2), length2);
    // 3200..6400 Hz (bins 205..410) is resolution 2 alone; above it fades towards the last bin.
    EXPECT_NEAR(int(column[400]), int(UI::SpectrogramLevels::ToByte(v2)), 1);
    const float blend = (v2 * 1.0f + v3 * 101.0f) / 102.0f;
    EXPECT_NEAR(int(column[511]), int(UI::SpectrogramLevels::ToByte(blend)), 1);
}

// Per-band weights of the frame that column `column` is written from.
std::array<float, 4> MdlWeightsAt(Signal& signal, std::uint64_t column, int band) {
    Analysed setup(UI::SpectrogramMdlStft, 8, 0, 2, 6, 120.0f, signal);
    UI::SpectrogramAnalysis analysis;
    analysis.Mdl().Watch(column + 4);  // column c is written from frame c + 2f
    EXPECT_EQ(analysis.Run(setup.input, signal.Reader(), keepGoing, setup.spectra, setup.last), 0);
    return analysis.Mdl().BandWeights(band);
}

int Winner(const std::array<float, 4>& weights) {
    return int(std::max_element(weights.begin(), weights.end()) - weights.begin());
}

TEST(SpectrogramAnalysis, MdlBandWeightsFollowTheirDefinition) {
    // Two channels of noise with a tone, so that bands are neither flat nor silent.
    Signal signal = StereoWithNoise(30000, 7,
        [](int i, int c, double noise) { return 0.3 * noise * (1 + c) + 0.2 * std::sin(0.07 * i * (c + 1)); });
    // Frames before the first carry silence; the later ones come after one run or more.
    for (std::uint64_t frame : {3u, 9u, 70u, 150u}) {
        Analysed setup(UI::SpectrogramMdlStft, 8, 0, 2, 6, 120.0f, signal);
        UI::SpectrogramAnalysis analysis;
        analysis.Mdl().Watch(frame);
        ASSERT_EQ(analysis.Run(setup.input, signal.Reader(), keepGoing, setup.spectra, setup.last), 0);

        // The power rows of channel 1 for the R frames up to the watched one, straight
        // from the samples.
        const UI::SpectrogramLayout& layout = setup.layout;
        const std::int64_t span = layout.frameLength, ring = 4 * layout.overlap + 1;
        UI::SpectrogramColumns columns(setup.input, 0);
        std::vector<std::vector<float>> rows(std::size_t(ring) * 4, std::vector<float>(std::size_t(layout.bins)));
        for (std::int64_t back = 0; back < ring; ++back) {
            const std::int64_t u = std::int64_t(frame) - back;
            if (u < 0) continue;  // silence: zeros
            std::vector<float> samples(std::size_t(span), 0.0f);
            for (std::int64_t i = 0; i < span; ++i) {
                const std::int64_t at = u * layout.hop - span / 2 + i;
                if (at >= 0 && at < std::int64_t(signal.Length()))
                    samples[std::size_t(i)] = signal.samples[std::size_t(at) * 2 + 1];
            }
            float* out[4];
            for (int r = 0; r < 4; ++r) out[r] = rows[std::size_t(back * 4 + r)].data();
            ASSERT_TRUE(columns.PowerRows(samples.data(), out));
        }
        const auto& bands = analysis.Transience().BandBins();
        for (std::size_t j = 0; j < bands.size() && j < 32; ++j) {
            const auto weights = analysis.Mdl().BandWeights(std::int32_t(j));
            if (bands[j].end <= bands[j].begin) {
                for (float w : weights) EXPECT_EQ(w, 0.0f) << j;
                continue;
            }
            long double w[4], sum = 0;
            for (int r = 0; r < 4; ++r) {
                std::vector<float> values;
                for (std::int64_t back = 0; back < ring; ++back)
                    for (std::int32_t b = bands[j].begin; b < bands[j].end; ++b)
                        values.push_back(rows[std::size_t(back * 4 + r)][std::size_t(b)]);
                std::sort(values.begin(), values.end(), std::greater<float>());
                long double weighted = 0, total = 0;
                for (std::size_t i = 0; i < values.size(); ++i) {
                    weighted += (long double)i * values[i];
                    total += values[i];
                }
                const long double m =
                    weighted / (std::sqrt(total) + 1e-12L) * (1 + 0.0125L * (2 - r) * (std::int64_t(j) - 12));
                w[r] = 1 / (std::pow(m, 8) + 1e-9L);
                sum += w[r];
            }
            for (int r = 0; r < 4; ++r)
                EXPECT_NEAR(weights[std::size_t(r)], double(w[r] / sum), 1e-6 + 1e-4 * double(w[r] / sum))
                    << "frame " << frame << " band " << j << " length " << r;
        }
        // The column this frame completes, from its centre frame 2f = 4 back: every byte
        // from the band weights through the bin kernels and the levels in double precision.
        if (frame < 4) continue;
        std::vector<std::array<float, 4>> bandWeights(bands.size() + 4);
        for (std::size_t j = 0; j < bands.size(); ++j) bandWeights[j] = analysis.Mdl().BandWeights(std::int32_t(j));
        const std::uint8_t* column = setup.spectra[1].data() + (frame - 4) * std::uint64_t(layout.bins);
        const auto& kernels = analysis.Transience().Kernels();
        for (std::size_t b = 0; b < std::size_t(layout.bins); ++b) {
            const auto& kernel = kernels[b];
            const auto* at = bandWeights.data() + kernel.first;
            float sum = 0.0f;
            for (int r = 0; r < 4; ++r) {
                const float weight = kernel.weights[0] * at[0][r] + kernel.weights[1] * at[1][r] +
                    kernel.weights[2] * at[2][r] + kernel.weights[3] * at[3][r];
                sum += weight *
                    setup.input.levels.Value(
                        rows[std::size_t(4 * 4 + r)][b], setup.input.levels.ScaledOffset(layout.WindowLength(r)));
            }
            ASSERT_EQ(int(column[b]), int(UI::SpectrogramLevels::ToByte(sum))) << "frame " << frame << " bin " << b;
        }
    }
}

TEST(SpectrogramAnalysis, MdlChoosesLongFramesForATonesAndShortOnesForAClick) {
    Signal tone;
    tone.samples.resize(44100);
    for (std::size_t i = 0; i < tone.samples.size(); ++i)
        tone.samples[i] = float(0.5 * std::sin(2 * pi * 5000.0 * double(i) / 44100.0));
    Signal click;
    click.samples.assign(44100, 0.0f);
    click.samples[100 * 128] = 1.0f;

    // Band 18 (4400..5300 Hz) holds the tone.
    const auto toneWeights = MdlWeightsAt(tone, 100, 18);
    const auto clickWeights = MdlWeightsAt(click, 100, 18);
    EXPECT_NEAR(std::accumulate(toneWeights.begin(), toneWeights.end(), 0.0f), 1.0f, 1e-5f);
    EXPECT_NEAR(std::accumulate(clickWeights.begin(), clickWeights.end(), 0.0f), 1.0f, 1e-5f);
    EXPECT_EQ(Winner(toneWeights), 0);
    EXPECT_EQ(Winner(clickWeights), 3);
}

TEST(SpectrogramAnalysis, CancelFailureAndLimits) {
    Signal signal;
    signal.samples.assign(10000, 0.25f);
    for (std::uint32_t type = 0; type < 3; ++type) {
        Analysed setup(type, 6, 0, 2, 0, 120.0f, signal);
        UI::SpectrogramSpectra spectra(1, UI::SpectrogramSpectrum(5, 7));
        std::int32_t last = -1;
        int calls = 0;
        const UI::SpectrogramComputeProgress cancelAtTwo = [&](float) { return ++calls < 2; };
        EXPECT_EQ(UI::SpectrogramAnalysis().Run(setup.input, signal.Reader(), cancelAtTwo, spectra, last), 1);
        EXPECT_TRUE(spectra.empty());
        EXPECT_EQ(calls, 2);
        // A cancel seen inside the first run of columns, before any further progress report.
        int asks = 0;
        setup.input.cancelled = [&] { return ++asks > 3; };
        EXPECT_EQ(UI::SpectrogramAnalysis().Run(setup.input, signal.Reader(), keepGoing, spectra, last), 1);
        EXPECT_TRUE(spectra.empty());
        setup.input.cancelled = nullptr;

        // A source that refuses a read in the middle fails the step.
        Signal shrunk = signal;
        Analysed lying(type, 6, 0, 2, 0, 120.0f, signal);
        shrunk.samples.resize(5000);
        EXPECT_EQ(UI::SpectrogramAnalysis().Run(lying.input, shrunk.Reader(), keepGoing, spectra, last), 2);
        EXPECT_TRUE(spectra.empty());

        // More memory than allowed fails before anything is allocated.
        setup.input.memoryBudget = 1000;
        EXPECT_EQ(UI::SpectrogramAnalysis().Run(setup.input, signal.Reader(), keepGoing, spectra, last), 2);
    }
    Signal empty;
    EXPECT_EQ(Analysed(UI::SpectrogramStft, 6, 0, 2, 0, 120.0f, empty).Run(empty), 2);

    // One hour of stereo at 65536 points, 16x padding and 87.5% overlap: sized in 64 bits.
    const auto huge = UI::SpectrogramLayout::Make(UI::SpectrogramMdlStft, 16, 4, 8);
    const std::uint64_t bytes = UI::SpectrogramAnalysis::RequiredBytes(huge, 2, 3600ull * 44100);
    EXPECT_GT(bytes, 100ull << 30);
}

}  // namespace
