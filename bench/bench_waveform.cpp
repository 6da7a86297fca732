// The waveform's two steps on three minutes of stereo: the one-off reduction to block
// pairs, a zoomed-out render that touches only the pairs, and a zoomed-in render that
// reads the samples.
#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/WaveformCalculator.h>

#include <QvBase/UI/Drawing/Image.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

constexpr std::uint32_t kFrames = 44100 * 180;

struct Audio {
    std::vector<float> left, right;
    const float* table[2];
    Audio() : left(kFrames), right(kFrames) {
        for (std::uint32_t i = 0; i < kFrames; ++i) {
            left[i] = static_cast<float>(std::sin(i * 0.01));
            right[i] = static_cast<float>(std::cos(i * 0.003));
        }
        table[0] = left.data();
        table[1] = right.data();
    }
};

const Audio& TheAudio() {
    static const Audio audio;
    return audio;
}

class Bench : public UI::WaveformCalculator {
public:
    explicit Bench(UI::SampleRange visible)
        : WaveformCalculator(SharedPtr<UI::AudioDisplaySource>(
              new UI::AudioDisplayMemorySource("Bench", 44100, 2, kFrames, TheAudio().table))) {
        UI::AudioViewRequest view;
        view.channels = 2;
        view.length = kFrames;
        view.visible = visible;
        view.ampFull = view.ampVisible = {-1.0f, 1.0f};
        bool compute = false, render = false;
        SyncView(view, &compute, &render);
        SetActive(true);
    }
    int ComputeNow() {
        SetNeedsCompute(true);
        return DoCompute();
    }
    int RenderNow(UI::Image* image) {
        SetNeedsRender(true);
        return DoRender(image);
    }
};

void Compute(benchmark::State& state) {
    Bench bench(UI::SampleRange(0, kFrames));
    for (auto _ : state) benchmark::DoNotOptimize(bench.ComputeNow());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kFrames);
}
BENCHMARK(Compute)->Unit(benchmark::kMillisecond);

void RenderZoomedOut(benchmark::State& state) {
    Bench bench(UI::SampleRange(0, kFrames));
    bench.ComputeNow();
    SharedPtr<UI::Image> image = UI::Image::Create({1600, 400});
    for (auto _ : state) benchmark::DoNotOptimize(bench.RenderNow(image.Get()));
}
BENCHMARK(RenderZoomedOut)->Unit(benchmark::kMillisecond);

void RenderZoomedIn(benchmark::State& state) {
    Bench bench(UI::SampleRange(kFrames / 2, 1600 * 100));
    bench.ComputeNow();
    SharedPtr<UI::Image> image = UI::Image::Create({1600, 400});
    for (auto _ : state) benchmark::DoNotOptimize(bench.RenderNow(image.Get()));
}
BENCHMARK(RenderZoomedIn)->Unit(benchmark::kMillisecond);

}  // namespace
