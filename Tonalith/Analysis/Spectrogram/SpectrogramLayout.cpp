#include <Tonalith/Analysis/Spectrogram/SpectrogramLayout.h>

namespace UI {

SpectrogramLayout SpectrogramLayout::Make(
    std::uint32_t type, std::int32_t sizeOrder, std::int32_t extraOrder, std::int32_t overlapFactor) {
    SpectrogramLayout layout;
    layout.type = type;
    layout.n = std::int64_t(1) << sizeOrder;
    const std::int32_t spread = type == SpectrogramStft ? 0 : kShortestFrame;
    layout.frameLength = layout.n << spread;
    layout.fftOrder = sizeOrder + extraOrder + spread;
    layout.fftLength = std::int64_t(1) << layout.fftOrder;
    layout.bins = layout.fftLength / 2 + 1;
    layout.overlap = overlapFactor;
    layout.hop = layout.n / overlapFactor;
    return layout;
}

std::uint64_t SpectrogramLayout::Columns(std::uint64_t length) const {
    if (hop <= 0) return 0;
    const std::uint64_t h = std::uint64_t(hop);
    return length / h + (length % h != 0 ? 1u : 0u);
}

}  // namespace UI
