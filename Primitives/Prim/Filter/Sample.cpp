#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Filter/Sample.h>

PRIM_BIND_VARIANT(UpSampleF32)
PRIM_BIND_VARIANT(UpSampleF64)
PRIM_BIND_VARIANT(DownSampleF32)
PRIM_BIND_VARIANT(DownSampleF64)
