#include <Primitives/Prim/ExpLnF32.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(ExpF32)
PRIM_BIND_VARIANT(LnF32)
