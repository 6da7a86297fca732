#include <Tonalith/App/EditorToolBar.h>

#include <Tonalith/Analysis/Spectrogram/SpectrogramSettings.h>
#include <Tonalith/App/EditorToolBarOptions.h>
#include <Tonalith/App/SimpleCheckBox.h>
#include <Tonalith/App/SimplePushButton.h>
#include <Tonalith/App/SimpleSlider.h>
#include <Tonalith/Display/Spectrogram.h>
#include <Tonalith/Display/Waveform.h>

#include <QvBase/Object/MetaDeclare.h>
#include <QvBase/UI/Application.h>
#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/Util/SignalProxy.h>

QV_META_BEGIN(UI::EditorToolBar, UI::Window)
    QV_SIGNAL(sigAudioDisplayAlphaChanged)
    QV_META_SLOTS
    QV_SLOT(slotUpdateWaveformAlpha)
    QV_SLOT(slotUpdateSpectrogramAlpha)
    QV_SLOT(slotUpdateAmpRange)
    QV_SLOT(slotBilinearClicked)
    QV_SLOT(slotMelScaleClicked)
    QV_SLOT(slotFFTSizeClicked, (bool, bAdvance))
    QV_SLOT(slotTypeClicked, (bool, bAdvance))
    QV_SLOT(slotFFTZeroPaddingClicked, (bool, bAdvance))
    QV_SLOT(slotFFTOverlapClicked, (bool, bAdvance))
    QV_SLOT(slotFFTWindowClicked, (bool, bAdvance))
QV_META_END

namespace UI {
namespace {

constexpr Colour kOptionButtonColour = 0x4C0A0A;

Settings* Store() {
    Application* app = Application::Current();
    return app ? &app->GetSettings() : nullptr;
}

std::uint32_t CurrentIndex(const SpectrogramSettings& s, ToolBarOptionId id) {
    switch (id) {
    case ToolBarOptionId::Type: return s.type;
    case ToolBarOptionId::FFTSize: return s.fftSize;
    case ToolBarOptionId::FFTZeroPadding: return s.zeroPadding;
    case ToolBarOptionId::FFTOverlap: return s.overlap;
    case ToolBarOptionId::FFTWindow: return s.window;
    }
    return 0;
}

}  // namespace

EditorToolBar::EditorToolBar(Frame* frame, Window* parent, Waveform* waveform, Spectrogram* spectrogram)
    : Window(frame, parent, "EditorToolBar"), m_waveform(waveform), m_spectrogram(spectrogram) {
    m_layoutKind = 2;
    Settings* store = Store();
    m_waveformOpacity = MakeSlider("Waveform Opacity Slider", "Waveform Opacity:", "1slotUpdateWaveformAlpha()");
    m_waveformOpacity->SetValue(store ? StoredOpacity(*store, EditorViewKeys::WaveformOpacity, DefaultWaveformOpacity)
                                      : DefaultWaveformOpacity);
    m_spectrogramOpacity =
        MakeSlider("Spectrogram Opacity Slider", "Spectrogram Opacity:", "1slotUpdateSpectrogramAlpha()");
    m_spectrogramOpacity->SetValue(store
            ? StoredOpacity(*store, EditorViewKeys::SpectrogramOpacity, DefaultSpectrogramOpacity)
            : DefaultSpectrogramOpacity);
    m_ampRange = MakeSlider("Amplitude Range Slider", "Amp. range:", "1slotUpdateAmpRange()");
    m_ampRange->SetRange(kMinAmpRange, kMaxAmpRange);
    m_ampRange->SetValue(store ? StoredAmpRange(*store) : DefaultAmpRange);

    m_buttons[int(ToolBarOptionId::Type)] =
        MakeOptionButton("Spectrogram Type PushButton", "Spectrogram type:", "1slotTypeClicked(bool)");
    m_bilinear = new SimpleCheckBox(frame, this, "Bi-linear CheckBox", "Bilinear interpolation");
    Object::Connect(m_bilinear, "2sigClicked()", this, "1slotBilinearClicked()");
    m_melScale = new SimpleCheckBox(frame, this, "Mel Scale CheckBox", "Mel scale");
    Object::Connect(m_melScale, "2sigClicked()", this, "1slotMelScaleClicked()");
    m_buttons[int(ToolBarOptionId::FFTSize)] =
        MakeOptionButton("FFT Size PushButton", "FFT Size:", "1slotFFTSizeClicked(bool)");
    m_buttons[int(ToolBarOptionId::FFTZeroPadding)] =
        MakeOptionButton("FFT Zero Padding PushButton", "FFT Zero Padding:", "1slotFFTZeroPaddingClicked(bool)");
    m_buttons[int(ToolBarOptionId::FFTOverlap)] =
        MakeOptionButton("FFT Overlap PushButton", "FFT Overlap:", "1slotFFTOverlapClicked(bool)");
    m_buttons[int(ToolBarOptionId::FFTWindow)] =
        MakeOptionButton("Window PushButton", "Window:", "1slotFFTWindowClicked(bool)");
    RefreshLabels();
    slotUpdateWaveformAlpha();
    slotUpdateSpectrogramAlpha();

    if (store) {
        m_spectrogram->SetType(StoredOptionIndex(*store, GetToolBarOption(ToolBarOptionId::Type)));
        m_spectrogram->SetBilinearInterpolation(m_bilinear->IsChecked());
        m_spectrogram->SetAmpRange(StoredAmpRange(*store));
        m_spectrogram->SetMelScale(m_melScale->IsChecked());
        m_spectrogram->SetFFTSize(StoredOptionIndex(*store, GetToolBarOption(ToolBarOptionId::FFTSize)));
        m_spectrogram->SetFFTZeroPadding(StoredOptionIndex(*store, GetToolBarOption(ToolBarOptionId::FFTZeroPadding)));
        m_spectrogram->SetFFTOverlap(StoredOptionIndex(*store, GetToolBarOption(ToolBarOptionId::FFTOverlap)));
        m_spectrogram->SetFFTWindow(StoredOptionIndex(*store, GetToolBarOption(ToolBarOptionId::FFTWindow)));
    }
    SetHeight(kHeight);

    // Where the layout cannot be read, the widgets still sit where the layout file has them.
    m_waveformOpacity->SetGeometry(120, 9, 95, 13);
    m_spectrogramOpacity->SetGeometry(120, 29, 95, 13);
    m_ampRange->SetGeometry(330, 80, 95, 13);
    m_buttons[0]->SetGeometry(123, 53, 100, 20);
    m_bilinear->SetGeometry(12, 82, 119, 10);
    m_melScale->SetGeometry(151, 82, 62, 10);
    m_buttons[1]->SetGeometry(349, 8, 100, 20);
    m_buttons[2]->SetGeometry(348, 34, 100, 20);
    m_buttons[3]->SetGeometry(552, 8, 100, 20);
    m_buttons[4]->SetGeometry(552, 34, 100, 20);
    m_layoutName = "EditorToolBar";
    LoadLayout();
}

SimpleSlider* EditorToolBar::MakeSlider(const char* name, const char* label, const char* slot) {
    auto* slider = new SimpleSlider(GetFrame(), this, false, name, label, true);
    Object::Connect(slider, "2sigUserValueChanged(float)", this, slot);
    return slider;
}

void EditorToolBar::slotUpdateWaveformAlpha() {
    const float value = m_waveformOpacity->GetValue();
    if (Settings* store = Store()) store->SetFloat(EditorViewKeys::WaveformOpacity, value);
    m_waveform->SetTransparency(OpacityToTransparency(value));
    sigAudioDisplayAlphaChanged();
}

void EditorToolBar::slotUpdateSpectrogramAlpha() {
    const float value = m_spectrogramOpacity->GetValue();
    if (Settings* store = Store()) store->SetFloat(EditorViewKeys::SpectrogramOpacity, value);
    m_spectrogram->SetTransparency(OpacityToTransparency(value));
    sigAudioDisplayAlphaChanged();
}

void EditorToolBar::slotUpdateAmpRange() {
    const float value = m_ampRange->GetValue();
    m_spectrogram->SetAmpRange(value);
    if (Settings* store = Store()) store->SetFloat(EditorViewKeys::AmpRange, value);
}

SimplePushButton* EditorToolBar::MakeOptionButton(const char* name, const char* label, const char* slot) {
    auto* button = new SimplePushButton(GetFrame(), this, name, String(), label);
    button->SetColour(kOptionButtonColour);
    button->SetHandlesRightButton(true);
    new Util::SignalProxy(button, "2sigClicked()", this, slot, true);
    new Util::SignalProxy(button, "2sigRightClicked()", this, slot, false);
    return button;
}

void EditorToolBar::CycleOption(int option, bool advance) {
    const auto id = ToolBarOptionId(option);
    const ToolBarOption& o = GetToolBarOption(id);
    const std::uint32_t next = CycleOptionIndex(CurrentIndex(m_spectrogram->GetSettings(), id), o.count, advance);
    switch (id) {
    case ToolBarOptionId::Type: m_spectrogram->SetType(next); break;
    case ToolBarOptionId::FFTSize: m_spectrogram->SetFFTSize(next); break;
    case ToolBarOptionId::FFTZeroPadding: m_spectrogram->SetFFTZeroPadding(next); break;
    case ToolBarOptionId::FFTOverlap: m_spectrogram->SetFFTOverlap(next); break;
    case ToolBarOptionId::FFTWindow: m_spectrogram->SetFFTWindow(next); break;
    }
    if (Settings* store = Store()) store->SetInt(o.key, std::int32_t(next));
    RefreshLabels();
}

void EditorToolBar::RefreshLabels() {
    Settings* store = Store();
    if (!store) return;
    auto caption = [&](ToolBarOptionId id) {
        m_buttons[int(id)]->SetCaption(StoredOptionLabel(*store, GetToolBarOption(id)));
    };
    caption(ToolBarOptionId::Type);
    m_bilinear->SetChecked(store->GetBool(EditorViewKeys::Bilinear, DefaultBilinear));
    m_melScale->SetChecked(store->GetBool(EditorViewKeys::MelScale, DefaultMelScale));
    caption(ToolBarOptionId::FFTSize);
    caption(ToolBarOptionId::FFTZeroPadding);
    caption(ToolBarOptionId::FFTOverlap);
    caption(ToolBarOptionId::FFTWindow);
}

void EditorToolBar::slotTypeClicked(bool bAdvance) { CycleOption(int(ToolBarOptionId::Type), bAdvance); }
void EditorToolBar::slotFFTSizeClicked(bool bAdvance) { CycleOption(int(ToolBarOptionId::FFTSize), bAdvance); }
void EditorToolBar::slotFFTZeroPaddingClicked(bool bAdvance) {
    CycleOption(int(ToolBarOptionId::FFTZeroPadding), bAdvance);
}
void EditorToolBar::slotFFTOverlapClicked(bool bAdvance) { CycleOption(int(ToolBarOptionId::FFTOverlap), bAdvance); }
void EditorToolBar::slotFFTWindowClicked(bool bAdvance) { CycleOption(int(ToolBarOptionId::FFTWindow), bAdvance); }

void EditorToolBar::slotBilinearClicked() {
    const bool on = m_bilinear->IsChecked();
    m_spectrogram->SetBilinearInterpolation(on);
    if (Settings* store = Store()) store->SetBool(EditorViewKeys::Bilinear, on);
}

void EditorToolBar::slotMelScaleClicked() {
    const bool on = m_melScale->IsChecked();
    m_spectrogram->SetMelScale(on);
    if (Settings* store = Store()) store->SetBool(EditorViewKeys::MelScale, on);
}

void EditorToolBar::Paint(DrawContext& dc) {
    dc.DrawRect(Rect::FromXYWH(0, 0, Width(), Height()), DrawRectFilled, kBackground, EffectiveTransparency());
    Window::Paint(dc);
}

}  // namespace UI

void UI::EditorToolBar::sigAudioDisplayAlphaChanged() { QV_EMIT(sigAudioDisplayAlphaChanged); }
