#include <Primitives/Prim/Interleave.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(InterleaveS16)
PRIM_BIND_VARIANT(InterleaveF32)
PRIM_BIND_VARIANT(DeinterleaveS16)
PRIM_BIND_VARIANT(DeinterleaveF32)

namespace Prim {

Status InterleaveF32(const float* const* src, std::int32_t channels, std::int32_t frames, float* dst) {
    return BoundVariant<Pair::InterleaveF32>(&InterleaveF32_x87, &InterleaveF32_sse2)(src, channels, frames, dst);
}
Status DeinterleaveF32(const float* src, std::int32_t channels, std::int32_t frames, float* const* dst) {
    return BoundVariant<Pair::DeinterleaveF32>(&DeinterleaveF32_x87, &DeinterleaveF32_sse2)(src, channels, frames, dst);
}

}  // namespace Prim
