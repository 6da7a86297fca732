#include <Primitives/Prim/Normalize.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(NormalizeF32)
PRIM_BIND_VARIANT(NormalizeF64)
