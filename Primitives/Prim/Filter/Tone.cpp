#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Filter/Tone.h>

PRIM_BIND_VARIANT(ToneF32)
