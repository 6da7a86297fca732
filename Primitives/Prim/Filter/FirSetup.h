#pragma once
// The single-rate state builder of each build, shared by the single-rate set-up and by the
// multirate set-up when both factors are 1.

#include <Primitives/Prim/Filter/FirState.h>

#include <cstdint>

namespace Prim {

// Builds a single-rate state from checked arguments. *state is written only on success;
// on failure everything allocated is released and the status says what failed.
template <class B>
Status FirStateInit(FirState<typename B::Value>** state, const typename B::Value* taps, int32_t tapsLen,
    const typename B::Value* dlyLine);

}  // namespace Prim
