#pragma once

#include <Tonalith/Analysis/AudioDisplaySource.h>

#include <QvBase/UI/Widgets/Window.h>
#include <QvBase/Util/SharedPtr.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace UI {

class AmpScale;
class AudioCanvas;
class AudioDisplayFrame;
class AudioUpdater;
class EditorToolBar;
class FreqScale;
class Spectrogram;
class TimeScale;
class Waveform;

// The main window's client area: the tool bar above the display frame that stacks the
// waveform over the spectrogram, with the scales they share.
class EditorView : public Window {
    QV_OBJECT()
public:
    EditorView(AudioCanvas* canvas, Frame* frame, Window* parent, AudioUpdater* updater);
    ~EditorView() override;

    // The buffers are read in place and must stay unmoved while shown.
    void SetAudio(const String& path, std::uint32_t sampleRate, std::uint32_t channels, std::uint32_t frames,
        const float* const* channelPointers);
    void Clear();
    // While a file is read into memory: the percent read so far, which the displays show;
    // nothing once the read has ended.
    void SetReadingProgress(std::optional<float> percent);

    void slotAudioDisplayAlphaChanged();
    void OnGeometryChanged() override;

    Spectrogram* GetSpectrogram() const { return m_spectrogram; }
    Waveform* GetWaveform() const { return m_waveform; }
    EditorToolBar* GetToolBar() const { return m_toolBar; }
    TimeScale* GetTimeScale() const { return m_timeScale.get(); }

private:
    AudioCanvas* m_canvas;
    AudioUpdater* m_updater;
    std::unique_ptr<TimeScale> m_timeScale;
    std::unique_ptr<AmpScale> m_ampScale;
    std::unique_ptr<FreqScale> m_freqScale;
    SharedPtr<AudioDisplaySource> m_waveformSource;
    SharedPtr<AudioDisplaySource> m_spectrogramSource;
    AudioDisplayFrame* m_displayFrame = nullptr;
    Waveform* m_waveform = nullptr;
    Spectrogram* m_spectrogram = nullptr;
    EditorToolBar* m_toolBar = nullptr;
};

}  // namespace UI
