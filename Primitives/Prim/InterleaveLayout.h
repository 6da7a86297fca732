#pragma once
#include <Primitives/Prim/SimdLanes.h>
#include <Primitives/Prim/Status.h>

#include <cstddef>
#include <cstdint>

// The checks and the status that both builds of the layout operations share.
namespace Prim::InterleaveLayout {

// Null pointers first, then the counts, then the alignment warning.
template <class Channel, class Buffer>
Status Check(Channel* const* channelPointers, const Buffer* interleaved, std::int32_t channels, std::int32_t frames) {
    if (channelPointers == nullptr || interleaved == nullptr) return StatusNullPointer;
    if (channels < 1 || frames < 1) return StatusSizeError;
    if (!SimdLanes::Aligned16(interleaved)) return StatusMisalignedWarning;
    for (std::int32_t c = 0; c < channels; ++c) {
        if (!SimdLanes::Aligned16(channelPointers[c])) return StatusMisalignedWarning;
    }
    return StatusOk;
}

// Index of (frame, channel) in the interleaved buffer, in size_t so that
// frames * channels cannot wrap.
inline std::size_t At(std::size_t frame, std::size_t channels, std::size_t channel) {
    return frame * channels + channel;
}

// The four operations of both builds, checked in one order and answering the status of the
// checks. A build brings its moves as K, over counts that have passed the checks:
//   static void Interleave(const T* const* src, size_t channels, size_t frames, T* dst)
//   static void Deinterleave(const T* src, size_t channels, size_t frames, T* const* dst)
template <class K>
struct Steps {
    template <class T>
    static Status Interleave(const T* const* src, std::int32_t channels, std::int32_t frames, T* dst) {
        const Status status = Check(src, dst, channels, frames);
        if (IsError(status)) return status;
        K::Interleave(src, static_cast<std::size_t>(channels), static_cast<std::size_t>(frames), dst);
        return status;
    }

    template <class T>
    static Status Deinterleave(const T* src, std::int32_t channels, std::int32_t frames, T* const* dst) {
        const Status status = Check(dst, src, channels, frames);
        if (IsError(status)) return status;
        K::Deinterleave(src, static_cast<std::size_t>(channels), static_cast<std::size_t>(frames), dst);
        return status;
    }
};

}  // namespace Prim::InterleaveLayout
