#include <Tonalith/Analysis/WaveformCalculator.h>

#include <Tonalith/Analysis/ScaleRounding.h>

#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/Util/Math.h>

#include <algorithm>
#include <string>

namespace UI {

namespace {

void FillRow(Image& image, int y, std::uint32_t colour) {
    std::uint32_t* row = image.Pixels() + static_cast<std::ptrdiff_t>(y) * image.Stride();
    std::fill(row, row + image.Width(), colour);
}

// round(v · 255 / d), d > 0, as a blend weight.
std::uint8_t Weight(int v, int d) {
    return static_cast<std::uint8_t>(std::clamp<std::int64_t>(RoundHalfAway(v * 255.0 / d), 0, 255));
}

}  // namespace

int WaveformCalculator::Paint(Image* image) {
    if (!image || image->Width() < 1 || !image->Pixels() || image->Stride() < image->Width())
        return Fail(StepFailureCause::Unusable, "waveform paint: no image");
    const std::uint32_t channels = GetSource()->GetChannelCount();
    if (m_pixelPeaks.size() != channels)
        return Fail(StepFailureCause::Unusable, "waveform paint: peaks of another channel count");
    for (std::uint32_t c = 0; c < channels; ++c) {
        if (m_pixelPeaks[c].size() != static_cast<std::size_t>(image->Width()))
            return Fail(StepFailureCause::Unusable, "waveform paint: peaks of another width");
        const RowBand band = FreqChannelBand(c);
        if (band.top > band.bottom || band.top < 0 || band.bottom >= image->Height())
            return Fail(StepFailureCause::Unusable,
                "waveform paint: channel " + std::to_string(c) + " has no band within the image");
        for (int y = band.top; y <= band.bottom; ++y) FillRow(*image, y, kBackground);
        const RowResult zero = AmpToPixel(c, 0.0f, true);
        if (zero.valid && zero.row >= band.top && zero.row <= band.bottom) FillRow(*image, zero.row, kZeroLine);
        PaintStrokes(*image, c, band);
    }
    return kStepFinished;
}

void WaveformCalculator::PaintStrokes(Image& image, std::uint32_t channel, const RowBand& band) {
    const int width = image.Width();
    const int height = image.Height();
    // The gradient spans the whole buffer, not the band.
    const int rowSpan = height - 1 < 2 ? 1 : height - 1;
    const int columnSpan = std::max(width - 1, 1);
    const std::vector<PeakPair>& peaks = m_pixelPeaks[channel];
    for (int x = 0; x < width; ++x) {
        const int maxRow = std::clamp(AmpToPixel(channel, PeakToAmp(peaks[x].max), false).row, band.top, band.bottom);
        const int minRow = std::clamp(AmpToPixel(channel, PeakToAmp(peaks[x].min), false).row, band.top, band.bottom);
        const std::uint8_t across = Weight(x, columnSpan);
        const std::uint32_t top = BlendColour(kTopRight, kTopLeft, across);
        const std::uint32_t bottom = BlendColour(kBottomRight, kBottomLeft, across);
        std::uint32_t* column = image.Pixels() + x;
        for (int y = maxRow; y <= minRow; ++y)
            column[static_cast<std::ptrdiff_t>(y) * image.Stride()] =
                BlendColour(top, bottom, static_cast<std::uint8_t>(255 - Weight(y, rowSpan)));
    }
}

}  // namespace UI
