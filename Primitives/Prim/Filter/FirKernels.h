#pragma once
// The multiply-accumulate kernels of the FIR family, one set per build. They trust their
// arguments; the filtering operations check them.

#include <Primitives/Prim/Filter/FirState.h>

#include <cstdint>

namespace Prim {

// One sample through a single-rate state's doubled ring.
void FirOneStepF32_x87(FirStateF32* state, float src, float* dst);
void FirOneStepF32_sse2(FirStateF32* state, float src, float* dst);
void FirOneStepF64_x87(FirStateF64* state, double src, double* dst);
void FirOneStepF64_sse2(FirStateF64* state, double src, double* dst);

// dst[j] = sum over k < tapsLen of tapsRev[k] * w[j + k], for j < count; dst must not
// overlap w. The x87 build sums at least in double precision and rounds once; the SSE2
// build reads the lane-repeated taps and sums in the element type.
template <class T>
void FirDirectX87(const T* tapsRev, const T* w, T* dst, int64_t count, int32_t tapsLen);
template <class T>
void FirDirectSse2(const T* tapsLanes, const T* w, T* dst, int64_t count, int32_t tapsLen);

// A multirate working sequence: sample index i lives at data[i - first].
template <class T>
struct FirMrSequence {
    const T* data;
    int64_t first;
    T operator[](int64_t i) const { return data[i - first]; }
};

// Block kernels make whole cycles of outputs (count a multiple of 4 * upFactor) without
// bound tests; remainder kernels make any count, one output at a time, skipping every
// sample at or above `bound`. Both start at the cycle start `pos` and return the position
// they reached.
template <class T>
int64_t FirMrBlockX87(const FirState<T>& state, FirMrSequence<T> seq, T* dst, int64_t count, int64_t pos);
template <class T>
int64_t FirMrRestX87(const FirState<T>& state, FirMrSequence<T> seq, T* dst, int64_t count, int64_t pos, int64_t bound);
template <class T>
int64_t FirMrBlockSse2(const FirState<T>& state, FirMrSequence<T> seq, T* dst, int64_t count, int64_t pos);
template <class T>
int64_t FirMrRestSse2(
    const FirState<T>& state, FirMrSequence<T> seq, T* dst, int64_t count, int64_t pos, int64_t bound);

}  // namespace Prim
