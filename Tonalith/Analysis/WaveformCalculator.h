#pragma once
#include <Tonalith/Analysis/AudioCalculator.h>
#include <Tonalith/Analysis/WaveformPeaks.h>

#include <functional>
#include <string>

namespace UI {

// The waveform layer: per channel and pixel column a stroke from the lowest to the
// highest sample, over a transparent band with a grey zero line, in a green gradient.
// Compute reduces the source to one peak pair per whole block of 128 frames; render
// uses the samples themselves below 128 frames per pixel and the block pairs above.
class WaveformCalculator : public AudioCalculator {
public:
    static constexpr std::uint32_t kBlockFrames = 128;
    static constexpr std::uint32_t kBackground = 0xFF000000;
    static constexpr std::uint32_t kZeroLine = 0x606060;
    static constexpr std::uint32_t kTopLeft = 0x20BD20;
    static constexpr std::uint32_t kTopRight = 0x20FD20;
    static constexpr std::uint32_t kBottomLeft = 0x5E785E;
    static constexpr std::uint32_t kBottomRight = 0x5E985E;

    using AudioCalculator::AudioCalculator;

    const ChannelPeaks& BlockPeaks() const { return m_blockPeaks; }
    const ChannelPeaks& PixelPeaks() const { return m_pixelPeaks; }

protected:
    int Compute() override;
    int Render(Image* image) override;

private:
    // Runs `allocate`, which sizes buffers of `bytes` bytes in all (`what`); a step that
    // cannot have them fails as out of memory, before allocating when they exceed the budget.
    int Allocate(std::uint64_t bytes, const std::string& what, const std::function<void()>& allocate);
    // a * b, or ~0 when that passes 64 bits.
    static std::uint64_t Product(std::uint64_t a, std::uint64_t b) {
        std::uint64_t product = 0;
        return __builtin_mul_overflow(a, b, &product) ? ~std::uint64_t(0) : product;
    }
    int BuildPixelPeaks(int width);
    int PixelPeaksFromSamples(std::uint64_t first, std::uint64_t last, int width);
    int PixelPeaksFromBlocks(std::uint64_t first, std::uint64_t last, int width);
    int Paint(Image* image);
    void PaintStrokes(Image& image, std::uint32_t channel, const RowBand& band);

    ChannelPeaks m_blockPeaks;
    ChannelPeaks m_pixelPeaks;
};

}  // namespace UI
