// The two copies of the paired passes of the portable double transform, and the choice
// between them. Both take every value through the same operations in the same order, so
// their results are the same to the bit; the copy on four lanes needs AVX and is chosen once,
// when the processor and the operating system offer it.
// Every header comes first, outside the AVX region: only the copies' own namespaces are
// compiled for AVX.
#include <Primitives/Prim/Fft/FftPassesX87.h>

#include <atomic>

// Two lanes: any processor with SSE2, as every 64-bit one.
#define FFT_X87_COPY Baseline
#define FFT_X87_WIDTH 2
#include <Primitives/Prim/Fft/FftPassesX87.h>
#undef FFT_X87_COPY
#undef FFT_X87_WIDTH

// Four lanes, compiled for AVX; no fused multiply-adds, so each operation rounds alone as in
// the other copy. Everything the copy defines stays in its own namespace.
#pragma GCC push_options
#pragma GCC target("avx")
#define FFT_X87_COPY Avx
#define FFT_X87_WIDTH 4
#include <Primitives/Prim/Fft/FftPassesX87.h>
#undef FFT_X87_COPY
#undef FFT_X87_WIDTH
#pragma GCC pop_options

namespace Prim {
namespace {

bool AvxAvailable() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

std::atomic<bool>& UseAvx() {
    static std::atomic<bool> use{AvxAvailable()};
    return use;
}

bool Wide() { return UseAvx().load(std::memory_order_relaxed); }

}  // namespace

bool FftUseWideKernelsF64_x87(bool allow) {
    const bool use = allow && AvxAvailable();
    UseAvx().store(use, std::memory_order_relaxed);
    return use;
}

void FftForwardHalfF64_x87(const FftSpecRealF64* spec, const double* src, double* dst, int m, double* work) {
    if (Wide())
        FftX87::Avx::Forward(spec, src, dst, m, work);
    else
        FftX87::Baseline::Forward(spec, src, dst, m, work);
}

void FftInverseHalfF64_x87(const FftSpecRealF64* spec, double* data, int m, double* work) {
    if (Wide())
        FftX87::Avx::Inverse(spec, data, m, work);
    else
        FftX87::Baseline::Inverse(spec, data, m, work);
}

namespace {

template <bool Inverse>
void Radix(double* data, uint32_t count, const double* twiddles) {
    if (count < 16) {
        if (Inverse)
            FftRadixVectorsInvF64_x87(data, count, 1, twiddles);
        else
            FftRadixVectorsFwdF64_x87(data, count, 1, twiddles);
    } else if (Wide()) {
        FftX87::Avx::RadixInPlace<Inverse>(data, count, twiddles);
    } else {
        FftX87::Baseline::RadixInPlace<Inverse>(data, count, twiddles);
    }
}

}  // namespace

void FftRadixFwdF64_x87(double* data, uint32_t count, const double* twiddles) { Radix<false>(data, count, twiddles); }
void FftRadixInvF64_x87(double* data, uint32_t count, const double* twiddles) { Radix<true>(data, count, twiddles); }

void FftRecursiveFwdF64_x87(const FftSpecRealF64* spec, double* data, int m, double* buffer) {
    if (Wide())
        FftX87::Avx::RecursivePasses<false>(spec, nullptr, data, m, buffer);
    else
        FftX87::Baseline::RecursivePasses<false>(spec, nullptr, data, m, buffer);
}
void FftRecursiveInvF64_x87(const FftSpecRealF64* spec, double* data, int m, double* buffer) {
    if (Wide())
        FftX87::Avx::RecursivePasses<true>(spec, nullptr, data, m, buffer);
    else
        FftX87::Baseline::RecursivePasses<true>(spec, nullptr, data, m, buffer);
}
void FftSplitFwdF64_x87(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer) {
    if (Wide())
        FftX87::Avx::SplitPasses<false>(spec, nullptr, data, m, level, buffer);
    else
        FftX87::Baseline::SplitPasses<false>(spec, nullptr, data, m, level, buffer);
}
void FftSplitInvF64_x87(const FftSpecRealF64* spec, double* data, int m, int level, double* buffer) {
    if (Wide())
        FftX87::Avx::SplitPasses<true>(spec, nullptr, data, m, level, buffer);
    else
        FftX87::Baseline::SplitPasses<true>(spec, nullptr, data, m, level, buffer);
}
void FftBlockedFwdF64_x87(const FftSpecRealF64* spec, double* data, uint32_t count, double*) {
    if (Wide())
        FftX87::Avx::BlockedPasses<false>(spec, nullptr, data, count);
    else
        FftX87::Baseline::BlockedPasses<false>(spec, nullptr, data, count);
}
void FftBlockedInvF64_x87(const FftSpecRealF64* spec, double* data, uint32_t count, double*) {
    if (Wide())
        FftX87::Avx::BlockedPasses<true>(spec, nullptr, data, count);
    else
        FftX87::Baseline::BlockedPasses<true>(spec, nullptr, data, count);
}

void FftRealPostF64_x87(double* data, uint32_t half, int, const double* table) {
    if (Wide())
        FftX87::Avx::RealPost(data, half, table);
    else
        FftX87::Baseline::RealPost(data, half, table);
}

}  // namespace Prim
