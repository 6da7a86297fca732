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

}  // namespace Prim::InterleaveLayout
