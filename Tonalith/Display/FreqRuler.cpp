#include <Tonalith/Display/FreqRuler.h>
#include <Tonalith/Display/RulerBase.h>
#include <Tonalith/Display/RulerLabelStep.h>

#include <Tonalith/Analysis/FreqScale.h>
#include <Tonalith/Analysis/ScaleRounding.h>

#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Text/Text.h>

#include <initializer_list>

QV_META_BEGIN(UI::FreqRuler, UI::Window)
    QV_META_SLOTS
    QV_SLOT(slotUserChangedVisibleFreqRange)
QV_META_END

namespace UI {

namespace {

constexpr int kWidth = 41;
constexpr float kMinSpacing = 15.0f;
constexpr const char* kLabelName = "FreqRuler Label %1";

// The fixed Mel labels, the later lists only for taller bands.
struct MelList {
    int minHeight;
    std::initializer_list<int> hz;
};
const MelList kMelLists[] = {
    {70, {100, 1000, 10000}},
    {150, {300, 500, 2000, 5000, 20000}},
    {300, {200, 400, 700, 1500, 3000, 7000, 15000}},
};

}  // namespace

FreqRuler::FreqRuler(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, FreqScale* scale)
    : RulerBase(canvas, frame, parent, name, false), m_scale(scale) {
    Object::Connect(scale, "2sigUserChangedVisibleFreqRange()", this, "1slotUserChangedVisibleFreqRange()");
    m_unitLabel = new Text(frame, this, "Freq Ruler Unit Label", "Hz", 0, 3);
    m_unitLabel->SetGeometry(6, 2, m_unitLabel->Width(), m_unitLabel->Height());
    SetWidth(kWidth);
    Layout();
}

FreqRuler::~FreqRuler() = default;

void FreqRuler::slotUserChangedVisibleFreqRange() { Layout(); }

void FreqRuler::Layout() {
    ClearLayout();
    m_unitLabel->SetGeometry(6, 2, m_unitLabel->Width(), m_unitLabel->Height());
    const ValueRange visible = m_scale->GetVisibleRange();
    if (visible.low > visible.high || Height() < 2) return;
    if (m_scale->IsMelScale()) {
        LayoutMel();
        return;
    }
    const int unitBottom = m_unitLabel->GetRect().bottom;
    for (std::uint32_t c = 0; c < m_scale->GetChannelCount(); ++c) {
        const RowBand band = m_scale->ChannelBand(c);
        if (band.Height() < 2) continue;
        const float low = m_scale->PixelToFreqInChannel(c, band.bottom);
        const float high = m_scale->PixelToFreqInChannel(c, band.top);
        const RulerLabelStep<float> step =
            NiceRulerStep(static_cast<float>(band.Height()), high - low, low, kMinSpacing);
        auto rowOf = [&](float value) {
            return AddSaturated(
                band.bottom, -RoundHalfAway<int>(static_cast<double>((value - low) * step.pixelsPerUnit)));
        };
        auto inBand = [&](int row) { return band.top <= row && row <= band.bottom; };
        for (std::int64_t k = 0; k < step.count; ++k) {
            const float value = step.Value(k);
            const int row = rowOf(value);
            RulerLabel label =
                MakeRulerLabel(this, kLabelName, static_cast<int>(k), String("%1").Arg(value, step.decimals, 'f'), row);
            const int h = label.label->Height();
            PlaceRulerLabel(label, {6, row - h / 2});
            const int top = label.label->GetRect().top;
            const int bottom = label.label->GetRect().bottom;
            ShowRulerLabel(label, top >= band.top && bottom + 1 <= band.bottom && top >= band.top + unitBottom + 1);
            m_labels.push_back(std::move(label));
            if (inBand(row)) m_majorTicks.push_back(row);
            if (k < step.count - 1)
                for (float minor : MinorTickValues(step, value))
                    if (const int r = rowOf(minor); inBand(r)) m_minorTicks.push_back(r);
        }
    }
    FinishLayout();
}

void FreqRuler::LayoutMel() {
    m_unitLabel->SetGeometry(26, m_scale->ChannelBand(0).bottom - 12, m_unitLabel->Width(), m_unitLabel->Height());
    const ValueRange visible = m_scale->GetVisibleRange();
    const ValueRange full = m_scale->GetRange();
    if (visible == full && m_scale->GetChannelCount() >= 1) {
        for (std::uint32_t c = 0; c < m_scale->GetChannelCount(); ++c) {
            const RowBand band = m_scale->ChannelBand(c);
            if (band.Height() < 2) continue;
            const int d = band.bottom - band.top;
            auto rowOf = [&](float hz) { return m_scale->FreqToRowInChannel(c, hz).row; };
            for (const MelList& list : kMelLists) {
                if (d < list.minHeight) break;
                int k = 0;
                for (int hz : list.hz) {
                    const int row = rowOf(static_cast<float>(hz));
                    RulerLabel label = MakeRulerLabel(this, kLabelName, k++, String::Number(hz), row);
                    PlaceRulerLabel(label, {6, row - label.label->Height() / 2});
                    m_labels.push_back(std::move(label));
                }
            }
            for (int hz : {0, 100, 1000, 10000}) m_majorTicks.push_back(rowOf(static_cast<float>(hz)));
            for (int i = 0; i <= 9; ++i)
                for (int decade : {100, 1000, 10000}) m_minorTicks.push_back(rowOf(static_cast<float>(i * decade)));
            m_minorTicks.push_back(rowOf(1500.0f));
            m_minorTicks.push_back(rowOf(15000.0f));
        }
    }
    FinishLayout();
}

bool FreqRuler::OnMouseWheel(Point, int delta, uint) {
    ZoomVisibleRange(*m_scale, delta);
    return true;
}

void FreqRuler::Paint(DrawContext& dc) {
    PaintVerticalRulerBox(dc, Width(), Height(), EffectiveTransparency(), m_majorTicks, m_minorTicks, *m_scale);
    Window::Paint(dc);
}

}  // namespace UI
