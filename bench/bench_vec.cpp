// Throughput of the vector operations, both builds: those on the main road
// (sample conversion, de-interleaving, windowing, sums) from 4 KiB to 16 MiB of
// source data, and the other families of the library at 64 KiB and 4 MiB.
// Bytes per second count every byte read and written.

#include <Primitives/Prim/ByteCompare.h>
#include <Primitives/Prim/ComplexProduct.h>
#include <Primitives/Prim/Convert.h>
#include <Primitives/Prim/Division.h>
#include <Primitives/Prim/ExpLnF32.h>
#include <Primitives/Prim/Extremes.h>
#include <Primitives/Prim/Flip.h>
#include <Primitives/Prim/Interleave.h>
#include <Primitives/Prim/Logarithm.h>
#include <Primitives/Prim/Magnitude.h>
#include <Primitives/Prim/Memory.h>
#include <Primitives/Prim/Normalize.h>
#include <Primitives/Prim/Polar.h>
#include <Primitives/Prim/Reciprocal.h>
#include <Primitives/Prim/ScaledInt.h>
#include <Primitives/Prim/Sum.h>
#include <Primitives/Prim/Threshold.h>
#include <Primitives/Prim/Window.h>
#include <Primitives/Vec/Window.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::int64_t MinBytes = 4 << 10;
constexpr std::int64_t MaxBytes = 16 << 20;

// A 32-byte-aligned block from the primitives' allocator, released on scope exit.
template <class T>
class Block {
public:
    explicit Block(std::int64_t count)
        : data_(reinterpret_cast<T*>(Prim::AllocU8(static_cast<std::int32_t>(count * sizeof(T))))) {
        if (data_ == nullptr) throw std::runtime_error("bench_vec: aligned allocation failed");
        std::memset(static_cast<void*>(data_), 0, static_cast<std::size_t>(count) * sizeof(T));
    }
    ~Block() { Prim::Free(data_); }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    T* get() const { return data_; }

private:
    T* data_;
};

template <class S>
void Fill(S* p, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i) p[i] = static_cast<S>((i * 2654435761LL) >> 7);
}

template <auto Convert>
void ConvertS16ToF32(benchmark::State& state) {
    const std::int64_t n = state.range(0) / 2;
    Block<std::int16_t> src(n);
    Block<float> dst(n);
    Fill(src.get(), n);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Convert(src.get(), dst.get(), static_cast<std::int32_t>(n), 15));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * n * (2 + 4));
}

// 24-bit samples travel left-aligned in 32-bit words and convert with scale 31.
template <auto Convert>
void ConvertS24ToF32(benchmark::State& state) {
    const std::int64_t n = state.range(0) / 4;
    Block<std::int32_t> src(n);
    Block<float> dst(n);
    Fill(src.get(), n);
    for (std::int64_t i = 0; i < n; ++i)
        src.get()[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(src.get()[i]) << 8);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Convert(src.get(), dst.get(), static_cast<std::int32_t>(n), 31));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * n * (4 + 4));
}

template <auto Convert>
void ConvertS16ToF64(benchmark::State& state) {
    const std::int64_t n = state.range(0) / 2;
    Block<std::int16_t> src(n);
    Block<double> dst(n);
    Fill(src.get(), n);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Convert(src.get(), dst.get(), static_cast<std::int32_t>(n), 15));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * n * (2 + 8));
}

template <auto Convert>
void ConvertF64ToF32(benchmark::State& state) {
    const std::int64_t n = state.range(0) / 8;
    Block<double> src(n);
    Block<float> dst(n);
    Fill(src.get(), n);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Convert(src.get(), dst.get(), static_cast<std::int32_t>(n)));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * n * (8 + 4));
}

// Stereo, as most files are.
template <auto Deinterleave>
void DeinterleaveStereo(benchmark::State& state) {
    const std::int64_t n = state.range(0) / 4;
    const std::int64_t frames = n / 2;
    Block<float> src(n);
    Block<float> left(frames);
    Block<float> right(frames);
    Fill(src.get(), n);
    float* channels[2] = {left.get(), right.get()};
    for (auto _ : state) {
        benchmark::DoNotOptimize(Deinterleave(src.get(), 2, static_cast<std::int32_t>(frames), channels));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * frames * 2 * (4 + 4));
}

// Windowing the same buffer over and over would shrink finite samples into the
// denormal range, whose slow paths no real frame meets; infinite samples stay
// infinite (or NaN) and time the same arithmetic.
template <auto Window>
void WindowF32(benchmark::State& state) {
    const std::int64_t n = state.range(0) / 4;
    Block<float> data(n);
    for (std::int64_t i = 0; i < n; ++i) data.get()[i] = std::numeric_limits<float>::infinity();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Window(data.get(), static_cast<std::int32_t>(n)));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * n * (4 + 4));
}

// Six channels take the general path.
template <auto Deinterleave>
void DeinterleaveSurround(benchmark::State& state) {
    constexpr std::int32_t channelCount = 6;
    const std::int64_t frames = state.range(0) / 4 / channelCount;
    Block<float> src(frames * channelCount);
    Fill(src.get(), frames * channelCount);
    std::vector<std::unique_ptr<Block<float>>> channels;
    std::vector<float*> destinations;
    for (int c = 0; c < channelCount; ++c) {
        channels.push_back(std::make_unique<Block<float>>(frames));
        destinations.push_back(channels.back()->get());
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            Deinterleave(src.get(), channelCount, static_cast<std::int32_t>(frames), destinations.data()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * frames * channelCount * (4 + 4));
}

// The analysis' road: a frame of doubles windowed through the float temporary
// with the bound build (narrow, window, widen).
void VecWinHannF64(benchmark::State& state) {
    const std::int64_t n = state.range(0) / 8;
    Block<double> data(n);
    for (std::int64_t i = 0; i < n; ++i) data.get()[i] = std::numeric_limits<double>::infinity();
    for (auto _ : state) {
        Vec::WinHannF64(static_cast<std::int32_t>(n), data.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * n * (8 + 8));
}

template <auto Sum, int Hint>
void SumF32(benchmark::State& state) {
    const std::int64_t n = state.range(0) / 4;
    Block<float> src(n);
    for (std::int64_t i = 0; i < n; ++i) src.get()[i] = static_cast<float>(i & 255) * 0.25f;
    for (auto _ : state) {
        float sum = 0.0f;
        benchmark::DoNotOptimize(Sum(src.get(), static_cast<std::int32_t>(n), &sum, Hint));
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * n * 4);
}

#define VEC_BENCH(fn, ...) BENCHMARK_TEMPLATE(fn, __VA_ARGS__)->RangeMultiplier(4)->Range(MinBytes, MaxBytes)

VEC_BENCH(ConvertS16ToF32, &Prim::ConvertS16ToF32_x87)->Name("ConvertS16ToF32/x87");
VEC_BENCH(ConvertS16ToF32, &Prim::ConvertS16ToF32_sse2)->Name("ConvertS16ToF32/sse2");
VEC_BENCH(ConvertS24ToF32, &Prim::ConvertS32ToF32_x87)->Name("ConvertS24ToF32/x87");
VEC_BENCH(ConvertS24ToF32, &Prim::ConvertS32ToF32_sse2)->Name("ConvertS24ToF32/sse2");
VEC_BENCH(ConvertS16ToF64, &Prim::ConvertS16ToF64_x87)->Name("ConvertS16ToF64/x87");
VEC_BENCH(ConvertS16ToF64, &Prim::ConvertS16ToF64_sse2)->Name("ConvertS16ToF64/sse2");
VEC_BENCH(ConvertF64ToF32, &Prim::ConvertF64ToF32_x87)->Name("ConvertF64ToF32/x87");
VEC_BENCH(ConvertF64ToF32, &Prim::ConvertF64ToF32_sse2)->Name("ConvertF64ToF32/sse2");
VEC_BENCH(DeinterleaveStereo, &Prim::DeinterleaveF32_x87)->Name("DeinterleaveF32Stereo/x87");
VEC_BENCH(DeinterleaveStereo, &Prim::DeinterleaveF32_sse2)->Name("DeinterleaveF32Stereo/sse2");
VEC_BENCH(DeinterleaveSurround, &Prim::DeinterleaveF32_x87)->Name("DeinterleaveF32Surround/x87");
VEC_BENCH(DeinterleaveSurround, &Prim::DeinterleaveF32_sse2)->Name("DeinterleaveF32Surround/sse2");
VEC_BENCH(WindowF32, &Prim::WinHannF32_x87)->Name("WinHannF32/x87");
VEC_BENCH(WindowF32, &Prim::WinHannF32_sse2)->Name("WinHannF32/sse2");
VEC_BENCH(WindowF32, &Prim::WinBartlettF32_x87)->Name("WinBartlettF32/x87");
VEC_BENCH(WindowF32, &Prim::WinBartlettF32_sse2)->Name("WinBartlettF32/sse2");
VEC_BENCH(WindowF32, &Prim::WinHammingF32_x87)->Name("WinHammingF32/x87");
VEC_BENCH(WindowF32, &Prim::WinHammingF32_sse2)->Name("WinHammingF32/sse2");
BENCHMARK(VecWinHannF64)->RangeMultiplier(4)->Range(MinBytes, MaxBytes);
VEC_BENCH(SumF32, &Prim::SumF32_x87, 0)->Name("SumF32/x87");
VEC_BENCH(SumF32, &Prim::SumF32_sse2, 0)->Name("SumF32/sse2");
VEC_BENCH(SumF32, &Prim::SumF32_sse2, 1)->Name("SumF32Fast/sse2");

// The library's other families. Operands hold values in [0.5, 2.5), positive
// and normal, so no call takes a special-value path; each call is redone on
// the same buffers, whose values such operations leave in range. In-place
// divisions divide by ones, or their values would drift into the subnormal range.
template <class T>
std::shared_ptr<Block<T>> Operand(std::int64_t n, bool ones = false) {
    auto block = std::make_shared<Block<T>>(n);
    for (std::int64_t i = 0; i < n; ++i)
        block->get()[i] =
            static_cast<T>(ones ? 1.0 : 0.5 + static_cast<double>((i * 2654435761LL >> 7) & 1023) / 512.0);
    return block;
}

struct Family {
    std::string name;
    std::int64_t sourceBytes;  // per element: sizes count source bytes
    std::int64_t movedBytes;  // per element: read and written
    // Prepares operands for n elements and returns one call over them.
    std::function<std::function<void()>(std::int64_t n)> prepare;
};

// The fn(src, dst, len) and fn(srcDst, len) shapes; other arguments are bound by the caller.
template <class S, class D, class Fn>
Family OutOfPlace(
    std::string name, std::int64_t srcPerElement, std::int64_t dstPerElement, Fn fn, bool sourceOnes = false) {
    return {std::move(name), std::int64_t(sizeof(S)) * srcPerElement,
        std::int64_t(sizeof(S)) * srcPerElement + std::int64_t(sizeof(D)) * dstPerElement,
        [fn, srcPerElement, dstPerElement, sourceOnes](std::int64_t n) -> std::function<void()> {
            auto src = Operand<S>(n * srcPerElement, sourceOnes);
            auto dst = Operand<D>(std::max<std::int64_t>(n * dstPerElement, 2));
            return [=] { benchmark::DoNotOptimize(fn(src->get(), dst->get(), static_cast<std::int32_t>(n))); };
        }};
}

template <class T, class Fn>
Family InPlace(std::string name, std::int64_t perElement, Fn fn) {
    return {std::move(name), std::int64_t(sizeof(T)) * perElement, 2 * std::int64_t(sizeof(T)) * perElement,
        [fn, perElement](std::int64_t n) -> std::function<void()> {
            auto data = Operand<T>(n * perElement);
            return [=] { benchmark::DoNotOptimize(fn(data->get(), static_cast<std::int32_t>(n))); };
        }};
}

// Shapes by element types, as names the macro below can take.
template <class S, class D = S>
const auto Out = [](auto&&... a) { return OutOfPlace<S, D>(a...); };
template <class T>
const auto Own = [](auto&&... a) { return InPlace<T>(a...); };

// Both builds of one operation, as `fn(build)` gives them.
#define BOTH_BUILDS(make, name, ...) make(name "/x87", __VA_ARGS__(_x87)), make(name "/sse2", __VA_ARGS__(_sse2))
// The same with a source of ones.
#define BOTH_BUILDS_ONES(make, name, ...) \
    make(name "/x87", __VA_ARGS__(_x87), true), make(name "/sse2", __VA_ARGS__(_sse2), true)

#define EXTREMES(sfx)                                                                                 \
    [](const float* s, float* d, std::int32_t n) {                                                    \
        std::int32_t index = 0;                                                                       \
        return Prim::MaxIndexF32##sfx(s, n, d, &index) + Prim::MinIndexF32##sfx(s, n, d + 1, &index); \
    }
#define EVERY(sfx) [](const float* s, float* d, std::int32_t n) { return Prim::MaxEveryInPlaceF32##sfx(s, d, n); }
#define ABS(sfx) [](const float* s, float* d, std::int32_t n) { return Prim::AbsF32##sfx(s, d, n); }
#define MAGNITUDE(sfx) [](const float* s, float* d, std::int32_t n) { return Prim::MagnitudeC32##sfx(s, d, n); }
#define POWER(sfx) [](const float* s, float* d, std::int32_t n) { return Prim::PowerSpectrumC32##sfx(s, d, n); }
#define EQUAL_U8(sfx)                                            \
    [](const std::uint8_t* s, std::uint8_t* d, std::int32_t n) { \
        std::int32_t equal = 0;                                  \
        std::memcpy(d, s, std::size_t(n));                       \
        return Prim::EqualU8##sfx(s, d, n, &equal);              \
    }
#define MUL_C32(sfx) [](const float* s, float* d, std::int32_t n) { return Prim::MulInPlaceC32##sfx(s, d, n); }
#define DIV_F32(sfx) [](const float* s, float* d, std::int32_t n) { return Prim::DivInPlaceF32##sfx(s, d, n); }
#define DIV_F64(sfx) [](const double* s, double* d, std::int32_t n) { return Prim::DivInPlaceF64##sfx(s, d, n); }
#define THRESHOLD_LT(sfx) [](float* d, std::int32_t n) { return Prim::ThresholdLtInPlaceF32##sfx(d, n, 1.0f); }
#define LN_F64(sfx) [](const double* s, double* d, std::int32_t n) { return Prim::LnF64##sfx(s, d, n); }
#define NORMALIZE(sfx) \
    [](const float* s, float* d, std::int32_t n) { return Prim::NormalizeF32##sfx(s, d, n, 0.5f, 3.0f); }
#define EXP_F32(sfx) [](const float* s, float* d, std::int32_t n) { return Prim::ExpF32##sfx(s, d, n); }
#define LN_F32(sfx) [](const float* s, float* d, std::int32_t n) { return Prim::LnF32##sfx(s, d, n); }
#define TO_POLAR(sfx) [](const float* s, float* d, std::int32_t n) { return Prim::CartToPolarC32##sfx(s, d, d + n, n); }
#define TO_CART(sfx) [](const float* s, float* d, std::int32_t n) { return Prim::PolarToCartC32##sfx(s, s + n, d, n); }
#define NORM(sfx) [](const float* s, float* d, std::int32_t n) { return Prim::NormL2F32##sfx(s, n, d); }
#define SCALED_S16(sfx) \
    [](const std::int16_t* s, std::int16_t* d, std::int32_t n) { return Prim::AddInPlaceScaledS16##sfx(s, d, n, 1); }
#define SCALED_S32(sfx)                                          \
    [](const std::int32_t* s, std::int32_t* d, std::int32_t n) { \
        return Prim::AddConstScaledS32##sfx(s, 12345, d, n, 3);  \
    }
#define FLIP(sfx) [](double* d, std::int32_t n) { return Prim::FlipInPlaceF64##sfx(d, n); }
#define INV_F32(sfx) [](float* d, std::int32_t n) { return Prim::InvThreshInPlaceF32##sfx(d, n, 0.0f); }
#define INV_F64(sfx) [](double* d, std::int32_t n) { return Prim::InvThreshInPlaceF64##sfx(d, n, 0.0); }
#define INV_C32(sfx) [](float* d, std::int32_t n) { return Prim::InvThreshInPlaceC32##sfx(d, n, 0.0f); }
#define THRESHOLD(sfx) \
    [](float* d, std::int32_t n) { return Prim::ThresholdLtGtInPlaceF32##sfx(d, n, 0.6f, 0.6f, 2.4f, 2.4f); }

std::vector<Family> Families() {
    return {
        BOTH_BUILDS(Out<float>, "MaxMinIndexF32", 1, 0, EXTREMES),
        BOTH_BUILDS(Out<float>, "MaxEveryInPlaceF32", 1, 1, EVERY),
        BOTH_BUILDS(Out<float>, "AbsF32", 1, 1, ABS),
        BOTH_BUILDS(Out<float>, "MagnitudeC32", 2, 1, MAGNITUDE),
        BOTH_BUILDS(Out<float>, "PowerSpectrumC32", 2, 1, POWER),
        BOTH_BUILDS(Out<std::uint8_t>, "EqualU8", 1, 1, EQUAL_U8),
        Out<std::uint8_t>("RangeAddKernelU8/sse2", 1, 1,
            [](const std::uint8_t* s, std::uint8_t* d, std::int32_t n) {
                Prim::RangeAddKernelU8_sse2(s, d, n, 'A', 'Z', 32);
                return Prim::StatusOk;
            }),
        Out<std::uint8_t>("FindAnyKernelU8/sse2", 1, 0,
            [](const std::uint8_t* s, std::uint8_t*, std::int32_t n) {
                const std::uint8_t set[] = {200, 201};  // never met: the whole length is searched
                std::int32_t index = 0;
                Prim::FindAnyKernelU8_sse2(s, n, set, 2, &index);
                return Prim::Status(index);
            }),
        BOTH_BUILDS(Out<float>, "MulInPlaceC32", 2, 2, MUL_C32),
        BOTH_BUILDS_ONES(Out<float>, "DivInPlaceF32", 1, 1, DIV_F32),
        BOTH_BUILDS_ONES(Out<double>, "DivInPlaceF64", 1, 1, DIV_F64),
        BOTH_BUILDS(Out<std::int16_t>, "AddInPlaceScaledS16", 1, 1, SCALED_S16),
        BOTH_BUILDS(Out<double>, "LnF64", 1, 1, LN_F64),
        BOTH_BUILDS(Own<float>, "ThresholdLtInPlaceF32", 1, THRESHOLD_LT),
        BOTH_BUILDS(Out<float>, "NormalizeF32", 1, 1, NORMALIZE),
        BOTH_BUILDS(Out<float>, "ExpF32", 1, 1, EXP_F32),
        BOTH_BUILDS(Out<float>, "LnF32", 1, 1, LN_F32),
        BOTH_BUILDS(Out<float>, "CartToPolarC32", 2, 2, TO_POLAR),
        BOTH_BUILDS(Out<float>, "PolarToCartC32", 2, 2, TO_CART),
        BOTH_BUILDS(Out<float>, "NormL2F32", 1, 0, NORM),
        BOTH_BUILDS(Out<std::int32_t>, "AddConstScaledS32", 1, 1, SCALED_S32),
        BOTH_BUILDS(Own<double>, "FlipInPlaceF64", 1, FLIP),
        BOTH_BUILDS(Own<float>, "ThresholdLtGtInPlaceF32", 1, THRESHOLD),
        BOTH_BUILDS(Own<float>, "InvThreshInPlaceF32", 1, INV_F32),
        BOTH_BUILDS(Own<double>, "InvThreshInPlaceF64", 1, INV_F64),
        BOTH_BUILDS(Own<float>, "InvThreshInPlaceC32", 2, INV_C32),
    };
}

[[maybe_unused]] const bool familiesRegistered = [] {
    for (const Family& family : Families()) {
        benchmark::RegisterBenchmark(family.name.c_str(),
            [family](benchmark::State& state) {
                const std::int64_t n = state.range(0) / family.sourceBytes;
                const std::function<void()> call = family.prepare(n);
                for (auto _ : state) {
                    call();
                    benchmark::ClobberMemory();
                }
                state.SetBytesProcessed(state.iterations() * n * family.movedBytes);
            })
            ->Arg(64 << 10)
            ->Arg(4 << 20);
    }
    return true;
}();

}  // namespace
