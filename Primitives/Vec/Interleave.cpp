#include <Primitives/Vec/Interleave.h>

#include <Primitives/Prim/Interleave.h>

namespace Vec {

void InterleaveF32(std::int32_t channels, std::int32_t frames, const float* const* channelBuffers, float* dst) {
    if (frames != 0) Prim::InterleaveF32(channelBuffers, channels, frames, dst);
}

void DeinterleaveF32(std::int32_t channels, std::int32_t frames, const float* src, float* const* channelBuffers) {
    if (frames != 0) Prim::DeinterleaveF32(src, channels, frames, channelBuffers);
}

}  // namespace Vec
