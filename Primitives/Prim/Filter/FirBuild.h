#pragma once
// The services each build of the FIR family uses: its own build of copy, zero and fill,
// of the real FFT of its element type, and its filtering kernels. A state is only ever
// read by the build that made it.

#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Fft/FftRealF32.h>
#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Prim/Filter/FirKernels.h>
#include <Primitives/Prim/Filter/FirState.h>
#include <Primitives/Prim/Memory.h>

#include <cstdint>

namespace Prim {

template <class T, Build B>
struct FirBuild;

template <>
struct FirBuild<float, Build::X87> {
    using Value = float;
    static constexpr Build build = Build::X87;
    static constexpr uint32_t singleTag = FirTagSingleF32;
    static constexpr uint32_t multiTag = FirTagMultiF32;
    static constexpr int32_t fftThreshold = 64;
    static constexpr int32_t lanes = 0;
    static constexpr auto Copy = &CopyF32_x87;
    static constexpr auto Zero = &ZeroF32_x87;
    static constexpr auto SetS32 = &SetS32_x87;
    static constexpr auto FftInit = &FftInitAllocRealF32_x87;
    static constexpr auto FftBufSize = &FftGetBufSizeRealF32_x87;
    static constexpr auto FftFree = &FftFreeRealF32_x87;
    static constexpr auto Forward = &FftForwardRealF32Core_x87;
    static constexpr auto Inverse = &FftInverseRealF32Core_x87;
    static constexpr auto MulPack = &MulPackF32_x87;
    static constexpr auto OneStep = &FirOneStepF32_x87;
};

template <>
struct FirBuild<float, Build::Sse2> {
    using Value = float;
    static constexpr Build build = Build::Sse2;
    static constexpr uint32_t singleTag = FirTagSingleF32;
    static constexpr uint32_t multiTag = FirTagMultiF32;
    static constexpr int32_t fftThreshold = 64;
    static constexpr int32_t lanes = 4;
    static constexpr auto Copy = &CopyF32_sse2;
    static constexpr auto Zero = &ZeroF32_sse2;
    static constexpr auto SetS32 = &SetS32_sse2;
    static constexpr auto FftInit = &FftInitAllocRealF32_sse2;
    static constexpr auto FftBufSize = &FftGetBufSizeRealF32_sse2;
    static constexpr auto FftFree = &FftFreeRealF32_sse2;
    static constexpr auto Forward = &FftForwardRealF32Core_sse2;
    static constexpr auto Inverse = &FftInverseRealF32Core_sse2;
    static constexpr auto MulPack = &MulPackF32_sse2;
    static constexpr auto OneStep = &FirOneStepF32_sse2;
};

template <>
struct FirBuild<double, Build::X87> {
    using Value = double;
    static constexpr Build build = Build::X87;
    static constexpr uint32_t singleTag = FirTagSingleF64;
    static constexpr uint32_t multiTag = FirTagMultiF64;
    static constexpr int32_t fftThreshold = 32;
    static constexpr int32_t lanes = 0;
    static constexpr auto Copy = &CopyF64_x87;
    static constexpr auto Zero = &ZeroF64_x87;
    static constexpr auto SetS32 = &SetS32_x87;
    static constexpr auto FftInit = &FftInitAllocRealF64_x87;
    static constexpr auto FftBufSize = &FftGetBufSizeRealF64_x87;
    static constexpr auto FftFree = &FftFreeRealF64_x87;
    static constexpr auto Forward = &FftForwardRealF64Core_x87;
    static constexpr auto Inverse = &FftInverseRealF64Core_x87;
    static constexpr auto MulPack = &MulPackF64_x87;
    static constexpr auto OneStep = &FirOneStepF64_x87;
};

template <>
struct FirBuild<double, Build::Sse2> {
    using Value = double;
    static constexpr Build build = Build::Sse2;
    static constexpr uint32_t singleTag = FirTagSingleF64;
    static constexpr uint32_t multiTag = FirTagMultiF64;
    static constexpr int32_t fftThreshold = 32;
    static constexpr int32_t lanes = 2;
    static constexpr auto Copy = &CopyF64_sse2;
    static constexpr auto Zero = &ZeroF64_sse2;
    static constexpr auto SetS32 = &SetS32_sse2;
    static constexpr auto FftInit = &FftInitAllocRealF64_sse2;
    static constexpr auto FftBufSize = &FftGetBufSizeRealF64_sse2;
    static constexpr auto FftFree = &FftFreeRealF64_sse2;
    static constexpr auto Forward = &FftForwardRealF64Core_sse2;
    static constexpr auto Inverse = &FftInverseRealF64Core_sse2;
    static constexpr auto MulPack = &MulPackF64_sse2;
    static constexpr auto OneStep = &FirOneStepF64_sse2;
};

// Copies a count that callers may know to be 0 (nothing is copied then).
template <class B, class T>
void FirCopy(const T* src, T* dst, int64_t count) {
    if (count > 0) B::Copy(src, dst, static_cast<int32_t>(count));
}
template <class B, class T>
void FirZero(T* dst, int64_t count) {
    if (count > 0) B::Zero(dst, static_cast<int32_t>(count));
}

}  // namespace Prim
