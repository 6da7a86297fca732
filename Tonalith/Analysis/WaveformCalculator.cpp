#include <Tonalith/Analysis/WaveformCalculator.h>

#include <QvBase/UI/Drawing/Image.h>

#include <algorithm>
#include <new>
#include <stdexcept>

namespace UI {

int WaveformCalculator::Allocate(std::uint64_t bytes, const std::string& what, const std::function<void()>& allocate) {
    const std::uint64_t budget = MemoryBudget();
    if (bytes > budget)
        return Fail(StepFailureCause::OutOfMemory,
            "waveform: " + what + " need " + std::to_string(bytes) + " bytes, " + std::to_string(budget) +
                " available");
    try {
        allocate();
    } catch (const std::bad_alloc&) {
        return Fail(StepFailureCause::OutOfMemory, "waveform: no memory for " + what);
    } catch (const std::length_error& e) {
        return Fail(StepFailureCause::OutOfMemory, "waveform: " + what + " too long: " + e.what());
    }
    return kStepFinished;
}

int WaveformCalculator::Compute() {
    AudioDisplaySource* source = GetSource();
    m_blockPeaks.clear();
    if (!source) return Fail(StepFailureCause::Unusable, "waveform: no source");
    source->Seek(0);
    const std::uint32_t channels = source->GetChannelCount();
    const std::uint64_t length = GetLength();
    const std::uint64_t blocks = length / kBlockFrames;
    // Past this many blocks a read is sure to be refused: fail before allocating them.
    if (blocks > source->GetLength() / kBlockFrames + 1)
        return Fail(StepFailureCause::SourceRefused,
            "waveform: the view has " + std::to_string(length) + " frames, the source " +
                std::to_string(source->GetLength()));
    // Below 2^26 blocks (the check above) and 2^32 channels: far inside 64 bits.
    const std::uint64_t bytes =
        (blocks * sizeof(PeakPair) + sizeof(std::vector<PeakPair>) + kBlockFrames * sizeof(float)) * channels;
    std::vector<float> frames;
    const int sized = Allocate(bytes, "the peaks of " + std::to_string(blocks) + " blocks", [&] {
        m_blockPeaks.assign(channels, std::vector<PeakPair>(blocks));
        frames.resize(static_cast<std::size_t>(kBlockFrames) * channels);
    });
    if (sized != kStepFinished) {
        m_blockPeaks.clear();
        return sized;
    }
    for (std::uint64_t b = 0; b < blocks; ++b) {
        const float percent = blocks > 1 ? 100.0f * static_cast<float>(b) / static_cast<float>(blocks - 1) : 0.0f;
        if (!SetComputeProgress(percent)) return kStepCutShort;
        const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(kBlockFrames, length - kBlockFrames * b));
        // A source that shrank refuses; retrying on every wake would never succeed.
        if (!source->ReadFloatInterleaved(n, frames.data()))
            return Fail(StepFailureCause::SourceRefused,
                "waveform: the source refused " + std::to_string(n) + " frames at frame " +
                    std::to_string(kBlockFrames * b));
        std::fill(frames.begin() + static_cast<std::ptrdiff_t>(n) * channels, frames.end(), 0.0f);
        for (std::uint32_t c = 0; c < channels; ++c) {
            PeakPair pair;
            for (std::uint32_t j = 0; j < kBlockFrames; ++j)
                pair.Add(SampleToPeak(frames[static_cast<std::size_t>(j) * channels + c]));
            m_blockPeaks[c][b] = pair;
        }
    }
    // Short sources report no block, or 0 of 0: say that the work is done.
    SetComputeProgress(100.0f);
    return kStepFinished;
}

int WaveformCalculator::Render(Image* image) {
    const int width = image->Width();
    const int result = BuildPixelPeaks(width);
    if (result != kStepFinished) return result;
    const int painted = Paint(image);
    if (!SetRenderProgress(100.0f, static_cast<std::uint32_t>(width))) return kStepCutShort;
    return painted;
}

}  // namespace UI
