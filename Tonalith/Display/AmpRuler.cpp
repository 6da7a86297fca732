#include <Tonalith/Display/AmpRuler.h>
#include <Tonalith/Display/RulerBase.h>
#include <Tonalith/Display/RulerLabelModeStore.h>
#include <Tonalith/Display/RulerLabelStep.h>

#include <Tonalith/Analysis/AmpScale.h>
#include <Tonalith/Analysis/ScaleRounding.h>

#include <QvBase/UI/Drawing/DrawContext.h>
#include <QvBase/UI/Text/Text.h>
#include <QvBase/Util/Math.h>

#include <algorithm>
#include <cmath>

QV_META_BEGIN(UI::AmpRuler, UI::Window)
    QV_META_SLOTS
    QV_SLOT(slotUserChangedVisibleAmpRange)
QV_META_END

namespace UI {

namespace {

constexpr int kWidth = 41;
constexpr float kMinSpacing = 12.0f;

}  // namespace

AmpRuler::AmpRuler(AudioCanvas* canvas, Frame* frame, Window* parent, const String& name, AmpScale* scale)
    : RulerBase(canvas, frame, parent, name, false), m_scale(scale) {
    Object::Connect(scale, "2sigUserChangedVisibleAmpRange()", this, "1slotUserChangedVisibleAmpRange()");
    m_unitLabel = new Text(frame, this, "Amp Ruler Unit Label", String(), 0, 3);
    m_unitLabel->SetGeometry(6, 2, m_unitLabel->Width(), m_unitLabel->Height());
    m_mode = ReadRulerMode(ModeKey, ModeCount);
    m_unitLabel->SetText(UnitText(m_mode));
    SetWidth(kWidth);
    Layout();
}

AmpRuler::~AmpRuler() = default;

void AmpRuler::slotUserChangedVisibleAmpRange() { Layout(); }

String AmpRuler::UnitText(std::uint32_t mode) {
    switch (mode) {
    case ModeDb: return "dB";
    case ModeSample: return "samp";
    case Mode16Bit: return "16-bit";
    case ModePercent: return "%";
    default: return String();
    }
}

String AmpRuler::LabelText(std::uint32_t mode, float v, int decimals) {
    switch (mode) {
    case ModeDb: {
        const float d = Util::AmpToDb(std::fabs(v));
        return d <= -400.0f ? String("-oo") : String("%1").Arg(d, decimals, 'f');
    }
    case ModeSample: return String("%1").Arg(v, decimals, 'f');
    case Mode16Bit: return String("%1").Arg(static_cast<long long>(RoundHalfAway(static_cast<double>(v) * 32767.0)));
    case ModePercent: return String("%1").Arg(v * 100.0f, std::max(0, decimals - 2), 'f');
    default: return String();
    }
}

void AmpRuler::SetMode(std::uint32_t mode) {
    if (mode == m_mode) return;
    m_mode = mode;
    m_unitLabel->SetText(UnitText(m_mode));
    Layout();
    WriteRulerMode(ModeKey, static_cast<std::int32_t>(m_mode));
}

bool AmpRuler::OnRightDown(Point, uint) {
    SetMode((m_mode + 1) & 3);
    return true;
}

void AmpRuler::Layout() {
    ClearLayout();
    const ValueRange visible = m_scale->GetVisibleRange();
    if (visible.high < visible.low || Height() < 2) return;
    const int unitBottom = m_unitLabel->GetRect().bottom;
    for (std::uint32_t c = 0; c < m_scale->GetChannelCount(); ++c) {
        const RowBand band = m_scale->ChannelBand(c);
        if (band.Height() < 2) continue;
        const float low = m_scale->PixelToAmp(c, band.bottom);
        const float high = m_scale->PixelToAmp(c, band.top);
        const RulerLabelStep<float> step =
            AmpRulerStep(static_cast<float>(band.Height()), high - low, low, kMinSpacing);
        auto inBand = [&](int row) { return band.top <= row && row <= band.bottom; };
        for (std::int64_t k = 0; k < step.count; ++k) {
            const float value = step.Value(k);
            const RowResult row = m_scale->AmpToPixel(c, value, true);
            RulerLabel label = MakeRulerLabel(this, "AmpRuler Label %1", static_cast<int>(k),
                LabelText(m_mode, value, step.decimals), row.valid ? row.row : 0);
            bool shown = false;
            if (row.valid) {
                PlaceRulerLabel(label, {6, row.row - label.label->Height() / 2});
                const int top = label.label->GetRect().top;
                const int bottom = label.label->GetRect().bottom;
                shown = top >= band.top && bottom + 1 <= band.bottom && top >= band.top + unitBottom + 1;
                if (inBand(row.row)) m_majorTicks.push_back(row.row);
            }
            ShowRulerLabel(label, shown);
            m_labels.push_back(std::move(label));
            if (k < step.count - 1)
                for (int j = 1; j <= 4; ++j) {
                    const float v = value + static_cast<float>(j) * step.step * 0.2f;
                    const int r = AddSaturated(
                        band.bottom, -RoundHalfAway<int>(static_cast<double>((v - low) * step.pixelsPerUnit)));
                    if (inBand(r)) m_minorTicks.push_back(r);
                }
        }
    }
    FinishLayout();
}

bool AmpRuler::OnMouseWheel(Point, int delta, uint) {
    ZoomVisibleRange(*m_scale, delta);
    return true;
}

void AmpRuler::Paint(DrawContext& dc) {
    PaintVerticalRulerBox(dc, Width(), Height(), EffectiveTransparency(), m_majorTicks, m_minorTicks, *m_scale);
    Window::Paint(dc);
}

}  // namespace UI
