#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculatorRender.h>

#include <algorithm>
#include <cmath>

namespace UI {
namespace {

std::uint8_t InterpolatedByte(float value) {
    if (!(value > 0.0f)) return 0;
    if (value > 255.0f) return 255;
    return static_cast<std::uint8_t>(std::nearbyint(value));
}

// A column position kept inside the computed columns (NaN gives 0).
float InColumns(float position, float lastColumn) { return position > 0.0f ? std::min(position, lastColumn) : 0.0f; }

float Lerp(float a, float b, float t) { return a + (b - a) * t; }

// A band clamped to the image's rows; top > bottom when nothing of it is inside.
SpectrogramRenderTarget::Band ClampBand(const SpectrogramRenderTarget& target, SpectrogramRenderTarget::Band band) {
    return {std::max(band.top, 0), std::min(band.bottom, target.height - 1)};
}

bool Usable(const SpectrogramRenderTarget& target) {
    if (target.spectra == nullptr || target.colours == nullptr || target.pixels == nullptr || target.width < 1 ||
        target.height < 1 || target.stride < target.width || target.bins < 1 || target.columns < 1)
        return false;
    const std::uint64_t need = target.columns * std::uint64_t(target.bins);
    const std::size_t channels = std::min(target.spectra->size(), target.bands.size());
    for (std::size_t c = 0; c < channels; ++c) {
        if ((*target.spectra)[c].size() < need) return false;
    }
    return true;
}

}  // namespace

int RenderSpectrogramNearest(const SpectrogramRenderTarget& target, std::uint64_t firstColumn,
    std::uint64_t visibleColumns, const SpectrogramRenderProgress& progress) {
    if (!Usable(target) || visibleColumns == 0) return kStepFinished;
    const std::size_t channels = std::min(target.spectra->size(), target.bands.size());
    const std::int64_t bins = target.bins;
    const float share = float(target.width) / float(visibleColumns);

    // Bin shown by each row offset of each band.
    std::vector<std::vector<std::int64_t>> rowBins(channels);
    for (std::size_t c = 0; c < channels; ++c) {
        const auto band = target.bands[c];
        if (band.bottom < band.top) continue;
        const std::int64_t span = std::int64_t(band.bottom) - band.top;
        rowBins[c].resize(std::size_t(span) + 1);
        for (std::int64_t d = 0; d <= span; ++d) {
            const double bin = span == 0 ? 0.0 : std::round(double(d) / double(span) * double(bins - 1));
            rowBins[c][std::size_t(d)] = std::clamp<std::int64_t>(static_cast<std::int64_t>(bin), 0, bins - 1);
        }
    }

    float a = 0.0f;
    for (std::uint64_t j = 0; j < visibleColumns; ++j) {
        const float percent = 100.0f * float(j) / float(visibleColumns);
        if (!progress(percent, static_cast<std::uint32_t>(float(target.width) * percent * 0.01f))) return kStepCutShort;
        const float x0f = std::round(a);
        const float x1f = std::round(a + share);
        a += share;
        const std::uint64_t column = firstColumn + j;
        // Past the computed columns the pixels stay as they were.
        if (column >= target.columns || x0f >= float(target.width)) break;
        const std::int32_t x0 = static_cast<std::int32_t>(std::max(0.0f, x0f));
        const std::int32_t x1 = static_cast<std::int32_t>(std::min(float(target.width), x1f));
        for (std::size_t c = 0; c < channels; ++c) {
            const auto band = target.bands[c];
            const auto rows = ClampBand(target, band);
            const std::uint8_t* spectrum = (*target.spectra)[c].data() + column * std::uint64_t(bins);
            for (std::int32_t y = band.top; y <= band.bottom; ++y) {
                const std::int32_t row = band.bottom - (y - band.top);
                if (row < rows.top || row > rows.bottom) continue;
                const std::uint32_t colour = (*target.colours)[spectrum[rowBins[c][std::size_t(y - band.top)]]];
                std::uint32_t* line = target.pixels + std::int64_t(row) * target.stride;
                for (std::int32_t x = x0; x < x1; ++x) line[x] = colour;
            }
        }
    }
    return kStepFinished;
}

namespace {

// The footprint maximum of one pixel in one channel's spectrum.
struct Footprint {
    const std::uint8_t* spectrum;
    std::int64_t bins;
    std::int64_t columns;

    int Cell(std::int64_t j, std::int64_t b) const { return spectrum[j * bins + b]; }

    // A bin position kept inside the table before it is truncated (NaN gives 0).
    float InBins(float position) const { return position > 0.0f ? std::min(position, float(bins - 1)) : 0.0f; }

    // Largest byte of column j over bins (bLo, bHi]; -1 when the range is empty.
    int ColumnMax(std::int64_t j, std::int64_t bLo, std::int64_t bHi) const {
        int m = -1;
        for (std::int64_t b = bLo + 1; b <= bHi; ++b) m = std::max(m, Cell(j, b));
        return m;
    }

    std::uint8_t Corner(std::int64_t j, std::int64_t j1, float fj, std::int64_t b, std::int64_t b1, float fb) const {
        const float low = Lerp(float(Cell(j, b)), float(Cell(j1, b)), fj);
        const float high = Lerp(float(Cell(j, b1)), float(Cell(j1, b1)), fj);
        return InterpolatedByte(Lerp(low, high, fb));
    }

    int Value(std::int64_t jL, float fL, std::int64_t jR, float fR, float lo, float hi) const {
        lo = InBins(lo);
        hi = InBins(hi);
        const std::int64_t bLo = std::clamp<std::int64_t>(static_cast<std::int64_t>(lo), 0, bins - 1);
        const std::int64_t bHi = std::clamp<std::int64_t>(static_cast<std::int64_t>(hi), bLo, bins - 1);
        const float fLo = std::clamp(lo - float(bLo), 0.0f, 1.0f);
        const float fHi = std::clamp(hi - float(bHi), 0.0f, 1.0f);
        const std::int64_t bLo1 = std::min(bLo + 1, bins - 1);
        const bool upper = bHi + 1 < bins;
        // With a single column the left edge has no right neighbour: it uses itself.
        const std::int64_t jL1 = std::min(jL + 1, columns - 1);
        const bool right = jR + 1 < columns;

        int v = 0;
        for (std::int64_t j = jL + 1; j <= jR; ++j) {
            v = std::max(v, ColumnMax(j, bLo, bHi));
            v = std::max<int>(v, InterpolatedByte(Lerp(float(Cell(j, bLo)), float(Cell(j, bLo1)), fLo)));
            if (upper) v = std::max<int>(v, InterpolatedByte(Lerp(float(Cell(j, bHi)), float(Cell(j, bHi + 1)), fHi)));
        }
        const int m0 = ColumnMax(jL, bLo, bHi);
        if (m0 >= 0) {
            v = std::max<int>(v, InterpolatedByte(Lerp(float(m0), float(ColumnMax(jL1, bLo, bHi)), fL)));
            if (right)
                v = std::max<int>(
                    v, InterpolatedByte(Lerp(float(ColumnMax(jR, bLo, bHi)), float(ColumnMax(jR + 1, bLo, bHi)), fR)));
        }
        v = std::max<int>(v, Corner(jL, jL1, fL, bLo, bLo1, fLo));
        if (upper) v = std::max<int>(v, Corner(jL, jL1, fL, bHi, bHi + 1, fHi));
        if (right) {
            v = std::max<int>(v, Corner(jR, jR + 1, fR, bLo, bLo1, fLo));
            if (upper) v = std::max<int>(v, Corner(jR, jR + 1, fR, bHi, bHi + 1, fHi));
        }
        return v;
    }
};

}  // namespace

int RenderSpectrogramFootprint(const SpectrogramRenderTarget& target, const std::vector<float>& positions,
    const std::vector<float>& rowLow, const std::vector<float>& rowHigh, const SpectrogramRenderProgress& progress) {
    if (!Usable(target) || positions.size() < std::size_t(target.width) || rowLow.empty() ||
        rowHigh.size() != rowLow.size())
        return kStepFinished;
    const std::size_t channels = std::min(target.spectra->size(), target.bands.size());
    const std::int64_t columns = static_cast<std::int64_t>(std::min<std::uint64_t>(target.columns, INT64_MAX / 2));
    const float lastColumn = float(columns - 1);
    const std::int64_t rows = static_cast<std::int64_t>(rowLow.size());

    for (std::int32_t x = 0; x < target.width; ++x) {
        const std::int32_t left = static_cast<std::int32_t>(float(x) - 0.5f);
        const float cL = InColumns(std::min(positions[std::size_t(left)], float(columns) - 1.0001f), lastColumn);
        const float cR = InColumns(positions[std::size_t(x)], lastColumn);
        const std::int64_t jL = static_cast<std::int64_t>(cL);
        const std::int64_t jR = static_cast<std::int64_t>(cR);
        const float fL = cL - float(jL);
        const float fR = cR - float(jR);
        for (std::size_t c = 0; c < channels; ++c) {
            const auto band = target.bands[c];
            const auto visible = ClampBand(target, band);
            const Footprint footprint{(*target.spectra)[c].data(), target.bins, columns};
            for (std::int32_t y = visible.top; y <= visible.bottom; ++y) {
                const std::int64_t i = std::clamp<std::int64_t>(std::int64_t(band.bottom) - y, 0, rows - 1);
                const int v = footprint.Value(jL, fL, jR, fR, rowLow[std::size_t(i)], rowHigh[std::size_t(i)]);
                target.pixels[std::int64_t(y) * target.stride + x] = (*target.colours)[std::size_t(v)];
            }
        }
        if (!progress(100.0f * float(x + 1) / float(target.width), static_cast<std::uint32_t>(x + 1)))
            return kStepCutShort;
    }
    return kStepFinished;
}

}  // namespace UI
