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

bool SameBits(const std::vector<float>& a, const float* b) { return std::memcmp(a.data(), b, a.size() * 4) == 0; }

// Powers of a kind: noise, few distinct values (ties), values that agree in their top bits
// but one far above them, a mix of zeros, tiny and infinite ones, and one of values that
// are no powers (NaN, negative, -0), which sort as +0.
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
        for (int kind = 0; kind < 5; ++kind) {
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

TEST(SpectrogramMdl, HistoriesHoldTheLastFramesAndTheirSums) {
    // Four histories of R frames of n values each, frame after frame: every list against
    // the window re-sorted, every sum against long double; ties decide nothing the lists
    // could show, but "one occurrence per value" must hold for them.
    std::mt19937 random(5);
    for (int ring : {5, 9}) {
        for (int n : {1, 7, 16, 33}) {
            for (int kind = 0; kind < 4; ++kind) {
                const int capacity = ring * n, spare = UI::kHistorySpare;
                std::vector<std::vector<float>> buffers(8, std::vector<float>(std::size_t(capacity + spare)));
                std::vector<std::vector<std::vector<float>>> frames(4);  // per length, sorted
                float *history[4], *merged[4];
                std::int32_t used[4];
                for (int r = 0; r < 4; ++r) {
                    history[r] = buffers[std::size_t(r)].data();
                    merged[r] = buffers[std::size_t(r + 4)].data();
                    std::fill_n(history[r], capacity - n, 0.0f);  // silence before the first
                    used[r] = capacity - n;
                    frames[std::size_t(r)].assign(std::size_t(ring - 1), std::vector<float>(std::size_t(n), 0.0f));
                }
                for (int k = 0; k < 3 * ring; ++k) {
                    const float* arriving[4];
                    const float* leaving[4];
                    for (int r = 0; r < 4; ++r) {
                        auto& past = frames[std::size_t(r)];
                        past.push_back(Descending(Powers(kind, n, random)));
                        arriving[r] = past.back().data();
                        leaving[r] = past[past.size() - std::size_t(ring)].data();
                    }
                    double weighted[4], total[4];
                    UI::AdvanceBandHistories(history, merged, capacity, arriving, leaving, n, used, weighted, total);
                    for (int r = 0; r < 4; ++r) {
                        const auto& past = frames[std::size_t(r)];
                        std::vector<float> window;
                        for (std::size_t f = past.size() - std::size_t(ring); f < past.size(); ++f)
                            window.insert(window.end(), past[f].begin(), past[f].end());
                        window = Descending(window);
                        ASSERT_TRUE(SameBits(window, merged[r])) << "ring " << ring << " n " << n << " frame " << k;
                        long double w = 0, t = 0;
                        for (std::size_t i = 0; i < window.size(); ++i) {
                            w += (long double)i * window[i];
                            t += window[i];
                        }
                        if (std::isfinite(double(w))) {  // infinite powers: no sums to compare
                            EXPECT_NEAR(weighted[r], double(w), 1e-13 * double(w));
                            EXPECT_NEAR(total[r], double(t), 1e-13 * double(t));
                        }
                        // The oldest frame gone: the next history is the rest, re-sorted.
                        std::vector<float> rest;
                        for (std::size_t f = past.size() - std::size_t(ring) + 1; f < past.size(); ++f)
                            rest.insert(rest.end(), past[f].begin(), past[f].end());
                        ASSERT_EQ(used[r], capacity - n);
                        ASSERT_TRUE(SameBits(Descending(rest), history[r])) << "frame " << k << " length " << r;
                    }
                }
            }
        }
    }
}

}  // namespace
