#include <Primitives/Prim/Interleave.h>

#include <Primitives/Prim/Dispatch.h>

PRIM_BIND_VARIANT(40, InterleaveS16)
PRIM_BIND_VARIANT(41, InterleaveF32)
PRIM_BIND_VARIANT(42, DeinterleaveS16)
PRIM_BIND_VARIANT(43, DeinterleaveF32)

namespace Prim {

Status InterleaveF32(const float* const* src, std::int32_t channels, std::int32_t frames, float* dst) {
    return BoundVariant<41>(&InterleaveF32_x87, &InterleaveF32_sse2)(src, channels, frames, dst);
}
Status DeinterleaveF32(const float* src, std::int32_t channels, std::int32_t frames, float* const* dst) {
    return BoundVariant<43>(&DeinterleaveF32_x87, &DeinterleaveF32_sse2)(src, channels, frames, dst);
}

}  // namespace Prim
