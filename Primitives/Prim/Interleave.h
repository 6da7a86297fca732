#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// Conversion between the interleaved layout (frame f, channel c at
// f * channels + c) and one buffer per channel. Elements move as bit patterns.
// A buffer or channel pointer off a 16-byte boundary gives the warning
// StatusMisalignedWarning after a complete move.
namespace Prim {

Status InterleaveS16_x87(const std::int16_t* const* src, std::int32_t channels, std::int32_t frames, std::int16_t* dst);
Status InterleaveS16_sse2(
    const std::int16_t* const* src, std::int32_t channels, std::int32_t frames, std::int16_t* dst);
Status InterleaveF32_x87(const float* const* src, std::int32_t channels, std::int32_t frames, float* dst);
Status InterleaveF32_sse2(const float* const* src, std::int32_t channels, std::int32_t frames, float* dst);
Status DeinterleaveS16_x87(
    const std::int16_t* src, std::int32_t channels, std::int32_t frames, std::int16_t* const* dst);
Status DeinterleaveS16_sse2(
    const std::int16_t* src, std::int32_t channels, std::int32_t frames, std::int16_t* const* dst);
Status DeinterleaveF32_x87(const float* src, std::int32_t channels, std::int32_t frames, float* const* dst);
Status DeinterleaveF32_sse2(const float* src, std::int32_t channels, std::int32_t frames, float* const* dst);

// Entry points through the start-up binding.
Status InterleaveF32(const float* const* src, std::int32_t channels, std::int32_t frames, float* dst);
Status DeinterleaveF32(const float* src, std::int32_t channels, std::int32_t frames, float* const* dst);

}  // namespace Prim
