#pragma once
// The services that one build's operations call of their own build: clearing and filling,
// copy, allocation of the element type, and the real FFT of the element type with its
// packed-layout cores. A family's policy derives from BuildServices<T, B> and adds its own
// kernels; nothing inside the library calls another build's service or goes through the
// dispatch table.
#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Fft/FftRealF32.h>
#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Prim/Memory.h>

#include <type_traits>

namespace Prim {

// One build's table of listed operations.
template <Build B>
inline constexpr const BuildOps& OpsOf = B == Build::Sse2 ? Sse2Ops : X87Ops;

// A build's own one of a pair that the list does not hold (internal cores and kernels).
template <Build B, class V>
constexpr V Pick(V x87, V sse2) {
    return B == Build::Sse2 ? sse2 : x87;
}

// The same over the four combinations of element type and build.
template <class T, Build B, class F32, class F64>
constexpr auto PickFor(F32 x87F32, F32 sse2F32, F64 x87F64, F64 sse2F64) {
    if constexpr (std::is_same_v<T, float>) {
        return Pick<B>(x87F32, sse2F32);
    } else {
        return Pick<B>(x87F64, sse2F64);
    }
}

template <Build B>
struct BuildBasics {
    static constexpr Build build = B;
    static constexpr FftBuild fftBuild = B == Build::Sse2 ? FftBuild::Sse2 : FftBuild::X87;
    static constexpr auto ZeroBytes = OpsOf<B>.ZeroU8;
    static constexpr auto SetS32 = OpsOf<B>.SetS32;
};

template <class T, Build B>
struct BuildServices;

template <Build B>
struct BuildServices<float, B> : BuildBasics<B> {
    using Value = float;
    using Spec = FftSpecRealF32;
    static constexpr auto Copy = OpsOf<B>.CopyF32;
    static constexpr auto Zero = OpsOf<B>.ZeroF32;
    static constexpr auto MulConst = OpsOf<B>.MulConstF32;
    static constexpr auto Alloc = &AllocF32Direct;
    static constexpr auto FftInit = OpsOf<B>.FftInitAllocRealF32;
    static constexpr auto FftBufSize = OpsOf<B>.FftGetBufSizeRealF32;
    static constexpr auto FftFree = OpsOf<B>.FftFreeRealF32;
    // Half-spectrum layout (N + 2 values on the frequency side).
    static constexpr auto FftForward = OpsOf<B>.FftForwardRealF32;
    static constexpr auto FftInverse = OpsOf<B>.FftInverseRealF32;
    // Packed layout (N values), and the product of two packed spectra.
    static constexpr auto ForwardPacked = Pick<B>(&FftForwardRealF32Core_x87, &FftForwardRealF32Core_sse2);
    static constexpr auto InversePacked = Pick<B>(&FftInverseRealF32Core_x87, &FftInverseRealF32Core_sse2);
    static constexpr auto MulPack = Pick<B>(&MulPackF32_x87, &MulPackF32_sse2);
};

template <Build B>
struct BuildServices<double, B> : BuildBasics<B> {
    using Value = double;
    using Spec = FftSpecRealF64;
    static constexpr auto Copy = OpsOf<B>.CopyF64;
    static constexpr auto Zero = OpsOf<B>.ZeroF64;
    static constexpr auto MulConst = OpsOf<B>.MulConstF64;
    static constexpr auto Alloc = &AllocF64Direct;
    static constexpr auto FftInit = OpsOf<B>.FftInitAllocRealF64;
    static constexpr auto FftBufSize = OpsOf<B>.FftGetBufSizeRealF64;
    static constexpr auto FftFree = OpsOf<B>.FftFreeRealF64;
    static constexpr auto FftForward = OpsOf<B>.FftForwardRealF64;
    static constexpr auto FftInverse = OpsOf<B>.FftInverseRealF64;
    static constexpr auto ForwardPacked = Pick<B>(&FftForwardRealF64Core_x87, &FftForwardRealF64Core_sse2);
    static constexpr auto InversePacked = Pick<B>(&FftInverseRealF64Core_x87, &FftInverseRealF64Core_sse2);
    static constexpr auto MulPack = Pick<B>(&MulPackF64_x87, &MulPackF64_sse2);
};

}  // namespace Prim
