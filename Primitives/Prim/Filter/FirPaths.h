#pragma once
// The filtering paths of one build: the direct form, overlap-save through the FFT and the
// multirate driver. Arguments are checked by the filtering operations.

#include <Primitives/Prim/Filter/FirBuild.h>

#include <cstdint>

namespace Prim {

// Single-rate, n >= 1 outputs; dst must not overlap src.
template <class B>
void FirDirectForm(FirState<typename B::Value>* state, const typename B::Value* src, typename B::Value* dst, int64_t n);
template <class B>
Status FirFftPath(FirState<typename B::Value>* state, const typename B::Value* src, typename B::Value* dst, int64_t n);
// Multirate, numIters >= 1: reads downFactor * numIters samples, writes upFactor * numIters.
template <class B>
Status FirMultirate(
    FirState<typename B::Value>* state, const typename B::Value* src, typename B::Value* dst, int32_t numIters);

// The direct-form kernel of the build over a working sequence.
template <class B>
void FirDirectKernel(
    const FirState<typename B::Value>& state, const typename B::Value* w, typename B::Value* dst, int64_t count) {
    if constexpr (B::build == Build::X87) {
        FirDirectX87(state.tapsRev, w, dst, count, state.tapsLen);
    } else {
        FirDirectSse2(state.tapsLanes, w, dst, count, state.tapsLen);
    }
}

}  // namespace Prim
