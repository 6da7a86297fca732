#include <Tonalith/Analysis/Spectrogram/SpectrogramCalculatorMdl.h>

#include <QvBase/Util/Math.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace UI {

std::uint64_t SpectrogramMdl::StateBytes(const SpectrogramLayout& layout, std::uint32_t channels) {
    const std::uint64_t ring = std::uint64_t(4 * layout.overlap + 1);
    // Rings, their band-sorted copies and the histories holding the same values, plus scratch.
    return std::uint64_t(channels) * 4u * ring * std::uint64_t(layout.bins) * sizeof(float) * 3u +
        2u * ring * std::uint64_t(layout.bins) * sizeof(float) + 8u * std::uint64_t(layout.bins) * sizeof(float);
}

void SpectrogramMdl::Prepare(
    DSP::Transience& transience, const SpectrogramLayout& layout, std::uint32_t channels, float sampleRate) {
    m_layout = layout;
    m_lookahead = static_cast<std::int32_t>(2 * layout.overlap);
    m_ringLength = static_cast<std::int32_t>(4 * layout.overlap + 1);
    m_position = 0;
    m_bins = static_cast<std::int32_t>(layout.bins);
    m_rings.clear();
    m_sortedRings.clear();
    m_histories.clear();

    transience.Configure(
        static_cast<std::int32_t>(channels), sampleRate, 128, static_cast<std::int32_t>(layout.fftLength));
    transience.BuildBinKernels(static_cast<std::int32_t>(layout.fftLength));
    m_transience = &transience;

    m_rings.resize(std::size_t(channels) * 4);
    for (auto& ring : m_rings) ring.Resize(m_ringLength, 0, m_bins, 0, true);
    m_sortedRings = m_rings;

    const auto& bands = transience.BandBins();
    const std::int32_t rows = static_cast<std::int32_t>(channels) * 4;
    std::int32_t widest = 0;
    m_histories.resize(bands.size());
    m_historySize.assign(bands.size(), {});
    for (std::size_t j = 0; j < bands.size(); ++j) {
        const std::int32_t size = std::max(0, bands[j].end - bands[j].begin);
        widest = std::max(widest, size);
        if (size == 0) continue;
        // The R - 1 frames before the first are silence.
        m_histories[j].Resize(rows, 0, m_ringLength * size, 0, true);
        m_historySize[j].assign(std::size_t(rows), (m_ringLength - 1) * size);
    }
    m_merged.assign(std::size_t(m_ringLength) * std::size_t(widest), 0.0f);
    for (int r = 0; r < 4; ++r) {
        m_bandWeights[std::size_t(r)].assign(bands.size() + 4, 0.0f);
        m_binWeights[std::size_t(r)].assign(std::size_t(m_bins), 0.0f);
    }
}

float SpectrogramMdl::MeasureBand(std::uint32_t channel, int r, std::int32_t band) {
    const auto& range = m_transience->BandBins()[std::size_t(band)];
    const std::int32_t size = range.end - range.begin;
    const std::int32_t row = static_cast<std::int32_t>(channel) * 4 + r;
    float* history = m_histories[std::size_t(band)].Channel(row);
    std::int32_t& used = m_historySize[std::size_t(band)][std::size_t(row)];
    DSP::DataTail& sorted = SortedRing(channel, r);

    // This frame's band values, sorted once and kept: R - 1 frames later they leave again.
    float* incoming = sorted.Channel(m_position) + range.begin;
    const float* current = Ring(channel, r).Channel(m_position) + range.begin;
    std::copy(current, current + size, incoming);
    std::sort(incoming, incoming + size, std::greater<float>());
    const float* oldest = sorted.Channel((m_position + 1) % m_ringLength) + range.begin;

    // One pass over the merged descending list: the measure's sums, and the new history
    // without the oldest frame's values (one occurrence each).
    double weighted = 0.0;
    double total = 0.0;
    std::int32_t i = 0, h = 0, a = 0, o = 0, kept = 0;
    const std::int32_t capacity = static_cast<std::int32_t>(m_merged.size());
    while (h < used || a < size) {
        const float x = (a >= size || (h < used && !(incoming[a] > history[h]))) ? history[h++] : incoming[a++];
        weighted += double(i) * double(x);
        total += double(x);
        ++i;
        while (o < size && oldest[o] > x) ++o;
        if (o < size && oldest[o] == x) {
            ++o;
            continue;
        }
        if (kept < capacity) m_merged[std::size_t(kept++)] = x;
    }
    std::copy(m_merged.begin(), m_merged.begin() + kept, history);
    used = kept;

    const double measure = weighted / (std::sqrt(total) + 1e-12);
    const double bias = 1.0 + 0.0125 * double(2 - r) * double(band - 12);
    return static_cast<float>(measure * bias);
}

void SpectrogramMdl::FinishChannel(
    std::uint32_t channel, std::uint64_t frame, const SpectrogramLevels& levels, std::uint8_t* spectrum) {
    // Powers that are not numbers would break the sorted histories.
    for (int r = 0; r < 4; ++r) {
        float* row = RingRow(channel, r);
        for (std::int32_t b = 0; b < m_bins; ++b) {
            if (std::isnan(row[b])) row[b] = 0.0f;
        }
    }

    const auto& bands = m_transience->BandBins();
    for (std::size_t j = 0; j < bands.size(); ++j) {
        if (bands[j].end <= bands[j].begin) {
            for (int r = 0; r < 4; ++r) m_bandWeights[std::size_t(r)][j] = 0.0f;
            continue;
        }
        double w[4];
        double sum = 0.0;
        for (int r = 0; r < 4; ++r) {
            const double m = MeasureBand(channel, r, static_cast<std::int32_t>(j));
            const double m2 = m * m, m4 = m2 * m2;
            w[r] = 1.0 / (m4 * m4 + 1e-9);
            sum += w[r];
        }
        for (int r = 0; r < 4; ++r) m_bandWeights[std::size_t(r)][j] = static_cast<float>(w[r] / sum);
    }
    for (int r = 0; r < 4; ++r)
        m_transience->BandsToBins(m_bandWeights[std::size_t(r)].data(), m_binWeights[std::size_t(r)].data());

    if (frame < std::uint64_t(m_lookahead)) return;
    const std::int32_t q = ((m_position - m_lookahead) % m_ringLength + m_ringLength) % m_ringLength;
    for (int r = 0; r < 4; ++r) m_offsets[std::size_t(r)] = levels.ScaledOffset(m_layout.WindowLength(r));
    const float* rows[4];
    for (int r = 0; r < 4; ++r) rows[r] = Ring(channel, r).Channel(q);
    const std::uint64_t column = frame - std::uint64_t(m_lookahead);
    std::uint8_t* out = spectrum + column * std::uint64_t(m_bins);
    for (std::int32_t b = 0; b < m_bins; ++b) {
        float sum = 0.0f;
        for (int r = 0; r < 4; ++r)
            sum += m_binWeights[std::size_t(r)][std::size_t(b)] * levels.Value(rows[r][b], m_offsets[std::size_t(r)]);
        out[b] = SpectrogramLevels::ToByte(sum);
    }
}

std::array<float, 4> SpectrogramMdl::BandWeights(std::int32_t band) const {
    std::array<float, 4> weights{};
    for (int r = 0; r < 4; ++r) weights[std::size_t(r)] = m_bandWeights[std::size_t(r)][std::size_t(band)];
    return weights;
}

}  // namespace UI
