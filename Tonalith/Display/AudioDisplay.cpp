#include <Tonalith/Display/AudioDisplay.h>

#include <Tonalith/Analysis/AmpScale.h>
#include <Tonalith/Analysis/AudioCalculator.h>
#include <Tonalith/Analysis/FreqScale.h>
#include <Tonalith/Analysis/TimeScale.h>
#include <Tonalith/Display/AudioUpdater.h>

#include <QvBase/Object/MetaDeclare.h>
#include <QvBase/UI/Drawing/Image.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/Util/Math.h>

#include <algorithm>

QV_META_BEGIN(UI::AudioDisplay, UI::Window)
    QV_META_SLOTS
    QV_SLOT(slotUserChangedVisibleSamples)
    QV_SLOT(slotUserChangedVisibleAmpRange)
    QV_SLOT(slotUserChangedVisibleFreqRange)
QV_META_END

namespace UI {

namespace {
constexpr uint kRepaintPeriodMs = 100;

// A frame timer of 100 ms would fire on the first tick at or after it, every fourth tick of
// 33 ms: the display counts ticks instead and repaints on the one nearest its period.
uint TicksPerRepaint(const Frame* frame) {
    const uint tick = frame ? frame->UpdateTickMs() : 0;
    return tick ? std::max(1u, (kRepaintPeriodMs + tick / 2) / tick) : 1;
}
}  // namespace

AudioDisplay::AudioDisplay(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, TimeScale* timeScale,
    AmpScale* ampScale, FreqScale* freqScale, AudioUpdater* updater)
    : Window(frame, parent, name),
      AudioCanvasWindow(canvas),
      m_updater(updater),
      m_timeScale(timeScale),
      m_ampScale(ampScale),
      m_freqScale(freqScale) {
    Object::Connect(timeScale, "2sigUserChangedVisibleSamples()", this, "1slotUserChangedVisibleSamples()");
    Object::Connect(ampScale, "2sigUserChangedVisibleAmpRange()", this, "1slotUserChangedVisibleAmpRange()");
    Object::Connect(freqScale, "2sigUserChangedVisibleFreqRange()", this, "1slotUserChangedVisibleFreqRange()");
    if (frame) frame->AddTimer(this, 0, false);
}

AudioDisplay::~AudioDisplay() { Unbind(); }

void AudioDisplay::slotUserChangedVisibleSamples() { ResubmitView(); }
void AudioDisplay::slotUserChangedVisibleAmpRange() { ResubmitView(); }
void AudioDisplay::slotUserChangedVisibleFreqRange() { ResubmitView(); }

void AudioDisplay::SetSource(const SharedPtr<AudioDisplaySource>& source) {
    if (m_source || m_calculator) Unbind();
    m_source = source;
    if (!m_source || !m_updater) return;
    AudioCalculator* calculator = CreateCalculator(m_source);
    if (!calculator) return;
    calculator->SetActive(IsShown());
    m_calculator = calculator;
    m_buffer = m_updater->AddJob(calculator, GetRect().GetSize(), BuildViewRequest());
}

void AudioDisplay::Unbind() {
    if (m_calculator && m_updater) m_updater->RemoveJob(m_calculator);
    m_calculator = nullptr;
    m_buffer = nullptr;
    m_source = SharedPtr<AudioDisplaySource>();
    if (m_timeScale) m_timeScale->SetLength(0);
}

void AudioDisplay::SetReadingProgress(std::optional<float> percent) {
    const auto shown = [](const std::optional<float>& p) { return p ? ReadingText(*p) : String(); };
    // A paint only when the text changes: the read's own pace sets the repaints.
    const bool changed = shown(percent) != shown(m_readingProgress);
    m_readingProgress = percent;
    if (changed) Invalidate();
}

AudioViewRequest AudioDisplay::BuildViewRequest() const {
    AudioViewRequest request;
    if (m_ampScale) {
        request.channels = m_ampScale->GetChannelCount();
        request.ampFull = m_ampScale->GetRange();
        request.ampVisible = m_ampScale->GetVisibleRange();
    }
    if (m_timeScale) {
        request.length = m_timeScale->GetLength();
        request.visible = m_timeScale->GetVisibleRange();
    }
    if (m_freqScale) {
        request.bMel = m_freqScale->IsMelScale();
        request.freqFull = m_freqScale->GetRange();
        request.freqVisible = m_freqScale->GetVisibleRange();
    }
    return request;
}

void AudioDisplay::ResubmitView() {
    if (m_calculator && m_updater) m_updater->UpdateView(m_calculator, BuildViewRequest());
}

void AudioDisplay::SetMelScale(bool mel) {
    if (!m_freqScale || m_freqScale->IsMelScale() == mel) return;
    m_freqScale->SetMelScale(mel);
    ResubmitView();
}

void AudioDisplay::SendSettings(std::uint32_t byteCount, const std::uint8_t* bytes) {
    if (m_calculator && m_updater) m_updater->UpdateSettings(m_calculator, byteCount, bytes);
}

void AudioDisplay::Activate() {
    if (m_calculator && IsShown() && !m_calculator->IsActive()) {
        m_calculator->SetActive(true);
        if (m_updater) m_updater->Wake();
    }
}

void AudioDisplay::OnShow() { Activate(); }

void AudioDisplay::OnHide() {
    if (m_calculator) m_calculator->SetActive(false);
}

void AudioDisplay::OnTransparencyChanged() {
    if (IsShown())
        Activate();
    else if (m_calculator)
        m_calculator->SetActive(false);
}

void AudioDisplay::OnGeometryChanged() {
    if (!m_calculator || !m_updater) return;
    if (m_buffer && m_buffer->Width() == Width() && m_buffer->Height() == Height()) return;
    m_buffer = m_updater->Resize(m_calculator, GetRect().GetSize());
}

void AudioDisplay::OnTimer(uint /*timerId*/) {
    if (++m_ticksSinceRepaint < TicksPerRepaint(GetFrame())) return;
    m_ticksSinceRepaint = 0;
    // The worker tells nobody when it has drawn: the display repaints whatever is there.
    Invalidate();
}

bool AudioDisplay::OnMouseWheel(Point p, int delta, uint /*modifiers*/) {
    if (!m_buffer || !m_timeScale) return false;
    const double notches = double(delta) / WheelNotch;
    if (notches == 0.0) return true;
    const SampleRange visible = m_timeScale->GetVisibleRange();
    const std::uint64_t first = visible.first;
    const std::uint64_t last = visible.last;
    const std::uint64_t len = first > last ? 0 : last - first + 1;
    std::int64_t newLen = 0;
    if (notches > 0) {
        newLen = Util::RoundToInt64(double(len) / (1.05 + 0.05 * notches));
    } else {
        newLen = Util::RoundToInt64(double(len) * (1.05 - 0.05 * notches));
        if (newLen >= 0 && std::uint64_t(newLen) == len) newLen = std::int64_t(len + 1);
    }
    if (newLen <= 0) return true;
    const std::uint64_t length = m_timeScale->GetLength();
    const std::uint64_t n = std::min<std::uint64_t>(std::uint64_t(newLen), length);
    // An empty file has no range to show.
    if (n == 0) return true;

    const std::uint64_t s = m_timeScale->PixelToSample(p.x, false);
    double f = 0.0;
    if (first < last) f = (double(s) - double(first)) / (double(last) - double(first));
    f = std::clamp(f, 0.0, 1.0);
    const std::uint64_t left = std::uint64_t(std::max<std::int64_t>(0, Util::RoundToInt64(double(n) * f)));
    const std::uint64_t right = n - std::min(left, n);
    SampleRange range;
    if (s <= left)
        range = SampleRange(0, n);
    else if (s >= length - right)
        range = SampleRange(length - n, n);
    else
        range = SampleRange(s - left, n);
    m_timeScale->SetVisibleRange(range, false);
    return true;
}

}  // namespace UI
