#include <Tonalith/Analysis/DSP/OversampledFilterbank.h>

#include <Tonalith/Analysis/DSP/KaiserWindow.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>
#include <string>

namespace DSP {
namespace {

double PeriodicHann(std::int32_t i, std::int32_t length) {
    return 0.5 - 0.5 * std::cos(2.0 * M_PI * (double(i) + 0.5) / double(length));
}

double Sinc(double x) { return x == 0.0 ? 1.0 : std::sin(x) / x; }

}  // namespace

OversampledFilterbank::~OversampledFilterbank() = default;

void OversampledFilterbank::Configure(std::int32_t channels, std::uint32_t sampleRate, std::int32_t maxBlockLength) {
    AudioProcessor::Configure(channels, sampleRate, maxBlockLength);
    if (HasDesign()) BuildBands();
    Reset();
}

std::int32_t OversampledFilterbank::EnsureBlockLength(const float* const*, std::int32_t n, float* const*) { return n; }

void OversampledFilterbank::Reset() {
    for (DataTail* tail : {&m_input, &m_output}) {
        const std::int32_t count = std::min(m_latency, tail->Capacity());
        for (std::int32_t c = 0; c < tail->BufferCount() && count > 0; ++c)
            std::fill(tail->Channel(c), tail->Channel(c) + count, 0.0f);
    }
}

void OversampledFilterbank::Design(std::int32_t n, std::int32_t hop, double parameter, std::int32_t length) {
    if (length == -1) length = n;
    if (n < 1 || hop < 0 || length < 1) {
        throw std::length_error("DSP::OversampledFilterbank::Design: size " + std::to_string(n) + ", hop " +
            std::to_string(hop) + ", window length " + std::to_string(length));
    }
    m_size = n;
    m_hop = hop;
    m_windowLength = length;
    m_latency = length - hop;
    if (!m_fft.Init(n)) throw std::bad_alloc();
    m_scratch.assign(std::size_t(n), 0.0f);
    m_analysis.assign(std::size_t(length), 0.0f);
    m_synthesis.assign(std::size_t(length), 0.0f);
    if (m_channels > 0) BuildBands();

    const double l = double(length);
    if (parameter >= 0.0) {
        KaiserBesselDerivedWindow(m_analysis.data(), length, parameter);
        m_synthesis = m_analysis;
    } else if (parameter == -1.0) {
        const double middle = (l - 1.0) / 2.0;
        for (std::int32_t i = 0; i < length; ++i) {
            const double x = double(i) + 0.5;
            m_analysis[std::size_t(i)] =
                static_cast<float>(PeriodicHann(i, length) * Sinc(4.0 * M_PI * (x - middle) / l));
        }
        std::fill(m_synthesis.begin(), m_synthesis.end(), 1.0f);
        ApplyKaiserWindow(m_synthesis.data(), length, 14.0, KaiserNormalisation::Mean);
    } else {
        for (std::int32_t i = 0; i < length; ++i)
            m_analysis[std::size_t(i)] = static_cast<float>(PeriodicHann(i, length));
        m_synthesis = m_analysis;
    }

    double product = 0.0;
    for (std::int32_t i = 0; i < length; ++i)
        product += double(m_analysis[std::size_t(i)]) * double(m_synthesis[std::size_t(i)]);
    const double analysisScale = product != 0.0 ? 0.5 * l / product : 1.0;
    const double synthesisScale = double(hop) / (0.5 * l);
    for (std::int32_t i = 0; i < length; ++i) {
        m_analysis[std::size_t(i)] = static_cast<float>(m_analysis[std::size_t(i)] * analysisScale);
        m_synthesis[std::size_t(i)] = static_cast<float>(m_synthesis[std::size_t(i)] * synthesisScale);
    }
}

void OversampledFilterbank::BuildBands() {
    const std::int32_t count = m_size / 2 + 1;
    const double rate = double(m_sampleRate);
    const double width = rate / double(m_size);
    m_bands.resize(std::size_t(count));
    for (std::int32_t k = 0; k < count; ++k) {
        const double lower = k == 0 ? 0.0 : (double(k) - 0.5) * width;
        const double upper = k == count - 1 ? rate / 2.0 : (double(k) + 0.5) * width;
        m_bands[std::size_t(k)] = {static_cast<float>(lower), static_cast<float>(upper)};
    }
    m_input.Configure(m_channels, m_sampleRate, std::max(0, m_latency));
    m_output.Configure(m_channels, m_sampleRate, std::max(0, m_latency));
}

}  // namespace DSP
