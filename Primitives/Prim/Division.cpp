#include <Primitives/Prim/Division.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(DivConstInPlaceF32)
PRIM_BIND_VARIANT(DivConstInPlaceF64)
PRIM_BIND_VARIANT(DivInPlaceF32)
PRIM_BIND_VARIANT(DivInPlaceF64)
PRIM_BIND_VARIANT(DivConstRevF32)
