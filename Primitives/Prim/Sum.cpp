#include <Primitives/Prim/Sum.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(SumF32)

namespace Prim {

Status SumF32(const float* src, std::int32_t len, float* sum, SumAccuracyHint hint) {
    return BoundVariant<Pair::SumF32>(&SumF32_x87, &SumF32_sse2)(src, len, sum, hint);
}

}  // namespace Prim
