// Forward real FFT on doubles, orders 5 to 20: as the application calls it (one record and
// one work buffer reused, the build bound for this processor) and per build; the same for the
// real FFT on 32-bit floats; the forward MDCT of every kind of length; the split-complex FFT
// on doubles and the real FFT on 16-bit samples through their entry points. Reports time per
// transform and per point.
#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Fft/FftKernelsF64X87.h>
#include <Primitives/Prim/Fft/FftRealF32.h>
#include <Primitives/Prim/Fft/FftRealS16.h>
#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Prim/Fft/FftSplitC64.h>
#include <Primitives/Prim/Fft/Mdct.h>
#include <Primitives/Vec/Fft.h>
#include <Primitives/Vec/Memory.h>

#include <benchmark/benchmark.h>

#if TONALITH_BENCH_FFTW
#include <fftw3.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::vector<double> Signal(uint64_t n) {
    std::vector<double> x(n);
    for (uint64_t i = 0; i < n; ++i)
        x[i] = std::sin(0.001 * static_cast<double>(i * i % 100003)) + 0.25 * std::cos(0.37 * static_cast<double>(i));
    return x;
}

void ReportPerPoint(benchmark::State& state, uint64_t n) {
    state.counters["per_point"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_FftTransformF64(benchmark::State& state) {
    const int order = static_cast<int>(state.range(0));
    const uint64_t n = uint64_t{1} << order;
    Prim::FftSpecRealF64* spec = nullptr;
    Vec::FftInitAllocRealF64(&spec, order);
    if (!spec) {
        state.SkipWithError("record creation failed");
        return;
    }
    int32_t size = 0;
    Vec::FftGetBufSizeRealF64(spec, &size);
    uint8_t* buffer = Vec::AllocU8(size);
    const std::vector<double> x = Signal(n);
    std::vector<double> out(n + 2);
    for (auto _ : state) {
        Vec::FftTransformF64(x.data(), out.data(), spec, buffer);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    ReportPerPoint(state, n);
    Vec::Free(buffer);
    Vec::FftFreeRealF64(spec);
}

#if TONALITH_BENCH_FFTW
// The yardstick: the real-to-complex double transform planned with FFTW_MEASURE, on the
// same signal and output layout (n / 2 + 1 complex bins). The one-pass check of `make test`
// (TONALITH_BENCH_ONE_PASS set) plans by estimate: measuring takes half a minute at order 20.
void BM_FftwR2cF64(benchmark::State& state) {
    const int order = static_cast<int>(state.range(0));
    const uint64_t n = uint64_t{1} << order;
    double* in = fftw_alloc_real(n);
    fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
    const unsigned planning = std::getenv("TONALITH_BENCH_ONE_PASS") ? FFTW_ESTIMATE : FFTW_MEASURE;
    fftw_plan plan = fftw_plan_dft_r2c_1d(static_cast<int>(n), in, out, planning);
    const std::vector<double> x = Signal(n);
    std::copy(x.begin(), x.end(), in);
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    ReportPerPoint(state, n);
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
}
#endif

// One build called directly (or an entry point), with its own record and a caller's work buffer.
template <typename T, class Spec, class Init, class BufSize, class Forward, class Free>
void RunBuild(benchmark::State& state, Init init, BufSize bufSize, Forward forward, Free release) {
    const int order = static_cast<int>(state.range(0));
    const uint64_t n = uint64_t{1} << order;
    Spec* spec = nullptr;
    if (init(&spec, order, Prim::FftFlagInverse, 1) != Prim::StatusOk) {
        state.SkipWithError("record creation failed");
        return;
    }
    int32_t size = 0;
    bufSize(spec, &size);
    std::vector<uint8_t> buffer(static_cast<size_t>(size));
    const std::vector<double> signal = Signal(n);
    const std::vector<T> x(signal.begin(), signal.end());
    std::vector<T> out(n + 2);
    for (auto _ : state) {
        forward(x.data(), out.data(), spec, buffer.empty() ? nullptr : buffer.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    ReportPerPoint(state, n);
    release(spec);
}

void BM_FftForwardRealF64_x87(benchmark::State& state) {
    RunBuild<double, Prim::FftSpecRealF64>(state, Prim::FftInitAllocRealF64_x87, Prim::FftGetBufSizeRealF64_x87,
        Prim::FftForwardRealF64_x87, Prim::FftFreeRealF64_x87);
}

// The x87 build's copy of its passes for processors without AVX, on any processor.
void BM_FftForwardRealF64_x87_narrow(benchmark::State& state) {
    const bool wide = Prim::FftUseWideKernelsF64_x87(false);
    BM_FftForwardRealF64_x87(state);
    Prim::FftUseWideKernelsF64_x87(wide);
}

void BM_FftTransformF64_sse2(benchmark::State& state) {
    RunBuild<double, Prim::FftSpecRealF64>(state, Prim::FftInitAllocRealF64_sse2, Prim::FftGetBufSizeRealF64_sse2,
        Prim::FftForwardRealF64_sse2, Prim::FftFreeRealF64_sse2);
}

// The build bound at start-up, as a library caller reaches it.
void BM_FftTransformF32(benchmark::State& state) {
    RunBuild<float, Prim::FftSpecRealF32>(
        state, Prim::FftInitAllocRealF32, Prim::FftGetBufSizeRealF32, Prim::FftForwardRealF32, Prim::FftFreeRealF32);
}

void BM_FftTransformF32_sse(benchmark::State& state) {
    RunBuild<float, Prim::FftSpecRealF32>(state, Prim::FftInitAllocRealF32_sse2, Prim::FftGetBufSizeRealF32_sse2,
        Prim::FftForwardRealF32_sse2, Prim::FftFreeRealF32_sse2);
}

void BM_FftTransformF32_x87(benchmark::State& state) {
    RunBuild<float, Prim::FftSpecRealF32>(state, Prim::FftInitAllocRealF32_x87, Prim::FftGetBufSizeRealF32_x87,
        Prim::FftForwardRealF32_x87, Prim::FftFreeRealF32_x87);
}

// Forward MDCT of one block, as a codec would run it: one record and one buffer reused.
template <auto Init, auto GetBufSize, auto Forward, auto Release>
void RunMdct(benchmark::State& state) {
    const auto n = static_cast<int32_t>(state.range(0));
    Prim::CosSpecF32* spec = nullptr;
    if (Init(&spec, n) != Prim::StatusOk) {
        state.SkipWithError("record creation failed");
        return;
    }
    int32_t size = 0;
    GetBufSize(spec, &size);
    std::vector<uint8_t> buffer(static_cast<size_t>(size));
    const std::vector<double> signal = Signal(static_cast<uint64_t>(n));
    const std::vector<float> x(signal.begin(), signal.end());
    std::vector<float> data(x.size());
    for (auto _ : state) {
        std::copy(x.begin(), x.end(), data.begin());
        Forward(data.data(), spec, buffer.data());
        benchmark::DoNotOptimize(data.data());
        benchmark::ClobberMemory();
    }
    ReportPerPoint(state, static_cast<uint64_t>(n));
    Release(spec);
}

// The build bound at start-up.
Prim::Status BoundMdctInit(Prim::CosSpecF32** spec, int32_t n) {
    return Prim::BoundVariant<Prim::Pair::MdctInitAllocFwdF32>(
        &Prim::MdctInitAllocFwdF32_x87, &Prim::MdctInitAllocFwdF32_sse2)(spec, n);
}
Prim::Status BoundMdctSize(const Prim::CosSpecF32* spec, int32_t* size) {
    return Prim::BoundVariant<Prim::Pair::MdctGetBufSizeFwdF32>(
        &Prim::MdctGetBufSizeFwdF32_x87, &Prim::MdctGetBufSizeFwdF32_sse2)(spec, size);
}
Prim::Status BoundMdct(float* data, const Prim::CosSpecF32* spec, uint8_t* buffer) {
    return Prim::BoundVariant<Prim::Pair::MdctFwdF32>(&Prim::MdctFwdF32_x87, &Prim::MdctFwdF32_sse2)(
        data, spec, buffer);
}
Prim::Status BoundMdctFree(Prim::CosSpecF32* spec) {
    return Prim::BoundVariant<Prim::Pair::MdctFreeFwdF32>(&Prim::MdctFreeFwdF32_x87, &Prim::MdctFreeFwdF32_sse2)(spec);
}

void BM_MdctF32(benchmark::State& state) { RunMdct<&BoundMdctInit, &BoundMdctSize, &BoundMdct, &BoundMdctFree>(state); }

void BM_MdctF32_sse2(benchmark::State& state) {
    RunMdct<&Prim::MdctInitAllocFwdF32_sse2, &Prim::MdctGetBufSizeFwdF32_sse2, &Prim::MdctFwdF32_sse2,
        &Prim::MdctFreeFwdF32_sse2>(state);
}

// The split-complex transform, forward, in place on one pair of arrays.
void BM_FftSplitC64(benchmark::State& state) {
    const int order = static_cast<int>(state.range(0));
    const uint64_t n = uint64_t{1} << order;
    Prim::FftSpecSplitC64* spec = nullptr;
    if (Prim::FftInitAllocSplitC64(&spec, order, Prim::FftFlagInverse, 0) != Prim::StatusOk) {
        state.SkipWithError("record creation failed");
        return;
    }
    int32_t size = 0;
    Prim::FftGetBufSizeSplitC64(spec, &size);
    std::vector<uint8_t> buffer(static_cast<size_t>(size) + 16);
    std::vector<double> re = Signal(n), im(re.rbegin(), re.rend());
    for (auto _ : state) {
        Prim::FftForwardSplitC64(re.data(), im.data(), re.data(), im.data(), spec, buffer.data());
        benchmark::DoNotOptimize(re.data());
        benchmark::ClobberMemory();
    }
    ReportPerPoint(state, n);
    Prim::FftFreeSplitC64(spec);
}

// The real FFT on 16-bit samples with hint 0: fixed point where the bound build allows it.
void BM_FftForwardRealS16(benchmark::State& state) {
    const int order = static_cast<int>(state.range(0));
    const uint64_t n = uint64_t{1} << order;
    Prim::FftSpecRealS16* spec = nullptr;
    if (Prim::FftInitAllocRealS16(&spec, order, Prim::FftFlagForward, 0) != Prim::StatusOk) {
        state.SkipWithError("record creation failed");
        return;
    }
    int32_t size = 0;
    Prim::FftGetBufSizeRealS16(spec, &size);
    std::vector<uint8_t> buffer(static_cast<size_t>(size));
    const std::vector<double> signal = Signal(n);
    std::vector<int16_t> x(n), out(n + 2);
    for (uint64_t i = 0; i < n; ++i) x[i] = static_cast<int16_t>(12000.0 * signal[i]);
    for (auto _ : state) {
        Prim::FftForwardRealS16(x.data(), out.data(), spec, 0, buffer.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    ReportPerPoint(state, n);
    Prim::FftFreeRealS16(spec);
}

void MdctLengths(benchmark::internal::Benchmark* bench) {
    for (int n : {12, 32, 36}) bench->Arg(n);
    for (int n = 64; n <= 65536; n *= 4) bench->Arg(n);
}

}  // namespace

BENCHMARK(BM_MdctF32)->Apply(MdctLengths);
BENCHMARK(BM_MdctF32_sse2)->Apply(MdctLengths);
BENCHMARK(BM_FftTransformF64)->DenseRange(5, 20);
#if TONALITH_BENCH_FFTW
BENCHMARK(BM_FftwR2cF64)->DenseRange(5, 20);
#endif
BENCHMARK(BM_FftForwardRealF64_x87)->DenseRange(5, 20);
BENCHMARK(BM_FftForwardRealF64_x87_narrow)->DenseRange(5, 20);
BENCHMARK(BM_FftTransformF64_sse2)->DenseRange(5, 20);
BENCHMARK(BM_FftTransformF32)->DenseRange(5, 20);
BENCHMARK(BM_FftTransformF32_sse)->DenseRange(5, 20);
BENCHMARK(BM_FftTransformF32_x87)->DenseRange(5, 20);
BENCHMARK(BM_FftSplitC64)->DenseRange(4, 20);
BENCHMARK(BM_FftForwardRealS16)->DenseRange(1, 16);
