// A full spectrogram of ten minutes of 44.1 kHz stereo, computed and rendered through the
// spectrogram calculator exactly as the display drives it (view request, compute step,
// render step into a 1200 x 400 image), for the default settings (STFT, 512, no padding,
// 50%, Hann) and for 4096 / 75% / Hann; and of one hour of stereo at 1280 x 513 for each
// analysis type, on one thread and on one per core. Reports audio seconds analysed per
// wall second. And the two ways the "MDL STFT" band sort sorts, side by side over the
// band sizes where the choice between them lies.
#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramBandSort.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculator.h>

#include <QvBase/UI/Drawing/Image.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kSeconds = 600;
constexpr std::uint32_t kHour = 3600;

// The one-pass check of `make test` (TONALITH_BENCH_ONE_PASS set) runs the hour's code on ten
// seconds, so that every analysis type runs without taking minutes.
std::uint32_t LongSeconds() {
    static const std::uint32_t seconds = std::getenv("TONALITH_BENCH_ONE_PASS") ? 10 : kHour;
    return seconds;
}

// Two channels of tones, a slow sweep and noise, built once per length.
const std::vector<std::vector<float>>& Music(std::uint32_t seconds) {
    static std::vector<std::vector<float>> made[2];
    std::vector<std::vector<float>>& channels = made[seconds == LongSeconds() ? 1 : 0];
    if (channels.empty()) {
        const std::uint32_t frames = kRate * seconds;
        std::vector<std::vector<float>>& c = channels;
        c.assign(2, std::vector<float>(frames));
        std::uint32_t state = 12345;
        double phase = 0.0;
        for (std::uint32_t i = 0; i < frames; ++i) {
            state = state * 1664525u + 1013904223u;
            const float noise = float(int(state >> 9) - (1 << 22)) / float(1 << 22);
            phase += 2 * M_PI * (200.0 + 5000.0 * double(i % (kRate * 10)) / double(kRate * 10)) / kRate;
            c[0][i] = float(0.4 * std::sin(phase)) + 0.01f * noise;
            c[1][i] = float(0.3 * std::sin(2 * M_PI * 440.0 * double(i) / kRate)) + 0.05f * noise;
        }
    }
    return channels;
}

struct Run {
    std::uint32_t seconds = kSeconds;
    UI::Size size{1200, 400};
    bool render = true;
    std::uint32_t threads = 0;  // one per core
};

void RunSpectrogram(benchmark::State& state, const UI::SpectrogramSettings& settings, Run run) {
    const auto& music = Music(run.seconds);
    const std::uint32_t frames = kRate * run.seconds;
    const float* table[2] = {music[0].data(), music[1].data()};
    SharedPtr<UI::AudioDisplaySource> source(new UI::AudioDisplayMemorySource("bench", kRate, 2, frames, table));
    UI::SpectrogramCalculator calculator(source, settings);
    calculator.SetThreads(run.threads);
    UI::AudioViewRequest view;
    view.channels = 2;
    view.length = frames;
    view.visible = UI::SampleRange(0, frames);
    view.ampFull = view.ampVisible = {-1.0f, 1.0f};
    view.freqFull = view.freqVisible = {0.0f, kRate / 2.0f};
    bool compute = false, rerender = false;
    calculator.SyncView(view, &compute, &rerender);
    calculator.SetActive(true);
    SharedPtr<UI::Image> image = UI::Image::Create(run.size);
    std::fill_n(image->Pixels(), run.size.width * run.size.height, 0xFF000000u);

    for (auto _ : state) {
        calculator.SetNeedsCompute(true);
        calculator.SetNeedsRender(run.render);
        if (calculator.DoCompute() != UI::kStepFinished || calculator.DoRender(image.Get()) != UI::kStepFinished) {
            state.SkipWithError("the spectrogram calculator failed");
            break;
        }
        benchmark::DoNotOptimize(image->Pixels()[run.size.width * run.size.height / 2]);
    }
    state.counters["audio_s_per_s"] =
        benchmark::Counter(double(run.seconds), benchmark::Counter::kIsIterationInvariantRate);
}

UI::SpectrogramSettings Settings(std::uint32_t fftSize, std::uint32_t overlap, std::uint32_t type = 0) {
    UI::SpectrogramSettings settings;
    settings.type = type;
    settings.fftSize = fftSize;
    settings.overlap = overlap;
    settings.window = 6;
    return settings;
}

void BM_Spectrogram_Default(benchmark::State& state) { RunSpectrogram(state, Settings(4, 1), {}); }
void BM_Spectrogram_4096_75(benchmark::State& state) { RunSpectrogram(state, Settings(7, 2), {}); }
void BM_SpectrogramComputeOnly_Default(benchmark::State& state) {
    RunSpectrogram(state, Settings(4, 1), {.render = false});
}
void BM_SpectrogramComputeOnly_4096_75(benchmark::State& state) {
    RunSpectrogram(state, Settings(7, 2), {.render = false});
}
// Arguments: analysis type, threads (0: one per core).
void BM_SpectrogramHourStereo(benchmark::State& state) {
    const Run run{.seconds = LongSeconds(), .size = {1280, 513}, .threads = std::uint32_t(state.range(1))};
    RunSpectrogram(state, Settings(4, 1, std::uint32_t(state.range(0))), run);
}

// Arguments: 0 ranking, 1 radix passes; values. Band powers of noise (exponentially
// distributed), many sets in turn so that no branch learns one; ns per sort.
void BM_BandSort(benchmark::State& state) {
    const bool radix = state.range(0) != 0;
    const auto n = std::int32_t(state.range(1));
    constexpr int kSets = 256;
    std::mt19937 random(7);
    std::exponential_distribution<float> power(1.0f);
    std::vector<float> values(std::size_t(n) * kSets);
    for (float& v : values) v = power(random) * 1e-4f;
    std::vector<float> out(static_cast<std::size_t>(n));
    std::vector<std::uint32_t> scratch;
    std::size_t set = 0;
    for (auto _ : state) {
        const float* in = values.data() + set * std::size_t(n);
        if (radix)
            UI::RadixSortDescending(in, out.data(), n, scratch);
        else
            UI::RankSortDescending(in, out.data(), n);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
        set = (set + 1) % kSets;
    }
}

}  // namespace

BENCHMARK(BM_BandSort)
    ->ArgNames({"radix", "n"})
    ->ArgsProduct({{0, 1}, {8, 16, 24, 32, 40, 44, 48, 52, 56, 60, 64, 72, 80, 96, 128}});
BENCHMARK(BM_Spectrogram_Default)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Spectrogram_4096_75)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SpectrogramComputeOnly_Default)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SpectrogramComputeOnly_4096_75)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SpectrogramHourStereo)
    ->ArgNames({"type", "threads"})
    ->ArgsProduct({{0, 1, 2}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
