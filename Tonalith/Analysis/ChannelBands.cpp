#include <Tonalith/Analysis/ChannelBands.h>

#include <algorithm>
#include <limits>

namespace UI {

namespace {

// Extreme counts must not overflow the row arithmetic: saturate instead.
int ToInt(std::int64_t v) {
    return static_cast<int>(
        std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::int64_t BandHeight(std::uint32_t channels, int extent) {
    const std::int64_t c = channels;
    return (static_cast<std::int64_t>(extent) - 3 * (c - 1)) / c;
}

}  // namespace

RowBand ChannelBandRows(std::uint32_t channels, int extent, std::uint32_t index) {
    if (index >= channels) return RowBand{};
    const std::int64_t h = BandHeight(channels, extent);
    const std::int64_t top = (h + 3) * static_cast<std::int64_t>(index);
    return RowBand{ToInt(top), ToInt(top + h - 1)};
}

int BandTopRow(std::uint32_t channels, int extent) {
    if (channels == 0) return -1;
    return ToInt(BandHeight(channels, extent) - 1);
}

}  // namespace UI
