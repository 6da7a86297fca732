#include <Primitives/Prim/Magnitude.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(AbsF32)
PRIM_BIND_VARIANT(AbsF64)
PRIM_BIND_VARIANT(AbsInPlaceF32)
PRIM_BIND_VARIANT(AbsInPlaceF64)
PRIM_BIND_VARIANT(MagnitudeC32)
PRIM_BIND_VARIANT(MagnitudeSplitF64)
PRIM_BIND_VARIANT(PowerSpectrumC32)
