#include <Primitives/Prim/ByteCompare.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(EqualU8)
