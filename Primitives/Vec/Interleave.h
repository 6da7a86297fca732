#pragma once
#include <cstdint>

// Between one interleaved buffer and one buffer per channel. Nothing happens
// for 0 frames; other bad arguments are dropped silently.
namespace Vec {

void InterleaveF32(std::int32_t channels, std::int32_t frames, const float* const* channelBuffers, float* dst);
void DeinterleaveF32(std::int32_t channels, std::int32_t frames, const float* src, float* const* channelBuffers);

}  // namespace Vec
