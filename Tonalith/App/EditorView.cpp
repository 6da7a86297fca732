#include <Tonalith/App/EditorView.h>

#include <Tonalith/Analysis/AmpScale.h>
#include <Tonalith/Analysis/AudioDisplayMemorySource.h>
#include <Tonalith/Analysis/FreqScale.h>
#include <Tonalith/Analysis/TimeScale.h>
#include <Tonalith/App/EditorToolBar.h>
#include <Tonalith/Display/AmpRuler.h>
#include <Tonalith/Display/AudioDisplayFrame.h>
#include <Tonalith/Display/FreqRuler.h>
#include <Tonalith/Display/Spectrogram.h>
#include <Tonalith/Display/TimeRuler.h>
#include <Tonalith/Display/Waveform.h>

#include <QvBase/Util/Path.h>

QV_META_BEGIN(UI::EditorView, UI::Window)
    QV_META_SLOTS
    QV_SLOT(slotAudioDisplayAlphaChanged)
QV_META_END

namespace UI {

EditorView::EditorView(AudioCanvas* canvas, Frame* frame, Window* parent, AudioUpdater* updater)
    : Window(frame, parent, "Track View"),
      m_canvas(canvas),
      m_updater(updater),
      m_timeScale(std::make_unique<TimeScale>("EditorView TimeScale")),
      m_ampScale(std::make_unique<AmpScale>("EditorView AmpScale")),
      m_freqScale(std::make_unique<FreqScale>("EditorView FreqScale")) {
    auto* timeRuler = new TimeRuler(canvas, frame, this, "EditorView Time Ruler", m_timeScale.get());
    auto* ampRuler = new AmpRuler(canvas, frame, this, "EditorView Amplitude Ruler", m_ampScale.get());
    auto* freqRuler = new FreqRuler(canvas, frame, this, "EditorView Frequency Ruler", m_freqScale.get());
    m_displayFrame = new AudioDisplayFrame(canvas, frame, this, "EditorView Audio Display Frame", m_timeScale.get(),
        m_ampScale.get(), m_freqScale.get(), timeRuler, ampRuler, freqRuler);
    m_waveform = new Waveform(
        canvas, frame, this, "EditorView Waveform", m_timeScale.get(), m_ampScale.get(), m_freqScale.get(), updater);
    m_spectrogram = new Spectrogram(
        canvas, frame, this, "EditorView Spectrogram", m_timeScale.get(), m_ampScale.get(), m_freqScale.get(), updater);
    m_displayFrame->AddDisplay(m_waveform);
    m_displayFrame->AddDisplay(m_spectrogram);
    m_waveform->BringToFront();
    m_toolBar = new EditorToolBar(frame, this, m_waveform, m_spectrogram);
    Object::Connect(m_toolBar, "2sigAudioDisplayAlphaChanged()", this, "1slotAudioDisplayAlphaChanged()");
    slotAudioDisplayAlphaChanged();
}

EditorView::~EditorView() {
    // The displays unbind from the updater before the scales they read go.
    delete m_displayFrame;
    m_spectrogramSource = SharedPtr<AudioDisplaySource>();
    m_waveformSource = SharedPtr<AudioDisplaySource>();
    m_freqScale.reset();
    m_ampScale.reset();
    m_timeScale.reset();
}

void EditorView::SetAudio(const String& path, std::uint32_t sampleRate, std::uint32_t channels, std::uint32_t frames,
    const float* const* channelPointers) {
    auto first = SharedPtr<AudioDisplayMemorySource>(
        new AudioDisplayMemorySource(Path::NativeFileNameOf(path), sampleRate, channels, frames, channelPointers));
    m_waveformSource = first;
    m_spectrogramSource = first->Create();

    m_ampScale->SetChannelCount(m_waveformSource->GetChannelCount());
    m_freqScale->SetChannelCount(m_waveformSource->GetChannelCount());
    m_ampScale->SetRange({-1.0f, 1.0f});
    m_ampScale->SetVisibleRange({-1.0f, 1.0f});
    const float nyquist = float(double(sampleRate) / 2.0);
    m_freqScale->SetRange({0.0f, nyquist});
    m_freqScale->SetVisibleRange({0.0f, nyquist});

    m_waveform->SetSource(m_waveformSource);
    m_spectrogram->SetSource(m_spectrogramSource);

    m_timeScale->SetLength(m_waveformSource->GetLength());
    m_timeScale->SetVisibleRange(SampleRange(0, frames));
}

void EditorView::Clear() {
    m_waveform->Unbind();
    m_spectrogram->Unbind();
    m_waveformSource = SharedPtr<AudioDisplaySource>();
    m_spectrogramSource = SharedPtr<AudioDisplaySource>();
    // Back to the scales of an empty view; the forced signals lay the rulers out empty.
    m_ampScale->SetChannelCount(0);
    m_freqScale->SetChannelCount(0);
    m_ampScale->SetRange(ValueRange{});
    m_freqScale->SetRange(ValueRange{});
    m_timeScale->SetLength(0);
    m_ampScale->SetVisibleRange(ValueRange{}, true);
    m_freqScale->SetVisibleRange(ValueRange{}, true);
    m_timeScale->SetVisibleRange(SampleRange(), true);
}

void EditorView::SetReadingProgress(std::optional<float> percent) {
    m_waveform->SetReadingProgress(percent);
    m_spectrogram->SetReadingProgress(percent);
}

void EditorView::slotAudioDisplayAlphaChanged() {
    const bool waveformShown = m_waveform->IsVisible() && m_waveform->GetTransparency() < 255;
    const bool spectrogramShown = m_spectrogram->IsVisible() && m_spectrogram->GetTransparency() < 255;
    m_displayFrame->SetShownDisplays(waveformShown, spectrogramShown);
}

void EditorView::OnGeometryChanged() {
    m_toolBar->SetGeometry(0, 0, Width(), m_toolBar->Height());
    m_displayFrame->SetGeometry(0, m_toolBar->Height(), Width(), Height() - m_toolBar->Height());
}

}  // namespace UI
