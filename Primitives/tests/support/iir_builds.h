#pragma once
// The two builds of the recursive filters on each element type, and a reference that runs the
// same filters on long doubles.

#include <Primitives/Prim/Filter/Iir.h>

#include <cstdint>
#include <vector>

namespace IirTest {

template <class T>
struct Ops {
    const char* name;
    bool sse2;
    Prim::Status (*init)(Prim::IirState<T>**, const T*, std::int32_t, const T*);
    Prim::Status (*initBiquad)(Prim::IirState<T>**, const T*, std::int32_t, const T*);
    Prim::Status (*getDly)(const Prim::IirState<T>*, T*);
    Prim::Status (*setDly)(Prim::IirState<T>*, const T*);
    Prim::Status (*release)(Prim::IirState<T>*);
    Prim::Status (*one)(T, T*, Prim::IirState<T>*);
    Prim::Status (*filter)(const T*, T*, std::int32_t, Prim::IirState<T>*);
    Prim::Status (*inPlace)(T*, std::int32_t, Prim::IirState<T>*);
};

#define IIR_TEST_OPS(T, P, s)                                                                                    \
    Ops<T> {                                                                                                     \
#s + 1,                                                                                                  \
            #s[1] == 's', Prim::IirInitAlloc##P##s, Prim::IirInitAllocBiquad##P##s, Prim::IirGetDelayLine##P##s, \
                Prim::IirSetDelayLine##P##s, Prim::IirFree##P##s, Prim::IirOne##P##s, Prim::Iir##P##s,           \
                Prim::IirInPlace##P##s                                                                           \
    }

template <class T>
std::vector<Ops<T>> Builds() {
    if constexpr (sizeof(T) == 4) {
        return {IIR_TEST_OPS(float, F32, _x87), IIR_TEST_OPS(float, F32, _sse2)};
    } else {
        return {IIR_TEST_OPS(double, F64, _x87), IIR_TEST_OPS(double, F64, _sse2)};
    }
}
#undef IIR_TEST_OPS

// Outputs and final transposed delay line of a direct form (b0..bN, a0..aN) or of a cascade (six
// taps per section) from a zero delay line, in long double.
struct Reference {
    std::vector<long double> y;
    std::vector<long double> dly;
};
Reference DirectReference(const std::vector<long double>& taps, const std::vector<long double>& x);
Reference CascadeReference(const std::vector<long double>& taps, const std::vector<long double>& x);

}  // namespace IirTest
