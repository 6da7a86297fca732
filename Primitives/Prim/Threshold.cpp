#include <Primitives/Prim/Threshold.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(ThresholdLtGtInPlaceF32)
PRIM_BIND_VARIANT(ThresholdLtInPlaceF32)
PRIM_BIND_VARIANT(ThresholdLtInPlaceF64)
PRIM_BIND_VARIANT(ThresholdGtInPlaceF32)
PRIM_BIND_VARIANT(ThresholdGtInPlaceF64)
