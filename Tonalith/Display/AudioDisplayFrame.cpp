#include <Tonalith/Display/AudioDisplayFrame.h>

#include <Tonalith/Analysis/AmpScale.h>
#include <Tonalith/Analysis/FreqScale.h>
#include <Tonalith/Analysis/TimeScale.h>
#include <Tonalith/Display/AudioDisplay.h>

#include <QvBase/Object/MetaDeclare.h>
#include <QvBase/UI/Drawing/DrawContext.h>

QV_META_BEGIN(UI::AudioDisplayFrame, UI::Window)
    QV_META_SLOTS
QV_META_END

namespace UI {

namespace {
constexpr int kMargin = 6;
constexpr int kMinimumSide = 12;

int WidthOf(const Window* w) { return w ? w->Width() : 0; }
int HeightOf(const Window* w) { return w ? w->Height() : 0; }

void SetShown(Window* w, bool shown) {
    if (!w) return;
    if (shown)
        w->Show();
    else
        w->Hide();
}
}  // namespace

AudioDisplayFrame::AudioDisplayFrame(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name,
    TimeScale* timeScale, AmpScale* ampScale, FreqScale* freqScale, Window* timeRuler, Window* ampRuler,
    Window* freqRuler)
    : Window(frame, parent, name),
      AudioCanvasWindow(canvas),
      m_timeScale(timeScale),
      m_ampScale(ampScale),
      m_freqScale(freqScale),
      m_timeRuler(timeRuler),
      m_ampRuler(ampRuler),
      m_freqRuler(freqRuler) {
    for (Window* ruler : {m_timeRuler, m_ampRuler, m_freqRuler})
        if (ruler) ruler->SetParent(this, Point{0, 0});
}

void AudioDisplayFrame::AddDisplay(AudioDisplay* display) {
    if (!display) return;
    m_displays.push_back(display);
    display->SetParent(this, Point{0, 0});
    OnGeometryChanged();
}

void AudioDisplayFrame::SetShownDisplays(bool waveformShown, bool spectrogramShown) {
    if (waveformShown == m_waveformShown && spectrogramShown == m_spectrogramShown) return;
    m_waveformShown = waveformShown;
    m_spectrogramShown = spectrogramShown;
    OnGeometryChanged();
}

Rect AudioDisplayFrame::CornerBlock() const {
    if (!m_waveformShown && !m_spectrogramShown) return Rect{0, -1, 0, -1};
    const int R = (m_waveformShown ? WidthOf(m_ampRuler) : 0) + (m_spectrogramShown ? WidthOf(m_freqRuler) : 0);
    const int w = Width();
    const int h = Height();
    return Rect{w - R - kMargin, w - kMargin - 1, h - HeightOf(m_timeRuler) - kMargin, h - kMargin - 1};
}

void AudioDisplayFrame::OnGeometryChanged() {
    // The corner block is this window's own drawing, not a child's: no child's move repaints
    // where it was or where it goes.
    const Rect corner = CornerBlock();
    if (corner != m_laidOutCorner) {
        Invalidate(m_laidOutCorner);
        Invalidate(corner);
        m_laidOutCorner = corner;
    }
    const int w = Width();
    const int h = Height();
    if (w < kMinimumSide || h < kMinimumSide) return;
    const int trH = HeightOf(m_timeRuler);
    const int arW = WidthOf(m_ampRuler);
    const int frW = WidthOf(m_freqRuler);
    const int H = h - 2 * kMargin - trH;
    SetShown(m_ampRuler, m_waveformShown);
    SetShown(m_freqRuler, m_spectrogramShown);
    int W = w - 2 * kMargin;
    if (m_waveformShown) W -= arW;
    if (m_spectrogramShown) W -= frW;

    if (m_timeScale) m_timeScale->SetPixelWidth(W);
    if (m_ampScale) m_ampScale->SetPixelHeight(H);
    if (m_freqScale) m_freqScale->SetPixelHeight(H);

    if (m_timeRuler) m_timeRuler->SetGeometry(kMargin, H + kMargin, W, trH);
    if (m_spectrogramShown && m_freqRuler) m_freqRuler->SetGeometry(w - kMargin - frW, kMargin, frW, H);
    if (m_waveformShown && m_ampRuler)
        m_ampRuler->SetGeometry(w - kMargin - arW - (m_spectrogramShown ? frW : 0), kMargin, arW, H);
    for (AudioDisplay* display : m_displays) display->SetGeometry(kMargin, kMargin, W, H);
}

void AudioDisplayFrame::Paint(DrawContext& dc) {
    const int w = Width();
    const int h = Height();
    const Transparency t = EffectiveTransparency();
    auto fill = [&](int left, int right, int top, int bottom) {
        dc.DrawRect(Rect{left, right, top, bottom}, DrawRectFilled, kBorderColour, t);
    };
    fill(0, w - 1, 0, 4);
    dc.DrawLine(Point{5, 5}, Point{w - 5, 5}, kShadowColour, t);
    dc.BlendPixel(Point{w - 7, 5}, kHighlightColour, t);
    fill(0, 4, 5, h - 6);
    dc.DrawLine(Point{5, 5}, Point{5, h - 5}, kShadowColour, t);
    fill(w - 6, w - 1, 5, h - 6);
    fill(0, w - 1, h - 6, h - 1);
    dc.BlendPixel(Point{5, h - 7}, kHighlightColour, t);

    if (m_waveformShown || m_spectrogramShown) {
        const Rect corner = CornerBlock();
        fill(corner.left, corner.right, corner.top, corner.bottom);
        dc.DrawLine(Point{corner.left, corner.top}, Point{corner.right, corner.top}, kHighlightColour, t);
        dc.DrawLine(Point{corner.left, corner.top}, Point{corner.left, corner.bottom}, kHighlightColour, t);
    }
    Window::Paint(dc);
}

}  // namespace UI
