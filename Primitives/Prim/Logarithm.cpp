#include <Primitives/Prim/Logarithm.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(LnInPlaceF32)
PRIM_BIND_VARIANT(LnF64)
