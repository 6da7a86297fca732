#include <Tonalith/Analysis/Spectrogram/SpectrogramRender.h>

#include <Tonalith/Analysis/Spectrogram/SpectrogramParallel.h>

#include <algorithm>
#include <atomic>
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

// A row's bin interval, kept inside the table (NaN gives 0), and what its edges need.
struct RowBins {
    std::int64_t bLo, bHi, bLo1;
    float fLo, fHi;
    bool upper;  // bHi + 1 < bins: the upper edge and corners exist

    RowBins(float lo, float hi, std::int64_t bins) {
        lo = lo > 0.0f ? std::min(lo, float(bins - 1)) : 0.0f;
        hi = hi > 0.0f ? std::min(hi, float(bins - 1)) : 0.0f;
        bLo = std::clamp<std::int64_t>(static_cast<std::int64_t>(lo), 0, bins - 1);
        bHi = std::clamp<std::int64_t>(static_cast<std::int64_t>(hi), bLo, bins - 1);
        fLo = std::clamp(lo - float(bLo), 0.0f, 1.0f);
        fHi = std::clamp(hi - float(bHi), 0.0f, 1.0f);
        bLo1 = std::min(bLo + 1, bins - 1);
        upper = bHi + 1 < bins;
    }
};

// The footprint maximum of the pixels of one image column in one channel's spectrum. The
// columns strictly inside the footprint, (jL, jR], are read once for the whole image
// column into a per-bin maximum; a row goes back to them only for an interpolated edge
// that this maximum says could raise its value.
class FootprintColumn {
public:
    FootprintColumn(
        const std::uint8_t* spectrum, std::int64_t bins, std::int64_t columns, std::vector<std::uint8_t>& inner)
        : m_spectrum(spectrum), m_bins(bins), m_columns(columns), m_inner(inner) {}

    void Start(std::int64_t jL, float fL, std::int64_t jR, float fR) {
        m_jL = jL;
        m_jR = jR;
        m_fL = fL;
        m_fR = fR;
        // With a single column the left edge has no right neighbour: it uses itself.
        m_jL1 = std::min(jL + 1, m_columns - 1);
        m_right = jR + 1 < m_columns;
        m_edgeBin = -1;
        if (jR <= jL) return;
        std::uint8_t* __restrict inner = m_inner.data();
        const std::int64_t bins = m_bins;
        std::copy_n(Column(jL + 1), bins, inner);
        for (std::int64_t j = jL + 2; j <= jR; ++j) {
            const std::uint8_t* __restrict column = Column(j);
            for (std::int64_t b = 0; b < bins; ++b) inner[b] = std::max(inner[b], column[b]);
        }
    }

    int Value(const RowBins& row) {
        const std::int64_t bLo = row.bLo, bHi = row.bHi, bLo1 = row.bLo1;
        int v = 0;
        if (m_jR > m_jL) {
            const std::uint8_t* inner = m_inner.data();
            for (std::int64_t b = bLo + 1; b <= bHi; ++b) v = std::max<int>(v, inner[b]);
            // An interpolated value lies between its two cells. The lower edge of one row is
            // the upper edge of the row below, which comes next.
            if (std::max(inner[bLo], inner[bLo1]) > v) v = std::max(v, EdgeMax(bLo, bLo1, row.fLo));
            if (row.upper && std::max(inner[bHi], inner[bHi + 1]) > v) v = std::max(v, EdgeMax(bHi, bHi + 1, row.fHi));
        }
        const int m0 = ColumnMax(m_jL, bLo, bHi);
        if (m0 >= 0) {
            v = std::max<int>(v, InterpolatedByte(Lerp(float(m0), float(ColumnMax(m_jL1, bLo, bHi)), m_fL)));
            if (m_right)
                v = std::max<int>(v,
                    InterpolatedByte(
                        Lerp(float(ColumnMax(m_jR, bLo, bHi)), float(ColumnMax(m_jR + 1, bLo, bHi)), m_fR)));
        }
        v = std::max<int>(v, Corner(m_jL, m_jL1, m_fL, bLo, bLo1, row.fLo));
        if (row.upper) v = std::max<int>(v, Corner(m_jL, m_jL1, m_fL, bHi, bHi + 1, row.fHi));
        if (m_right) {
            v = std::max<int>(v, Corner(m_jR, m_jR + 1, m_fR, bLo, bLo1, row.fLo));
            if (row.upper) v = std::max<int>(v, Corner(m_jR, m_jR + 1, m_fR, bHi, bHi + 1, row.fHi));
        }
        return v;
    }

private:
    const std::uint8_t* Column(std::int64_t j) const { return m_spectrum + j * m_bins; }
    int Cell(std::int64_t j, std::int64_t b) const { return m_spectrum[j * m_bins + b]; }

    // Largest byte of column j over bins (bLo, bHi]; -1 when the range is empty.
    int ColumnMax(std::int64_t j, std::int64_t bLo, std::int64_t bHi) const {
        int m = -1;
        for (std::int64_t b = bLo + 1; b <= bHi; ++b) m = std::max(m, Cell(j, b));
        return m;
    }

    // The largest value interpolated between bins b and b1 at f over the inner columns;
    // rounding is monotonic, so the largest float rounds to the largest byte. Four columns
    // at a time, with the arithmetic of Lerp in every lane; the last edge is remembered.
    int EdgeMax(std::int64_t b, std::int64_t b1, float f) {
        if (b == m_edgeBin && b1 == m_edgeBin1 && f == m_edgeFraction) return m_edgeValue;
        using V4f = float __attribute__((vector_size(16)));
        using V4i = std::int32_t __attribute__((vector_size(16)));
        const std::int64_t stride = m_bins;
        const std::uint8_t* cells = m_spectrum + (m_jL + 1) * stride;
        const std::int64_t count = m_jR - m_jL;
        const V4f fraction = V4f{} + f;
        V4f best4 = V4f{};
        std::int64_t j = 0;
        for (; j + 4 <= count; j += 4, cells += 4 * stride) {
            const std::uint8_t* c0 = cells;
            const std::uint8_t* c1 = cells + stride;
            const std::uint8_t* c2 = cells + 2 * stride;
            const std::uint8_t* c3 = cells + 3 * stride;
            const V4f low = __builtin_convertvector((V4i{c0[b], c1[b], c2[b], c3[b]}), V4f);
            const V4f high = __builtin_convertvector((V4i{c0[b1], c1[b1], c2[b1], c3[b1]}), V4f);
            const V4f value = low + (high - low) * fraction;
            best4 = value > best4 ? value : best4;
        }
        float best = std::max(std::max(best4[0], best4[1]), std::max(best4[2], best4[3]));
        for (; j < count; ++j, cells += stride) best = std::max(best, Lerp(float(cells[b]), float(cells[b1]), f));
        m_edgeBin = b;
        m_edgeBin1 = b1;
        m_edgeFraction = f;
        m_edgeValue = InterpolatedByte(best);
        return m_edgeValue;
    }

    std::uint8_t Corner(std::int64_t j, std::int64_t j1, float fj, std::int64_t b, std::int64_t b1, float fb) const {
        const float low = Lerp(float(Cell(j, b)), float(Cell(j1, b)), fj);
        const float high = Lerp(float(Cell(j, b1)), float(Cell(j1, b1)), fj);
        return InterpolatedByte(Lerp(low, high, fb));
    }

    const std::uint8_t* m_spectrum;
    std::int64_t m_bins;
    std::int64_t m_columns;
    std::vector<std::uint8_t>& m_inner;
    std::int64_t m_jL = 0, m_jR = 0, m_jL1 = 0;
    std::int64_t m_edgeBin = -1, m_edgeBin1 = -1;  // the last edge EdgeMax worked out
    float m_edgeFraction = 0.0f;
    int m_edgeValue = 0;
    float m_fL = 0.0f, m_fR = 0.0f;
    bool m_right = false;
};

}  // namespace

int RenderSpectrogramFootprint(const SpectrogramRenderTarget& target, const std::vector<float>& positions,
    const std::vector<float>& rowLow, const std::vector<float>& rowHigh, const SpectrogramRenderProgress& progress,
    std::uint32_t threads) {
    if (!Usable(target) || positions.size() < std::size_t(target.width) || rowLow.empty() ||
        rowHigh.size() != rowLow.size())
        return kStepFinished;
    const std::size_t channels = std::min(target.spectra->size(), target.bands.size());
    const std::int64_t columns = static_cast<std::int64_t>(std::min<std::uint64_t>(target.columns, INT64_MAX / 2));
    const float lastColumn = float(columns - 1);
    const std::int64_t rows = static_cast<std::int64_t>(rowLow.size());
    std::vector<RowBins> rowBins;
    rowBins.reserve(std::size_t(rows));
    for (std::int64_t i = 0; i < rows; ++i)
        rowBins.emplace_back(rowLow[std::size_t(i)], rowHigh[std::size_t(i)], target.bins);

    // Each thread keeps its own per-bin maximum; image columns go out a few at a time.
    threads = std::max<std::uint32_t>(threads, 1);
    const std::int64_t share = threads == 1 ? 1 : 8;
    const std::uint64_t shares = std::uint64_t((target.width + share - 1) / share);
    std::vector<std::vector<std::uint8_t>> inners(threads);
    std::atomic<std::uint32_t> done{0};
    const auto paint = [&](std::uint64_t index, std::uint32_t worker) {
        std::vector<std::uint8_t>& inner = inners[worker];
        inner.resize(std::size_t(target.bins));
        std::vector<FootprintColumn> footprints;
        for (std::size_t c = 0; c < channels; ++c)
            footprints.emplace_back((*target.spectra)[c].data(), target.bins, columns, inner);
        const std::int32_t from = std::int32_t(std::int64_t(index) * share);
        const std::int32_t to = std::int32_t(std::min<std::int64_t>(from + share, target.width));
        for (std::int32_t x = from; x < to; ++x) {
            const std::int32_t left = static_cast<std::int32_t>(float(x) - 0.5f);
            const float cL = InColumns(std::min(positions[std::size_t(left)], float(columns) - 1.0001f), lastColumn);
            const float cR = InColumns(positions[std::size_t(x)], lastColumn);
            const std::int64_t jL = static_cast<std::int64_t>(cL);
            const std::int64_t jR = static_cast<std::int64_t>(cR);
            for (std::size_t c = 0; c < channels; ++c) {
                const auto band = target.bands[c];
                const auto visible = ClampBand(target, band);
                FootprintColumn& footprint = footprints[c];
                footprint.Start(jL, cL - float(jL), jR, cR - float(jR));
                for (std::int32_t y = visible.top; y <= visible.bottom; ++y) {
                    const std::int64_t i = std::clamp<std::int64_t>(std::int64_t(band.bottom) - y, 0, rows - 1);
                    const int v = footprint.Value(rowBins[std::size_t(i)]);
                    target.pixels[std::int64_t(y) * target.stride + x] = (*target.colours)[std::size_t(v)];
                }
            }
        }
        done.fetch_add(std::uint32_t(to - from));
    };
    const auto report = [&] {
        const std::uint32_t columnsDone = done.load();
        return columnsDone == 0 || progress(100.0f * float(columnsDone) / float(target.width), columnsDone);
    };
    return ParallelFor(threads, shares, paint, report) ? kStepFinished : kStepCutShort;
}

}  // namespace UI
