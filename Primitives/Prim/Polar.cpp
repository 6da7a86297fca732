#include <Primitives/Prim/Polar.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(PolarToCartC32)
PRIM_BIND_VARIANT(CartToPolarC32)
PRIM_BIND_VARIANT(NormL2F32)
