#include <Primitives/Prim/Reciprocal.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(InvThreshInPlaceF32)
PRIM_BIND_VARIANT(InvThreshInPlaceF64)
PRIM_BIND_VARIANT(InvThreshInPlaceC32)
PRIM_BIND_VARIANT(InvThreshInPlaceC64)
