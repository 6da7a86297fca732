#include <Tonalith/Display/AudioCanvas.h>
#include <Tonalith/Display/RulerLabelModeStore.h>
#include <Tonalith/Display/RulerLabelStep.h>
#include <Tonalith/Display/TimeRuler.h>

#include <Tonalith/Analysis/ScaleRounding.h>
#include <Tonalith/Analysis/TimeScale.h>

#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Text/Text.h>

#include <algorithm>

QV_META_BEGIN(UI::TimeRuler, UI::Window)
    QV_META_SLOTS
    QV_SLOT(slotSamplingRateChanged)
    QV_SLOT(slotUserChangedVisibleSamples)
QV_META_END

namespace UI {

namespace {

constexpr int kHeight = 19;
constexpr double kMinSpacing = 45.0;
// Clear columns kept between neighbouring labels when their width, not kMinSpacing, sets the step.
constexpr double kLabelGap = 6.0;
constexpr int kMaxSpacingPasses = 4;

// The column of a value: (value - start) · p, half away from zero, saturated.
int ColumnOf(double value, double start, double p) { return RoundHalfAway<int>((value - start) * p); }

}  // namespace

TimeRuler::TimeRuler(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, TimeScale* scale)
    : RulerBase(canvas, frame, parent, name, true), m_scale(scale) {
    if (canvas) Object::Connect(canvas, "2sigSamplingRateChanged()", this, "1slotSamplingRateChanged()");
    Object::Connect(scale, "2sigUserChangedVisibleSamples()", this, "1slotUserChangedVisibleSamples()");
    m_unitLabel = new Text(frame, this, "Time Ruler Unit Label", "s", 0, 3);
    m_unitLabel->SetGeometry(2, 4, m_unitLabel->Width(), m_unitLabel->Height());
    m_mode = ReadRulerMode(ModeKey, ModeCount);
    SetHeight(kHeight);
    Layout();
}

TimeRuler::~TimeRuler() = default;

void TimeRuler::slotSamplingRateChanged() { Layout(); }

void TimeRuler::slotUserChangedVisibleSamples() { Layout(); }

void TimeRuler::SetMode(std::uint32_t mode) {
    if (mode == m_mode) return;
    m_mode = mode;
    Layout();
    WriteRulerMode(ModeKey, static_cast<std::int32_t>(m_mode));
}

bool TimeRuler::OnRightDown(Point, uint) {
    if (m_mode == ModeSeconds)
        SetMode(ModeSamples);
    else if (m_mode == ModeSamples)
        SetMode(ModeSeconds);
    return true;
}

void TimeRuler::Layout() {
    ClearLayout();
    const SampleRange visible = m_scale->GetVisibleRange();
    const int w = Width();
    if (visible.IsEmpty() || visible.Length() == 0 || w < 2) return;
    double start = static_cast<double>(visible.first);
    double span = static_cast<double>(visible.Length());
    if (m_mode == ModeSeconds) {
        const std::uint32_t rate = GetCanvas() ? GetCanvas()->GetSamplingRate() : 0;
        // Seconds mean nothing without a rate.
        if (rate == 0) return;
        start /= rate;
        span /= rate;
    }
    // Deep into a long file the labels carry many digits and outgrow the usual spacing:
    // widen it to the widest label until neighbours keep clear of each other. Each retry
    // asks for more room than the last, and a wider step never needs more digits.
    double spacing = kMinSpacing;
    for (int pass = 0; pass < kMaxSpacingPasses; ++pass) {
        const RulerLabelStep<double> step = NiceRulerStep(static_cast<double>(w), span, start, spacing);
        const int widest = LayOutLabels(step, start, w);
        const double needed = widest + kLabelGap;
        if (step.Empty() || step.step * step.pixelsPerUnit >= needed || needed <= spacing) break;
        spacing = needed;
        ClearLayout();
    }
    FinishLayout();
}

int TimeRuler::LayOutLabels(const RulerLabelStep<double>& step, double start, int w) {
    const int unitRight = m_unitLabel->GetRect().right;
    auto inRuler = [&](int column) { return 0 <= column && column <= w - 1; };
    int widest = 0;
    m_labels.reserve(static_cast<std::size_t>(step.count));
    for (std::int64_t k = 0; k < step.count; ++k) {
        const double value = step.Value(k);
        const int column = ColumnOf(value, start, step.pixelsPerUnit);
        RulerLabel label = MakeRulerLabel(this, "TimeRuler Label %1", static_cast<int>(k),
            String("%1%2").Arg(value, step.decimals, 'f').Arg(String()), column);
        PlaceRulerLabel(label, {column - label.label->Width() / 2, 4});
        const Rect r = label.label->GetRect();
        ShowRulerLabel(label, r.left >= 0 && r.right + 1 < w && r.left >= unitRight + 1);
        // The shadow reaches one column further right.
        widest = std::max(widest, label.label->Width() + 1);
        m_labels.push_back(std::move(label));
        if (inRuler(column)) m_majorTicks.push_back(column);
        const int m = step.twoForm ? 1 : 4;
        for (int j = 1; j <= m; ++j) {
            const int minor = ColumnOf(value + j * step.step / (m + 1), start, step.pixelsPerUnit);
            if (inRuler(minor)) m_minorTicks.push_back(minor);
        }
    }
    return widest;
}

bool TimeRuler::OnLeftDown(Point p, uint) {
    if (m_scale->GetLength() == 0) return true;
    m_dragAnchor = m_scale->PixelToSample(p.x, false);
    m_dragging = true;
    GetFrame()->SetCapture(this);
    return true;
}

bool TimeRuler::OnMouseMove(Point p, uint) {
    if (GetFrame()->CaptureWindow() != this || !m_dragging) return false;
    const std::uint64_t len = m_scale->GetVisibleRange().Length();
    const std::uint64_t length = m_scale->GetLength();
    const int w = Width();
    double newFirst = static_cast<double>(m_dragAnchor);
    if (w != 0) newFirst -= static_cast<double>(len) * p.x / w;
    const double maxFirst = static_cast<double>(length >= len ? length - len : 0);
    if (newFirst < 0.0) newFirst = 0.0;
    if (newFirst > maxFirst) newFirst = maxFirst;
    m_scale->SetVisibleRange(SampleRange(static_cast<std::uint64_t>(RoundHalfAway(newFirst)), len));
    return true;
}

bool TimeRuler::OnLeftUp(Point, uint) {
    GetFrame()->ReleaseCapture();
    m_dragAnchor = 0;
    m_dragging = false;
    return true;
}

void TimeRuler::Paint(DrawContext& dc) {
    const int w = Width();
    const int h = Height();
    const Transparency t = EffectiveTransparency();
    dc.DrawRect({1, w - 2, 1, h - 2}, DrawRectFilled, RulerColours::Background, t);
    dc.DrawRect({0, w - 1, 0, h - 1}, DrawRectOutline, RulerColours::Border, t);
    // Only the top and bottom edges keep the border.
    dc.DrawLine({0, 1}, {0, h - 2}, RulerColours::Background, t);
    dc.DrawLine({w - 1, 1}, {w - 1, h - 2}, RulerColours::Background, t);
    for (int x : m_majorTicks) dc.DrawLine({x, 1}, {x, 4}, RulerColours::Tick, t);
    for (int x : m_minorTicks) dc.DrawLine({x, 1}, {x, 2}, RulerColours::Tick, t);
    Window::Paint(dc);
}

}  // namespace UI
