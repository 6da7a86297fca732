#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Filter/Iir.h>

PRIM_BIND_VARIANT(IirOneF32)
PRIM_BIND_VARIANT(IirOneF64)
PRIM_BIND_VARIANT(IirF32)
PRIM_BIND_VARIANT(IirF64)
PRIM_BIND_VARIANT(IirInPlaceF32)
PRIM_BIND_VARIANT(IirInPlaceF64)
