#include <Primitives/Prim/ScaledInt.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(AddConstInPlaceScaledS32)
PRIM_BIND_VARIANT(AddInPlaceScaledS16)
PRIM_BIND_VARIANT(AddConstScaledS32)
PRIM_BIND_VARIANT(MulConstInPlaceScaledS16)
