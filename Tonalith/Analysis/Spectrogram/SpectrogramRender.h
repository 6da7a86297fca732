#pragma once
#include <Tonalith/Analysis/AudioCalculator.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramColourTable.h>
#include <Tonalith/Analysis/Spectrogram/SpectrumAllocator.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace UI {

// Reports the render progress in percent with the image columns done; false to stop.
using SpectrogramRenderProgress = std::function<bool(float percent, std::uint32_t columns)>;

// What a render reads and where it writes. Every index it computes is clamped to these
// sizes, so no view can make it read or write outside them.
struct SpectrogramRenderTarget {
    const SpectrogramSpectra* spectra = nullptr;  // one per channel
    std::uint64_t columns = 0;  // K
    std::int64_t bins = 0;  // B
    const SpectrogramColourTable* colours = nullptr;
    std::uint32_t* pixels = nullptr;
    std::int32_t stride = 0;  // pixels per row
    std::int32_t width = 0;
    std::int32_t height = 0;
    struct Band {
        std::int32_t top;
        std::int32_t bottom;
    };
    std::vector<Band> bands;  // one per channel, rows from the top
};

// Nearest bin: spectrum column s0 + j fills the image columns of its share of the width;
// bins spread linearly over each band, 0 Hz at the bottom. Returns kStepFinished, or kStepCutShort when cancelled.
int RenderSpectrogramNearest(const SpectrogramRenderTarget& target, std::uint64_t firstColumn,
    std::uint64_t visibleColumns, const SpectrogramRenderProgress& progress);

// Footprint maximum: each pixel shows the largest byte over its footprint in columns
// [P(x - 1), P(x)] and bins [rowLow, rowHigh], edges and corners interpolated.
// positions: P(x) per image column; rowLow/rowHigh: bin edges per row of a band, bottom up.
// On more than one thread the progress comes from the calling thread every few columns.
int RenderSpectrogramFootprint(const SpectrogramRenderTarget& target, const std::vector<float>& positions,
    const std::vector<float>& rowLow, const std::vector<float>& rowHigh, const SpectrogramRenderProgress& progress,
    std::uint32_t threads = 1);

}  // namespace UI
