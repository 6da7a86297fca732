#pragma once
// What the kernels read of a real-FFT record: its tables by slot, its bit-reversal table and
// the scale flag of a direction.

#include <Primitives/Prim/Fft/FftSpec.h>

#include <cstdint>

namespace Prim {

template <typename T>
inline const T* FftTable(const FftSpecReal<T>* spec, int slot) {
    return static_cast<const T*>(spec->tables[slot]);
}

template <typename T>
inline const int32_t* FftBitRev(const FftSpecReal<T>* spec) {
    return static_cast<const int32_t*>(spec->tables[FftSlotBitRev]);
}

template <bool Inverse, typename T>
inline bool FftScaleFlag(const FftSpecReal<T>* spec) {
    return (Inverse ? spec->scaleInverse : spec->scaleForward) != 0;
}

}  // namespace Prim
