#include <Tonalith/Analysis/DSP/Transience.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace DSP {

const std::array<float, 26>& Transience::CriticalBandEdges() {
    static const std::array<float, 26> edges = {0, 100, 200, 300, 400, 510, 630, 770, 920, 1080, 1270, 1480, 1720, 2000,
        2320, 2700, 3150, 3700, 4400, 5300, 6400, 7700, 9500, 12000, 15500, 1000000};
    return edges;
}

Transience::~Transience() = default;

std::int32_t Transience::BinOf(double frequency) const {
    if (m_rate <= 0.0f) return 0;
    const double bin = std::trunc(frequency * double(m_fftLength) / double(m_rate) + 0.5);
    // Compared as doubles first: a huge frequency or a tiny rate must not overflow the cast.
    if (!(bin < double(m_bins))) return std::isnan(bin) ? 0 : m_bins;
    return static_cast<std::int32_t>(std::max(0.0, bin));
}

void Transience::SetBandGrouping(std::int32_t grouping) {
    if (grouping < 1) grouping = 1;
    m_grouping = grouping;
    m_bandCount = (grouping + 24) / grouping;
    const auto& table = CriticalBandEdges();
    m_edges.resize(std::size_t(m_bandCount) + 1);
    for (std::int32_t i = 0; i <= m_bandCount; ++i)
        m_edges[std::size_t(i)] = table[std::size_t(std::min(grouping * i, 25))];
    m_centres.resize(std::size_t(m_bandCount));
    for (std::int32_t i = 0; i < m_bandCount; ++i) {
        const double low = m_edges[std::size_t(i)];
        const double high = m_edges[std::size_t(i) + 1];
        m_centres[std::size_t(i)] = static_cast<float>(low >= 500.0 ? std::sqrt(low * high) : (low + high) / 2.0);
    }
    m_bandBins.resize(std::size_t(m_bandCount));
    for (std::int32_t i = 0; i < m_bandCount; ++i) {
        const std::int32_t begin = i == 0 ? 0 : BinOf(m_edges[std::size_t(i)]);
        const std::int32_t end =
            i == m_bandCount - 1 ? BinOf(double(m_rate) / 2.0) : BinOf(m_edges[std::size_t(i) + 1]);
        m_bandBins[std::size_t(i)] = {begin, end};
    }
}

void Transience::Configure(std::int32_t channels, float sampleRate, std::int32_t blockLength, std::int32_t fftLength) {
    if (fftLength < 2 || channels < 0) {
        throw std::length_error("DSP::Transience::Configure: FFT length " + std::to_string(fftLength) + ", channels " +
            std::to_string(channels));
    }
    m_channels = channels;
    m_rate = sampleRate;
    m_fftLength = fftLength;
    m_halfLength = fftLength / 2;
    m_bins = m_halfLength + 1;
    const double rounded = std::nearbyint(double(sampleRate));
    const std::uint32_t rate = rounded > 0.0 && rounded < 4294967295.0 ? static_cast<std::uint32_t>(rounded) : 0u;
    m_filterbank.Configure(1, rate, blockLength);
    m_filterbank.Design(fftLength, m_halfLength, -1.0, -1);
    m_scratch.assign(std::size_t(m_bins), 0.0f);
    SetBandGrouping(m_grouping);
    m_bandTail.Resize(7, rate, m_bandCount, 0, true);
    m_binEdges.resize(CriticalBandEdges().size());
    for (std::size_t i = 0; i < m_binEdges.size(); ++i) m_binEdges[i] = BinOf(CriticalBandEdges()[i]);
    const double timeConstant = 0.015 * double(sampleRate) / double(m_halfLength);
    m_smoothing = timeConstant != 0.0 ? static_cast<float>(1.0 - std::exp(-1.0 / timeConstant)) : 1.0f;
}

void Transience::BuildBinKernels(std::int32_t fftLength) {
    const std::int32_t bins = fftLength / 2 + 1;
    const std::int32_t n = m_bandCount;
    m_kernels.assign(std::size_t(std::max(0, bins)), Kernel{0, {1.0f, 0.0f, 0.0f, 0.0f}});
    if (n < 1 || m_rate <= 0.0f) return;
    const auto c = [this](std::int32_t i) { return double(m_centres[std::size_t(i)]); };
    for (std::int32_t b = 0; b < bins; ++b) {
        const double f = double(b) * double(m_rate) / double(fftLength);
        Kernel& kernel = m_kernels[std::size_t(b)];
        if (n < 2) {
            kernel = {0, {1.0f, 0.0f, 0.0f, 0.0f}};
            continue;
        }
        std::int32_t k = 0;
        while (k < n - 2 && c(k + 1) <= f) ++k;
        if (k == 0) {
            if (f < c(0))
                kernel = {0, {1.0f, 0.0f, 0.0f, 0.0f}};
            else
                kernel = {0, {float((c(1) - f) / (c(1) - c(0))), float((f - c(0)) / (c(1) - c(0))), 0.0f, 0.0f}};
        } else if (k < n - 2) {
            const double x[4] = {c(k - 1), c(k), c(k + 1), c(k + 2)};
            Kernel lagrange{k - 1, {}};
            for (int t = 0; t < 4; ++t) {
                double w = 1.0;
                for (int u = 0; u < 4; ++u) {
                    if (u != t) w *= (f - x[u]) / (x[t] - x[u]);
                }
                lagrange.weights[std::size_t(t)] = static_cast<float>(w);
            }
            kernel = lagrange;
        } else if (f < c(n - 1)) {
            const double low = c(n - 2), high = c(n - 1);
            kernel = {n - 2, {float((high - f) / (high - low)), float((f - low) / (high - low)), 0.0f, 0.0f}};
        } else {
            kernel = {n - 1, {1.0f, 0.0f, 0.0f, 0.0f}};
        }
    }
}

void Transience::BandsToBins(const float* bandValues, float* out) const {
    const std::int32_t n = m_bandCount;
    const auto value = [&](std::int32_t band) { return band < n ? bandValues[band] : 0.0f; };
    for (std::size_t b = 0; b < m_kernels.size(); ++b) {
        const Kernel& k = m_kernels[b];
        out[b] = k.weights[0] * value(k.first) + k.weights[1] * value(k.first + 1) + k.weights[2] * value(k.first + 2) +
            k.weights[3] * value(k.first + 3);
    }
}

}  // namespace DSP
