// The filters and generators of the primitive library, per build, in samples per second.
#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Filter/Convolve.h>
#include <Primitives/Prim/Filter/FirState.h>
#include <Primitives/Prim/Filter/Iir.h>
#include <Primitives/Prim/Filter/Tone.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// The tone generator's double recurrence (both builds) against the SSE2 block method.
void BM_ToneF32(benchmark::State& state, Prim::Status (*tone)(float*, std::int32_t, float, float, float*, std::int32_t),
    std::int32_t hint) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    std::vector<float> out(static_cast<std::size_t>(n));
    float phase = 0.0f;
    for (auto _ : state) {
        tone(out.data(), n, 1.0f, 0.0123f, &phase, hint);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK_CAPTURE(BM_ToneF32, x87, &Prim::ToneF32_x87, 0)->Arg(65536);
BENCHMARK_CAPTURE(BM_ToneF32, sse2_double, &Prim::ToneF32_sse2, 0)->Arg(65536);
BENCHMARK_CAPTURE(BM_ToneF32, sse2_block, &Prim::ToneF32_sse2, 1)->Arg(65536);

// A direct form of the given order over 65536 samples per call, in place, per build.
void BM_IirF64(benchmark::State& state,
    Prim::Status (*init)(Prim::IirStateF64**, const double*, std::int32_t, const double*),
    Prim::Status (*filter)(double*, std::int32_t, Prim::IirStateF64*), Prim::Status (*release)(Prim::IirStateF64*)) {
    const auto order = static_cast<std::int32_t>(state.range(0));
    // (1 - 0.5 z^-1)^order: stable for every order, numerator a short average.
    std::vector<double> taps(2 * static_cast<std::size_t>(order) + 2, 0.0);
    std::vector<double> poly{1.0};
    for (std::int32_t k = 0; k < order; ++k) {
        poly.push_back(0.0);
        for (std::size_t i = poly.size() - 1; i > 0; --i) poly[i] -= 0.5 * poly[i - 1];
    }
    for (std::int32_t k = 0; k <= order; ++k) {
        taps[static_cast<std::size_t>(k)] = 1.0 / (order + 1);
        taps[static_cast<std::size_t>(order + 1 + k)] = poly[static_cast<std::size_t>(k)];
    }
    Prim::IirStateF64* s = nullptr;
    if (init(&s, taps.data(), order, nullptr) != Prim::StatusOk) {
        state.SkipWithError("set-up failed");
        return;
    }
    const std::int32_t n = 65536;
    std::vector<double> x(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = std::sin(0.01 * static_cast<double>(i));
    for (auto _ : state) {
        filter(x.data(), n, s);
        benchmark::DoNotOptimize(x.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
    release(s);
}
BENCHMARK_CAPTURE(BM_IirF64, x87, &Prim::IirInitAllocF64_x87, &Prim::IirInPlaceF64_x87, &Prim::IirFreeF64_x87)
    ->DenseRange(1, 8);
BENCHMARK_CAPTURE(BM_IirF64, sse2, &Prim::IirInitAllocF64_sse2, &Prim::IirInPlaceF64_sse2, &Prim::IirFreeF64_sse2)
    ->DenseRange(1, 8);

// Two operands of len samples each, per build: direct sums below the thresholds, one transform
// above them. Items are output samples.
void BM_ConvolveF32(
    benchmark::State& state, Prim::Status (*convolve)(const float*, std::int32_t, const float*, std::int32_t, float*)) {
    const auto len = static_cast<std::int32_t>(state.range(0));
    std::vector<float> a(static_cast<std::size_t>(len)), b(static_cast<std::size_t>(len));
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] = static_cast<float>(std::sin(0.01 * static_cast<double>(i)));
        b[i] = static_cast<float>(std::cos(0.37 * static_cast<double>(i)));
    }
    std::vector<float> out(2 * a.size() - 1);
    for (auto _ : state) {
        convolve(a.data(), len, b.data(), len, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(out.size()));
}
BENCHMARK_CAPTURE(BM_ConvolveF32, x87, &Prim::ConvolveF32_x87)->RangeMultiplier(4)->Range(16, 65536);
BENCHMARK_CAPTURE(BM_ConvolveF32, sse2, &Prim::ConvolveF32_sse2)->RangeMultiplier(4)->Range(16, 65536);

// FIR filtering of 32-bit floats through the build bound for this processor, 4096 iterations
// per call: single-rate (direct form below 64 taps, overlap-save from 64) and multirate, up by
// 3 and down by 2. Items are output samples.
void FirRun(benchmark::State& state, int up, int down) {
    const bool sse2 = Prim::BoundBuild() == Prim::Build::Sse2;
    const auto taps = static_cast<std::int32_t>(state.range(0));
    constexpr std::int32_t block = 4096;
    auto signal = [](std::int32_t n) {
        std::vector<float> x(static_cast<std::size_t>(n));
        for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<float>(std::sin(0.01 * static_cast<double>(i)));
        return x;
    };
    const auto h = signal(taps);
    Prim::FirStateF32* fir = nullptr;
    const auto init = sse2 ? &Prim::FirMultirateInitAllocF32_sse2 : &Prim::FirMultirateInitAllocF32_x87;
    if (init(&fir, h.data(), taps, up, 0, down, 0, nullptr) != Prim::StatusOk) {
        state.SkipWithError("set-up failed");
        return;
    }
    const auto filter = sse2 ? &Prim::FirF32_sse2 : &Prim::FirF32_x87;
    const auto x = signal(block * down);
    std::vector<float> y(static_cast<std::size_t>(block * up));
    for (auto _ : state) {
        filter(x.data(), y.data(), block, fir);
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * block * up);
    (sse2 ? &Prim::FirFreeF32_sse2 : &Prim::FirFreeF32_x87)(fir);
}
void BM_FirF32(benchmark::State& state) { FirRun(state, 1, 1); }
void BM_FirMultirateF32(benchmark::State& state) { FirRun(state, 3, 2); }
BENCHMARK(BM_FirF32)->Arg(8)->Arg(32)->Arg(63)->Arg(64)->Arg(256)->Arg(1024);
BENCHMARK(BM_FirMultirateF32)->Arg(8)->Arg(32)->Arg(128);

}  // namespace
