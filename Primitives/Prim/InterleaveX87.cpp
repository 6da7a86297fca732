// Portable builds of the layout operations: frame by frame, each element
// copied as raw bytes so that no value passes through a float register.
#include <Primitives/Prim/Interleave.h>
#include <Primitives/Prim/InterleaveLayout.h>

#include <cstring>

namespace Prim {
namespace {

using InterleaveLayout::At;

template <class T>
Status Interleave(const T* const* src, std::int32_t channels, std::int32_t frames, T* dst) {
    const Status status = InterleaveLayout::Check(src, dst, channels, frames);
    if (IsError(status)) return status;
    const std::size_t n = static_cast<std::size_t>(frames);
    const std::size_t k = static_cast<std::size_t>(channels);
    for (std::size_t f = 0; f < n; ++f) {
        for (std::size_t c = 0; c < k; ++c) {
            std::memcpy(&dst[At(f, k, c)], &src[c][f], sizeof(T));
        }
    }
    return status;
}

template <class T>
Status Deinterleave(const T* src, std::int32_t channels, std::int32_t frames, T* const* dst) {
    const Status status = InterleaveLayout::Check(dst, src, channels, frames);
    if (IsError(status)) return status;
    const std::size_t n = static_cast<std::size_t>(frames);
    const std::size_t k = static_cast<std::size_t>(channels);
    for (std::size_t f = 0; f < n; ++f) {
        for (std::size_t c = 0; c < k; ++c) {
            std::memcpy(&dst[c][f], &src[At(f, k, c)], sizeof(T));
        }
    }
    return status;
}

}  // namespace

Status InterleaveS16_x87(
    const std::int16_t* const* src, std::int32_t channels, std::int32_t frames, std::int16_t* dst) {
    return Interleave(src, channels, frames, dst);
}
Status InterleaveF32_x87(const float* const* src, std::int32_t channels, std::int32_t frames, float* dst) {
    return Interleave(src, channels, frames, dst);
}
Status DeinterleaveS16_x87(
    const std::int16_t* src, std::int32_t channels, std::int32_t frames, std::int16_t* const* dst) {
    return Deinterleave(src, channels, frames, dst);
}
Status DeinterleaveF32_x87(const float* src, std::int32_t channels, std::int32_t frames, float* const* dst) {
    return Deinterleave(src, channels, frames, dst);
}

}  // namespace Prim
