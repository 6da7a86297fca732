// A full spectrogram of ten minutes of 44.1 kHz stereo, computed and rendered through the
// spectrogram calculator exactly as the display drives it (view request, compute step,
// render step into a 1200 x 400 image), for the default settings (STFT, 512, no padding,
// 50%, Hann) and for 4096 / 75% / Hann. Reports audio seconds analysed per wall second.
#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculator.h>

#include <QvBase/UI/Drawing/Image.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kSeconds = 600;
constexpr std::uint32_t kFrames = kRate * kSeconds;

// Two channels of tones, a slow sweep and noise, built once.
const std::vector<std::vector<float>>& Music() {
    static const std::vector<std::vector<float>> channels = [] {
        std::vector<std::vector<float>> c(2, std::vector<float>(kFrames));
        std::uint32_t state = 12345;
        double phase = 0.0;
        for (std::uint32_t i = 0; i < kFrames; ++i) {
            state = state * 1664525u + 1013904223u;
            const float noise = float(int(state >> 9) - (1 << 22)) / float(1 << 22);
            phase += 2 * M_PI * (200.0 + 5000.0 * double(i % (kRate * 10)) / double(kRate * 10)) / kRate;
            c[0][i] = float(0.4 * std::sin(phase)) + 0.01f * noise;
            c[1][i] = float(0.3 * std::sin(2 * M_PI * 440.0 * double(i) / kRate)) + 0.05f * noise;
        }
        return c;
    }();
    return channels;
}

void RunSpectrogram(benchmark::State& state, const UI::SpectrogramSettings& settings, bool render) {
    const auto& music = Music();
    const float* table[2] = {music[0].data(), music[1].data()};
    SharedPtr<UI::AudioDisplaySource> source(new UI::AudioDisplayMemorySource("bench", kRate, 2, kFrames, table));
    UI::SpectrogramCalculator calculator(source, settings);
    UI::AudioViewRequest view;
    view.channels = 2;
    view.length = kFrames;
    view.visible = UI::SampleRange(0, kFrames);
    view.ampFull = view.ampVisible = {-1.0f, 1.0f};
    view.freqFull = view.freqVisible = {0.0f, kRate / 2.0f};
    bool compute = false, rerender = false;
    calculator.SyncView(view, &compute, &rerender);
    calculator.SetActive(true);
    SharedPtr<UI::Image> image = UI::Image::Create(UI::Size{1200, 400});
    std::fill_n(image->Pixels(), 1200 * 400, 0xFF000000u);

    for (auto _ : state) {
        calculator.SetNeedsCompute(true);
        calculator.SetNeedsRender(render);
        if (calculator.DoCompute() != UI::kStepFinished || calculator.DoRender(image.Get()) != UI::kStepFinished) {
            state.SkipWithError("the spectrogram calculator failed");
            break;
        }
        benchmark::DoNotOptimize(image->Pixels()[200 * 1200 + 600]);
    }
    state.counters["audio_s_per_s"] =
        benchmark::Counter(double(kSeconds), benchmark::Counter::kIsIterationInvariantRate);
}

UI::SpectrogramSettings Settings(std::uint32_t fftSize, std::uint32_t overlap, std::uint32_t type = 0) {
    UI::SpectrogramSettings settings;
    settings.type = type;
    settings.fftSize = fftSize;
    settings.overlap = overlap;
    settings.window = 6;
    return settings;
}

void BM_Spectrogram_Default(benchmark::State& state) { RunSpectrogram(state, Settings(4, 1), true); }
void BM_Spectrogram_4096_75(benchmark::State& state) { RunSpectrogram(state, Settings(7, 2), true); }
void BM_SpectrogramComputeOnly_Default(benchmark::State& state) { RunSpectrogram(state, Settings(4, 1), false); }
void BM_SpectrogramComputeOnly_4096_75(benchmark::State& state) { RunSpectrogram(state, Settings(7, 2), false); }

}  // namespace

BENCHMARK(BM_Spectrogram_Default)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Spectrogram_4096_75)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SpectrogramComputeOnly_Default)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SpectrogramComputeOnly_4096_75)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
