#include <Tonalith/Analysis/WaveformCalculator.h>

#include <QvBase/Util/MapRangeRounded.h>

#include <cstdint>
#include <string>

namespace UI {

int WaveformCalculator::BuildPixelPeaks(int width) {
    const SampleRange visible = GetVisibleRange();
    m_pixelPeaks.clear();
    if (visible.IsEmpty() || visible.SpansAll() || width < 1 || !GetSource())
        return Fail(StepFailureCause::Unusable, "waveform render: no visible frames, no width or no source");
    const double framesPerPixel = static_cast<double>(visible.last - visible.first + 1) / width;
    const std::uint32_t channels = GetSource()->GetChannelCount();
    const std::uint64_t bytes =
        Product(std::uint64_t(width) * sizeof(PeakPair) + sizeof(std::vector<PeakPair>), channels);
    const int sized = Allocate(bytes, "the peaks of " + std::to_string(width) + " columns",
        [&] { m_pixelPeaks.assign(channels, std::vector<PeakPair>(static_cast<std::size_t>(width))); });
    if (sized != kStepFinished) {
        m_pixelPeaks.clear();
        return sized;
    }
    if (framesPerPixel < kBlockFrames) return PixelPeaksFromSamples(visible.first, visible.last, width);
    return PixelPeaksFromBlocks(visible.first, visible.last, width);
}

int WaveformCalculator::PixelPeaksFromSamples(std::uint64_t first, std::uint64_t last, int width) {
    AudioDisplaySource* source = GetSource();
    // A seek to a frame past the end is ignored and the read would then deliver other
    // frames: a range the source does not hold fails instead.
    if (last >= source->GetLength())
        return Fail(StepFailureCause::SourceRefused,
            "waveform render: frame " + std::to_string(last) + " is past the source's " +
                std::to_string(source->GetLength()));
    const std::uint32_t channels = source->GetChannelCount();
    const auto frames = static_cast<std::uint32_t>(last - first + 1);
    std::vector<float> samples;
    const int sized = Allocate(Product(std::uint64_t(frames) * sizeof(float), channels),
        std::to_string(frames) + " frames of samples",
        [&] { samples.resize(static_cast<std::size_t>(frames) * channels); });
    if (sized != kStepFinished) return sized;
    source->Seek(first);
    if (!source->ReadFloatInterleaved(frames, samples.data()))
        return Fail(StepFailureCause::SourceRefused,
            "waveform render: the source refused frames " + std::to_string(first) + " to " + std::to_string(last));
    const auto f = static_cast<std::uint32_t>(first);
    const auto l = static_cast<std::uint32_t>(last);
    const auto w = static_cast<std::uint32_t>(width);
    for (std::uint32_t x = 0; x < w; ++x) {
        const std::int64_t s0 = Util::MapRangeRounded(x, 0, w, f, l);
        const std::int64_t s1 = Util::MapRangeRounded(x + 1, 0, w, f, l);
        for (std::uint32_t c = 0; c < channels; ++c) {
            PeakPair pair;
            for (std::int64_t s = s0; s <= s1; ++s)
                pair.Add(SampleToPeak(samples[static_cast<std::size_t>(s - first) * channels + c]));
            m_pixelPeaks[c][x] = pair;
        }
    }
    return kStepFinished;
}

int WaveformCalculator::PixelPeaksFromBlocks(std::uint64_t first, std::uint64_t last, int width) {
    const std::uint64_t firstBlock = first / kBlockFrames;
    // (last + 1) / 128 without wrapping at the top of the 64-bit range.
    const std::uint64_t endBlock = last / kBlockFrames + (last % kBlockFrames == kBlockFrames - 1 ? 1 : 0);
    if (endBlock > UINT32_MAX)
        return Fail(StepFailureCause::Unusable, "waveform render: the view reaches past block 2^32");
    const auto b0 = static_cast<std::uint32_t>(firstBlock);
    const auto b1 = static_cast<std::uint32_t>(endBlock);
    const auto w = static_cast<std::uint32_t>(width);
    for (std::uint32_t x = 0; x < w; ++x) {
        const std::int64_t m0 = Util::MapRangeRounded(x, 0, w, b0, b1);
        const std::int64_t m1 = Util::MapRangeRounded(x + 1, 0, w, b0, b1);
        for (std::size_t c = 0; c < m_pixelPeaks.size(); ++c) {
            // Blocks the compute step never reached add nothing.
            const std::int64_t computed =
                c < m_blockPeaks.size() ? static_cast<std::int64_t>(m_blockPeaks[c].size()) : 0;
            PeakPair pair;
            for (std::int64_t b = m0; b < m1 && b < computed; ++b)
                pair.Add(m_blockPeaks[c][static_cast<std::size_t>(b)]);
            m_pixelPeaks[c][x] = pair;
        }
    }
    return kStepFinished;
}

}  // namespace UI
