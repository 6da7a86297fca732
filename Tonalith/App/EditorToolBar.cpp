#include <Tonalith/App/EditorToolBar.h>

#include <Tonalith/App/EditorToolBarOptions.h>
#include <Tonalith/Display/Spectrogram.h>
#include <Tonalith/Display/Waveform.h>

#include <QvBase/UI/Application.h>
#include <QvBase/Object/MetaDeclare.h>
#include <QvBase/UI/DrawContext.h>

QV_META_BEGIN(UI::EditorToolBar, UI::Window)
    QV_SIGNAL(sigAudioDisplayAlphaChanged)
QV_META_SLOTS
QV_META_END

namespace UI {

EditorToolBar::EditorToolBar(Frame* frame, Window* parent, Waveform* waveform, Spectrogram* spectrogram)
    : Window(frame, parent, "EditorToolBar"), m_waveform(waveform), m_spectrogram(spectrogram)
{
    if (Application* app = Application::Current()) {
        Settings& settings = app->GetSettings();
        m_waveform->SetTransparency(
            OpacityToTransparency(settings.GetFloat(EditorViewKeys::WaveformOpacity, DefaultWaveformOpacity)));
        m_spectrogram->SetTransparency(
            OpacityToTransparency(settings.GetFloat(EditorViewKeys::SpectrogramOpacity, DefaultSpectrogramOpacity)));
        m_spectrogram->SetType(StoredOptionIndex(settings, GetToolBarOption(ToolBarOptionId::Type)));
        m_spectrogram->SetBilinearInterpolation(settings.GetBool(EditorViewKeys::Bilinear, DefaultBilinear));
        m_spectrogram->SetAmpRange(settings.GetFloat(EditorViewKeys::AmpRange, DefaultAmpRange));
        m_spectrogram->SetMelScale(settings.GetBool(EditorViewKeys::MelScale, DefaultMelScale));
        m_spectrogram->SetFFTSize(StoredOptionIndex(settings, GetToolBarOption(ToolBarOptionId::FFTSize)));
        m_spectrogram->SetFFTZeroPadding(
            StoredOptionIndex(settings, GetToolBarOption(ToolBarOptionId::FFTZeroPadding)));
        m_spectrogram->SetFFTOverlap(StoredOptionIndex(settings, GetToolBarOption(ToolBarOptionId::FFTOverlap)));
        m_spectrogram->SetFFTWindow(StoredOptionIndex(settings, GetToolBarOption(ToolBarOptionId::FFTWindow)));
    }
    SetHeight(kHeight);
}

void EditorToolBar::Paint(DrawContext& dc)
{
    dc.DrawRect(Rect::FromXYWH(0, 0, Width(), Height()), DrawRectFilled, kBackground, EffectiveTransparency());
    Window::Paint(dc);
}

}  // namespace UI

void UI::EditorToolBar::sigAudioDisplayAlphaChanged() { QV_EMIT(sigAudioDisplayAlphaChanged); }
