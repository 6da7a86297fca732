#pragma once
// The two builds of the filter and generator operations, for suites parameterised over them.

#include "prim_vectors.h"

#include <Primitives/Prim/Filter/DotProd.h>
#include <Primitives/Prim/Filter/Ramp.h>
#include <Primitives/Prim/Filter/Random.h>
#include <Primitives/Prim/Filter/Sample.h>
#include <Primitives/Prim/Filter/Tone.h>

#include <cstdint>

namespace FilterTest {

template <class T>
using Resample = Prim::Status (*)(const T*, std::int32_t, T*, std::int32_t*, std::int32_t, std::int32_t*);

struct Build : PrimTest::BuildInfo {
    Prim::Status (*dotF32)(const float*, const float*, std::int32_t, float*);
    Prim::Status (*dotF64)(const double*, const double*, std::int32_t, double*);
    Resample<float> upF32, downF32;
    Resample<double> upF64, downF64;
    Prim::Status (*ramp)(float*, std::int32_t, float, float);
    Prim::Status (*tone)(float*, std::int32_t, float, float, float*, std::int32_t);
    Prim::Status (*uniformInit)(Prim::RandUniformStateF32**, float, float, std::uint32_t);
    Prim::Status (*uniform)(float*, std::int32_t, Prim::RandUniformStateF32*);
    Prim::Status (*uniformFree)(Prim::RandUniformStateF32*);
    Prim::Status (*gaussInit)(Prim::RandGaussStateF32**, float, float, std::uint32_t);
    Prim::Status (*gauss)(float*, std::int32_t, Prim::RandGaussStateF32*);
    Prim::Status (*gaussFree)(Prim::RandGaussStateF32*);
};

#define FILTER_TEST_BUILD(name, sse2, s)                                                                      \
    Build {                                                                                                   \
        {name, sse2}, Prim::DotProdF32##s, Prim::DotProdF64##s, Prim::UpSampleF32##s, Prim::DownSampleF32##s, \
            Prim::UpSampleF64##s, Prim::DownSampleF64##s, Prim::RampF32##s, Prim::ToneF32##s,                 \
            Prim::RandUniformInitAllocF32##s, Prim::RandUniformF32##s, Prim::RandUniformFreeF32##s,           \
            Prim::RandGaussInitAllocF32##s, Prim::RandGaussF32##s, Prim::RandGaussFreeF32##s                  \
    }

inline const Build Builds[] = {FILTER_TEST_BUILD("x87", false, _x87), FILTER_TEST_BUILD("sse2", true, _sse2)};
#undef FILTER_TEST_BUILD

}  // namespace FilterTest
