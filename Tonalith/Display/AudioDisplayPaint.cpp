#include <Tonalith/Display/AudioDisplay.h>

#include <Tonalith/Analysis/AudioCalculator.h>
#include <Tonalith/Analysis/FreqScale.h>
#include <Tonalith/Display/FontLineHeight.h>

#include <QvBase/UI/ApplicationInfo.h>
#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/UI/Frame.h>

namespace UI {

namespace {
constexpr Colour kTextColour = 0xFFFFFF;
// Top to bottom: the three rows of the gap above a channel's band.
constexpr Colour kSeparatorColours[3] = {0xAEB5BE, 0x626C7B, 0x2B2F36};
}  // namespace

String AudioDisplay::ProgressText(float computeProgress, float renderProgress) {
    if (computeProgress < 100.0f) return String("Computing (%1%)...").Arg(computeProgress, 0, 'f');
    if (renderProgress < 100.0f) return String("Rendering (%1%)...").Arg(renderProgress, 0, 'f');
    return String();
}

String AudioDisplay::ReadingText(float readProgress) { return String("Reading (%1%)...").Arg(readProgress, 0, 'f'); }

String AudioDisplay::FailureText(const StepFailure& compute, const StepFailure& render) {
    const bool computeFailed = compute.cause != StepFailureCause::None;
    const StepFailure& failure = computeFailed ? compute : render;
    if (failure.cause == StepFailureCause::None) return String();
    const String text = String("%1 failed").Arg(computeFailed ? "Computing" : "Rendering");
    return failure.cause == StepFailureCause::OutOfMemory ? text + ": not enough memory for these settings" : text;
}

void AudioDisplay::Paint(DrawContext& dc) {
    // Nothing to show yet but how far the read has come.
    if (!m_calculator && m_readingProgress) {
        PaintStatus(dc, ReadingText(*m_readingProgress));
        return;
    }
    if (!m_buffer || !m_calculator || m_buffer->Width() != Width() || m_buffer->Height() != Height()) return;
    const StepFailure computeFailure = m_calculator->LastFailure(CalculatorStep::Compute);
    // A picture left from earlier settings would pass for the result of the failed ones.
    if (computeFailure.cause == StepFailureCause::None)
        dc.DrawBitmap(*m_buffer, m_buffer->Bounds(), Point{0, 0}, EffectiveTransparency());
    PaintProgress(dc, computeFailure);
    PaintSeparators(dc);
    Window::Paint(dc);
}

void AudioDisplay::PaintProgress(DrawContext& dc, const StepFailure& computeFailure) {
    String text = FailureText(computeFailure, m_calculator->LastFailure(CalculatorStep::Render));
    if (text.IsEmpty()) text = ProgressText(m_calculator->GetComputeProgress(), m_calculator->GetRenderProgress());
    PaintStatus(dc, text);
}

void AudioDisplay::PaintStatus(DrawContext& dc, const String& text) {
    if (text.IsEmpty()) return;
    ApplicationInfo* info = GetFrame() ? GetFrame()->Info() : nullptr;
    Font* font = info ? info->GetFont(0) : nullptr;
    if (!font) return;
    const int y = Height() - 2 - FontLineHeight(*font);
    dc.DrawText(*font, Point{2, y}, text, kTextColour, EffectiveTransparency());
}

void AudioDisplay::PaintSeparators(DrawContext& dc) {
    if (!m_freqScale) return;
    const std::uint32_t channels = m_freqScale->GetChannelCount();
    for (std::uint32_t c = 1; c < channels; ++c) {
        const int top = m_freqScale->ChannelBand(c).top;
        for (int i = 0; i < 3; ++i) {
            const int row = top - 3 + i;
            dc.DrawLine(Point{0, row}, Point{Width() - 1, row}, kSeparatorColours[i], EffectiveTransparency());
        }
    }
}

}  // namespace UI
