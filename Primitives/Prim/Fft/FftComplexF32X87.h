#pragma once
// Complex floats of the x87 build carried as complex doubles: loaded widened, rounded to
// float only when stored, as that build keeps its sums in registers wider than a float.

#include <Primitives/Prim/Fft/FftComplexX87.h>

namespace Prim::FftX87 {

typedef float Pair32 __attribute__((vector_size(8)));

inline Cplx LoadF32(const float* p) {
    Pair32 v;
    __builtin_memcpy(&v, p, sizeof v);
    return __builtin_convertvector(v, Cplx);
}

inline void StoreF32(float* p, Cplx v) {
    const Pair32 f = __builtin_convertvector(v, Pair32);
    __builtin_memcpy(p, &f, sizeof f);
}

// The value a store and a reload would give.
inline Cplx RoundToFloat(Cplx v) { return __builtin_convertvector(__builtin_convertvector(v, Pair32), Cplx); }

template <bool Conjugate>
inline Root LoadRootF32(const float* w) {
    return MakeRoot<Conjugate>(w[0], w[1]);
}

}  // namespace Prim::FftX87
