#pragma once
#include <Tonalith/Analysis/ValueRange.h>

#include <cstdint>

namespace UI {

// Channels stacked from the top of an extent of `extent` rows with 3-row gaps:
// band height h = (extent - 3·(channels - 1)) / channels, channel i at rows
// {(h + 3)·i, (h + 3)·i + h - 1}. An index at or past the count gives {1, 0}.
RowBand ChannelBandRows(std::uint32_t channels, int extent, std::uint32_t index);

// h - 1, the top row of a band counted upwards from its bottom; -1 without channels.
int BandTopRow(std::uint32_t channels, int extent);

}  // namespace UI
