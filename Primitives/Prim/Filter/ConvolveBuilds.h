#pragma once
// What each build of the convolution calls: its thresholds, its direct sum, and the copy,
// clear, transform and memory operations of its own build and element type.
#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/Fft/FftRealF32.h>
#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Prim/Memory.h>

#include <cstddef>
#include <cstdint>

namespace Prim::ConvolveBuilds {

// One product at a time, each element rounded after every term.
template <class T>
void DirectSumX87(const T* l, std::int32_t nL, const T* s, std::int32_t nS, T* dst) {
    for (std::int32_t j = 0; j < nS; ++j) {
        const long double tap = s[j];
        T* out = dst + j;
        for (std::int32_t i = 0; i < nL; ++i) out[i] = static_cast<T>(out[i] + tap * l[i]);
    }
}

template <class T, bool Sse2>
struct Build;

template <>
struct Build<float, false> {
    using Spec = FftSpecRealF32;
    static constexpr std::int64_t directOutBelow = 150, directShortBelow = 32;
    static constexpr auto Direct = &DirectSumX87<float>;
    static constexpr auto Copy = &CopyF32_x87;
    static constexpr auto Zero = &ZeroF32_x87;
    static constexpr auto Alloc = &AllocF32Direct;
    static constexpr auto Init = &FftInitAllocRealF32_x87;
    static constexpr auto BufSize = &FftGetBufSizeRealF32_x87;
    static constexpr auto Release = &FftFreeRealF32_x87;
    static constexpr auto Forward = &FftForwardRealF32Core_x87;
    static constexpr auto Inverse = &FftInverseRealF32Core_x87;
    static constexpr auto MulPack = &MulPackF32_x87;
};

template <>
struct Build<float, true> {
    using Spec = FftSpecRealF32;
    static constexpr std::int64_t directOutBelow = 512, directShortBelow = 64;
    static constexpr auto Direct = &ConvKernelF32_sse2;
    static constexpr auto Copy = &CopyF32_sse2;
    static constexpr auto Zero = &ZeroF32_sse2;
    static constexpr auto Alloc = &AllocF32Direct;
    static constexpr auto Init = &FftInitAllocRealF32_sse2;
    static constexpr auto BufSize = &FftGetBufSizeRealF32_sse2;
    static constexpr auto Release = &FftFreeRealF32_sse2;
    static constexpr auto Forward = &FftForwardRealF32Core_sse2;
    static constexpr auto Inverse = &FftInverseRealF32Core_sse2;
    static constexpr auto MulPack = &MulPackF32_sse2;
};

template <>
struct Build<double, false> {
    using Spec = FftSpecRealF64;
    static constexpr std::int64_t directOutBelow = 150, directShortBelow = 32;
    static constexpr auto Direct = &DirectSumX87<double>;
    static constexpr auto Copy = &CopyF64_x87;
    static constexpr auto Zero = &ZeroF64_x87;
    static constexpr auto Alloc = &AllocF64Direct;
    static constexpr auto Init = &FftInitAllocRealF64_x87;
    static constexpr auto BufSize = &FftGetBufSizeRealF64_x87;
    static constexpr auto Release = &FftFreeRealF64_x87;
    static constexpr auto Forward = &FftForwardRealF64Core_x87;
    static constexpr auto Inverse = &FftInverseRealF64Core_x87;
    static constexpr auto MulPack = &MulPackF64_x87;
};

template <>
struct Build<double, true> {
    using Spec = FftSpecRealF64;
    static constexpr std::int64_t directOutBelow = 512, directShortBelow = 64;
    static constexpr auto Direct = &ConvKernelF64_sse2;
    static constexpr auto Copy = &CopyF64_sse2;
    static constexpr auto Zero = &ZeroF64_sse2;
    static constexpr auto Alloc = &AllocF64Direct;
    static constexpr auto Init = &FftInitAllocRealF64_sse2;
    static constexpr auto BufSize = &FftGetBufSizeRealF64_sse2;
    static constexpr auto Release = &FftFreeRealF64_sse2;
    static constexpr auto Forward = &FftForwardRealF64Core_sse2;
    static constexpr auto Inverse = &FftInverseRealF64Core_sse2;
    static constexpr auto MulPack = &MulPackF64_sse2;
};

}  // namespace Prim::ConvolveBuilds
