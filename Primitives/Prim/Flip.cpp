#include <Primitives/Prim/Flip.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(FlipInPlaceF32)
PRIM_BIND_VARIANT(FlipInPlaceF64)
PRIM_BIND_VARIANT(FlipF32)
PRIM_BIND_VARIANT(FlipF64)
