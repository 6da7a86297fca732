#include <Primitives/Prim/ComplexProduct.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(MulInPlaceC32)
PRIM_BIND_VARIANT(MulInPlaceC64)
PRIM_BIND_VARIANT(MulC32)
