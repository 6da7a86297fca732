#include <Tonalith/Analysis/DSP/DataTail.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

namespace DSP {

DataTail::DataTail(std::int32_t channels, std::int32_t length) { Resize(channels, 0, length, 0, true); }

DataTail::~DataTail() = default;

void DataTail::Resize(
    std::int32_t channels, std::uint32_t sampleRate, std::int32_t length, std::int32_t tail, bool bReset) {
    m_buffers.clear();
    m_buffers.shrink_to_fit();
    m_maxBlockLength = 0;
    m_tail = 0;
    m_fill = 0;
    m_channels = 0;
    m_sampleRate = sampleRate;
    if (channels < 0 || tail < 0 || length < 0) {
        throw std::length_error("DSP::DataTail::Resize: negative size (channels " + std::to_string(channels) +
            ", length " + std::to_string(length) + ", tail " + std::to_string(tail) + ")");
    }
    const std::int64_t total = std::int64_t(length) + tail;
    if (total > std::numeric_limits<std::int32_t>::max()) {
        throw std::length_error("DSP::DataTail::Resize: length " + std::to_string(length) + " + tail " +
            std::to_string(tail) + " exceeds the 32-bit size");
    }
    if (total < 1) length = 1;
    m_buffers.resize(static_cast<std::size_t>(channels));
    for (auto& buffer : m_buffers) buffer.resize(static_cast<std::size_t>(length) + static_cast<std::size_t>(tail));
    m_channels = channels;
    m_maxBlockLength = length;
    m_tail = tail;
    if (bReset) Reset();
}

void DataTail::Configure(std::int32_t channels, std::uint32_t sampleRate, std::int32_t maxBlockLength) {
    Resize(channels, sampleRate, maxBlockLength, 0, true);
}

void DataTail::Reset() { Fill(0.0f); }

void DataTail::Fill(float value) {
    m_fill = m_tail;
    for (auto& buffer : m_buffers) std::fill(buffer.begin(), buffer.end(), value);
}

void DataTail::Append(const float* const* channels, std::int32_t n, std::int32_t sourceOffset) {
    if (n <= 0 || channels == nullptr) return;
    const std::int32_t room = std::max(0, Capacity() - m_fill);
    const std::int32_t count = std::min(n, room);
    for (std::size_t c = 0; c < m_buffers.size(); ++c) {
        if (count > 0 && channels[c] != nullptr)
            std::memmove(m_buffers[c].data() + m_fill, channels[c] + sourceOffset, sizeof(float) * std::size_t(count));
    }
    m_fill += count;
}

void DataTail::SetMaxBlockLength(std::int32_t n) {
    if (m_tail <= 0) {
        Resize(m_channels, m_sampleRate, n, 0, true);
        return;
    }
    DataTail kept;
    kept.Resize(m_channels, m_sampleRate, m_tail, 0, true);
    std::vector<const float*> last(m_buffers.size());
    for (std::size_t c = 0; c < m_buffers.size(); ++c)
        last[c] = m_buffers[c].data() + (m_buffers[c].size() - std::size_t(m_tail));
    kept.m_fill = 0;
    kept.Append(last.data(), m_tail, 0);

    const std::int32_t tail = m_tail;
    Resize(m_channels, m_sampleRate, n, tail, true);
    std::vector<const float*> from(kept.m_buffers.size());
    for (std::size_t c = 0; c < from.size(); ++c) from[c] = kept.m_buffers[c].data();
    m_fill = 0;
    Append(from.data(), tail, 0);
}

}  // namespace DSP
