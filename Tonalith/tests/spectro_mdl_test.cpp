// The "MDL STFT" band sort and history passes against a plain re-sort of the same values.
#include <Tonalith/Analysis/Spectrogram/SpectrogramBandSort.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramHistories.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace {

std::vector<float> Descending(std::vector<float> values) {
    std::sort(values.begin(), values.end(), std::greater<float>());
    return values;
}

bool SameBits(const std::vector<float>& a, const float* b) {
    return a.empty() || std::memcmp(a.data(), b, a.size() * 4) == 0;
}

// Powers of a kind: noise, few distinct values (ties), values that agree in their top bits
// but one far above them, a mix of zeros, tiny and infinite ones, values over 30 decades
// (whose sums round), and one of values that are no powers (NaN, negative, -0), which sort
// as +0.
std::vector<float> Powers(int kind, int n, std::mt19937& random) {
    std::exponential_distribution<float> noise(1.0f);
    std::vector<float> values(static_cast<std::size_t>(n), 0.0f);
    for (int i = 0; i < n; ++i) {
        const std::uint32_t pick = random();
        switch (kind) {
        case 0: values[std::size_t(i)] = noise(random) * 1e-3f; break;
        case 1: values[std::size_t(i)] = float(pick % 4) * 0.25f; break;
        case 2: {
            const std::uint32_t bits = 0x3F800000u + (pick & 0x3FFu);
            std::memcpy(&values[std::size_t(i)], &bits, 4);
            if (i == n / 2) values[std::size_t(i)] = 1e30f;
            break;
        }
        case 3: {
            const float kinds[] = {0.0f, 1e-45f, 1e-38f, std::numeric_limits<float>::infinity(), 3.0f};
            values[std::size_t(i)] = pick % 2 ? kinds[pick / 2 % 5] : noise(random);
            break;
        }
        case 4: values[std::size_t(i)] = std::pow(10.0f, -30.0f * float(pick % 1000) / 1000.0f); break;
        default: {
            const float kinds[] = {std::numeric_limits<float>::quiet_NaN(), -1.0f, -0.0f,
                -std::numeric_limits<float>::infinity(), -1e-45f};
            values[std::size_t(i)] = pick % 2 ? kinds[pick / 2 % 5] : noise(random);
        }
        }
    }
    return values;
}

TEST(SpectrogramMdl, SortBandMatchesAComparisonSort) {
    std::mt19937 random(11);
    std::vector<std::uint32_t> scratch;
    for (int n : {1, 2, 9, 59, 60, 61, 79, 80, 128, 233, 608, 1500}) {
        for (int kind = 0; kind < 6; ++kind) {
            std::vector<float> values = Powers(kind, n, random);
            std::vector<float> kept(values);
            for (float& v : kept) v = v > 0.0f ? v : 0.0f;
            const std::vector<float> expected = Descending(kept);
            std::vector<float> apart(values.size());  // as the analysis sorts, from a row to its sorted copy
            UI::SortBandDescending(values.data(), apart.data(), n, scratch);
            EXPECT_TRUE(SameBits(expected, apart.data())) << "apart, n " << n << " kind " << kind;
            // Each way on its own, wherever it may be chosen.
            UI::RadixSortDescending(values.data(), apart.data(), n, scratch);
            EXPECT_TRUE(SameBits(expected, apart.data())) << "radix, n " << n << " kind " << kind;
            if (n <= UI::kRankSortMost) {
                UI::RankSortDescending(values.data(), apart.data(), n);
                EXPECT_TRUE(SameBits(expected, apart.data())) << "ranks, n " << n << " kind " << kind;
            }
            UI::SortBandDescending(values.data(), values.data(), n, scratch);
            EXPECT_TRUE(SameBits(expected, values.data())) << "n " << n << " kind " << kind;
        }
    }
}

// Ranking keeps its bound in the trees the tests are built in, which define NDEBUG: a count
// past kRankSortMost sorts the first kRankSortMost values and a negative one none, and
// nothing is written past them (-1 is no kept power, so it stays where nothing was written).
TEST(SpectrogramMdl, RankingWritesNothingPastItsBound) {
    std::mt19937 random(3);
    const int most = UI::kRankSortMost;
    const std::vector<float> values = Powers(0, 2 * most, random);
    for (const int n : {-1, 0, most, most + 1, 2 * most}) {
        const int sorted = std::clamp(n, 0, most);
        std::vector<float> expected = Descending({values.begin(), values.begin() + sorted});
        expected.resize(values.size(), -1.0f);
        std::vector<float> out(values.size(), -1.0f);
        UI::RankSortDescending(values.data(), out.data(), n);
        EXPECT_TRUE(SameBits(expected, out.data())) << "n " << n;
    }
}

// The values above 0 of a descending list.
std::vector<float> AboveZero(const std::vector<float>& sorted) {
    return {sorted.begin(), std::find(sorted.begin(), sorted.end(), 0.0f)};
}

TEST(SpectrogramMdl, HistoriesHoldTheLastFramesAndTheirSums) {
    // Four histories of up to R frames of n values each, frame after frame, the silence
    // before the first leaving nothing to remove: every list against the window re-sorted
    // (its values above 0), every sum against long double and, to the bit, against the sums
    // of the whole list of R frames with its zeros. Ties decide nothing the lists could show,
    // but "one occurrence per value" must hold for them. Runs of fewer frames than R hold
    // room for no more than they have.
    struct Case {
        int ring, n, frames;
    };
    std::mt19937 random(5);
    for (const Case c :
        {Case{5, 1, 15}, Case{5, 7, 15}, Case{9, 16, 27}, Case{9, 33, 27}, Case{33, 9, 17}, Case{5, 3, 2}}) {
        for (int kind = 0; kind < 5; ++kind) {
            const int held = std::min(c.ring, c.frames), spare = UI::kHistorySpare;
            const std::int64_t length = std::int64_t(c.ring) * c.n;
            std::vector<std::vector<float>> buffers(8, std::vector<float>(std::size_t(held * c.n + spare)));
            std::vector<std::vector<std::vector<float>>> past(4);  // per length, sorted
            float *history[4], *merged[4];
            std::int32_t used[4], capacity[4];
            for (int r = 0; r < 4; ++r) {
                history[r] = buffers[std::size_t(r)].data();
                merged[r] = buffers[std::size_t(r + 4)].data();
                used[r] = 0;
                capacity[r] = held * c.n;
            }
            for (int k = 0; k < c.frames; ++k) {
                const float* arriving[4];
                const float* leaving[4];
                const bool oldest = k >= c.ring - 1;
                for (int r = 0; r < 4; ++r) {
                    auto& frames = past[std::size_t(r)];
                    frames.push_back(Descending(Powers(kind, c.n, random)));
                    arriving[r] = frames.back().data();
                    leaving[r] = oldest ? frames[frames.size() - std::size_t(c.ring)].data() : nullptr;
                }
                double weighted[4], total[4];
                UI::AdvanceBandHistories(
                    history, merged, capacity, arriving, c.n, leaving, oldest ? c.n : 0, length, used, weighted, total);
                for (int r = 0; r < 4; ++r) {
                    const auto& frames = past[std::size_t(r)];
                    const auto window = [&](int from) {
                        std::vector<float> values;
                        for (std::size_t f = std::size_t(std::max(0, from)); f < frames.size(); ++f)
                            values.insert(values.end(), frames[f].begin(), frames[f].end());
                        return Descending(values);
                    };
                    std::vector<float> whole = window(k - c.ring + 1);
                    const std::vector<float> kept = AboveZero(whole);
                    ASSERT_TRUE(SameBits(kept, merged[r])) << "ring " << c.ring << " n " << c.n << " frame " << k;
                    whole.resize(std::size_t(length), 0.0f);  // the silence before the first
                    double wholeWeighted = 0, wholeTotal = 0;
                    UI::MeasureSums(whole.data(), std::int32_t(length), length, wholeWeighted, wholeTotal);
                    EXPECT_EQ(std::memcmp(&weighted[r], &wholeWeighted, sizeof(double)), 0) << "frame " << k;
                    EXPECT_EQ(std::memcmp(&total[r], &wholeTotal, sizeof(double)), 0) << "frame " << k;
                    long double w = 0, t = 0;
                    for (std::size_t i = 0; i < whole.size(); ++i) {
                        w += (long double)i * whole[i];
                        t += whole[i];
                    }
                    if (std::isfinite(double(w))) {  // infinite powers: no sums to compare
                        EXPECT_NEAR(weighted[r], double(w), 1e-13 * double(w));
                        EXPECT_NEAR(total[r], double(t), 1e-13 * double(t));
                    }
                    // The oldest frame gone: the next history is the rest, re-sorted.
                    const std::vector<float> rest = AboveZero(window(k - c.ring + 2));
                    ASSERT_EQ(used[r], std::int32_t(rest.size()));
                    ASSERT_TRUE(SameBits(rest, history[r])) << "frame " << k << " length " << r;
                }
            }
        }
    }
}

}  // namespace
