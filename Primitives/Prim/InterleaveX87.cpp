// Portable builds of the layout operations: frame by frame, each element
// copied as raw bytes so that no value passes through a float register.
#include <Primitives/Prim/Interleave.h>
#include <Primitives/Prim/InterleaveLayout.h>

#include <cstring>

namespace Prim {
namespace {

using InterleaveLayout::At;

struct X87 {
    template <class T>
    static void Interleave(const T* const* src, std::size_t k, std::size_t n, T* dst) {
        for (std::size_t f = 0; f < n; ++f) {
            for (std::size_t c = 0; c < k; ++c) {
                std::memcpy(&dst[At(f, k, c)], &src[c][f], sizeof(T));
            }
        }
    }

    template <class T>
    static void Deinterleave(const T* src, std::size_t k, std::size_t n, T* const* dst) {
        for (std::size_t f = 0; f < n; ++f) {
            for (std::size_t c = 0; c < k; ++c) {
                std::memcpy(&dst[c][f], &src[At(f, k, c)], sizeof(T));
            }
        }
    }
};

using Steps = InterleaveLayout::Steps<X87>;

}  // namespace

Status InterleaveS16_x87(
    const std::int16_t* const* src, std::int32_t channels, std::int32_t frames, std::int16_t* dst) {
    return Steps::Interleave(src, channels, frames, dst);
}
Status InterleaveF32_x87(const float* const* src, std::int32_t channels, std::int32_t frames, float* dst) {
    return Steps::Interleave(src, channels, frames, dst);
}
Status DeinterleaveS16_x87(
    const std::int16_t* src, std::int32_t channels, std::int32_t frames, std::int16_t* const* dst) {
    return Steps::Deinterleave(src, channels, frames, dst);
}
Status DeinterleaveF32_x87(const float* src, std::int32_t channels, std::int32_t frames, float* const* dst) {
    return Steps::Deinterleave(src, channels, frames, dst);
}

}  // namespace Prim
