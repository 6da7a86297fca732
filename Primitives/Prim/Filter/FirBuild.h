#pragma once
// What each build of the FIR family adds to its build's services: the tags of its element
// type, the length from which a single-rate state gets an FFT mode, the lanes of the
// lane-repeated taps, and its one-sample step. A state is only ever read by the build that
// made it.

#include <Primitives/Prim/BuildServices.h>
#include <Primitives/Prim/Filter/FirKernels.h>
#include <Primitives/Prim/Filter/FirState.h>

#include <cstdint>

namespace Prim {

template <class T, Build B>
struct FirBuild : BuildServices<T, B> {
    static constexpr bool isFloat = std::is_same_v<T, float>;
    static constexpr uint32_t singleTag = isFloat ? FirTagSingleF32 : FirTagSingleF64;
    static constexpr uint32_t multiTag = isFloat ? FirTagMultiF32 : FirTagMultiF64;
    static constexpr int32_t fftThreshold = isFloat ? 64 : 32;
    // The x87 states keep no lane-repeated taps.
    static constexpr int32_t lanes = B == Build::Sse2 ? int32_t{16 / sizeof(T)} : 0;
    static constexpr auto OneStep =
        PickFor<T, B>(&FirOneStepF32_x87, &FirOneStepF32_sse2, &FirOneStepF64_x87, &FirOneStepF64_sse2);
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
