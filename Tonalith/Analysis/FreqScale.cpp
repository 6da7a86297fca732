#include <Tonalith/Analysis/FreqScale.h>

#include <Tonalith/Analysis/ChannelBands.h>
#include <Tonalith/Analysis/ScaleRounding.h>

#include <QvBase/Util/Math.h>

QV_META_BEGIN(UI::FreqScale, Object)
    QV_SIGNAL(sigUserChangedVisibleFreqRange)
    QV_META_SLOTS
QV_META_END

namespace UI {

namespace {

constexpr float kBreakHz = 500.0f;

}  // namespace

FreqScale::FreqScale(const String& name) : Object(name) {}

void FreqScale::sigUserChangedVisibleFreqRange() { QV_EMIT(sigUserChangedVisibleFreqRange); }

void FreqScale::SetPixelHeight(int n) {
    if (n > 0) m_height = n;
}

void FreqScale::SetMelScale(bool b) {
    if (b == m_mel) return;
    m_mel = b;
    sigUserChangedVisibleFreqRange();
}

void FreqScale::SetRange(const ValueRange& range) {
    m_full = range;
    m_visible = ValueRange();
}

void FreqScale::SetVisibleRange(const ValueRange& range, bool bForce) {
    if (!bForce && range == m_visible) return;
    m_visible = range;
    sigUserChangedVisibleFreqRange();
}

RowBand FreqScale::ChannelBand(std::uint32_t channel) const { return ChannelBandRows(m_channels, m_height, channel); }

int FreqScale::TopRow() const { return BandTopRow(m_channels, m_height); }

int FreqScale::BandBottom(std::uint32_t channel) const {
    return channel < m_channels ? ChannelBand(channel).bottom : 0;
}

FreqScale::MelCurve FreqScale::Curve() const {
    MelCurve curve;
    curve.top = static_cast<float>(TopRow()) + 0.5f;
    curve.logs = static_cast<float>(Util::Log(m_full.high) - Util::Log(kBreakHz));
    curve.breakRow = (curve.top * kBreakHz - kBreakHz * curve.logs * 0.5f) / (kBreakHz * curve.logs + kBreakHz);
    return curve;
}

float FreqScale::MelBreakRow() const { return Curve().breakRow; }

float FreqScale::PixelToFreq(float p) const {
    float f;
    if (m_mel) {
        const MelCurve c = Curve();
        if (p <= c.breakRow)
            // The product is exact in double, so the break row gives exactly 500 Hz.
            f = static_cast<float>((static_cast<double>(p) + 0.5) * kBreakHz / (static_cast<double>(c.breakRow) + 0.5));
        else
            f = static_cast<float>(Util::Exp((p - c.breakRow) * c.logs / (c.top - c.breakRow) + Util::Log(kBreakHz)));
    } else {
        const int top = TopRow();
        if (static_cast<float>(top) + 0.5f == -0.5f)
            f = m_visible.low;
        else
            f = m_visible.low + (p + 0.5f) / static_cast<float>(top + 1) * (m_visible.high - m_visible.low);
    }
    // A full range the curve cannot use (high end at or below 500 Hz) gives NaN: show the low end.
    if (f < m_visible.low || !(f == f)) return m_visible.low;
    if (f > m_visible.high) return m_visible.high;
    return f;
}

RowResult FreqScale::FreqToRow(float f) const {
    const int top = TopRow();
    int row;
    if (m_mel) {
        const MelCurve c = Curve();
        if (f <= kBreakHz)
            row = TruncToInt((c.breakRow + 0.5f) * f * 0.002f);
        else
            row = TruncToInt(
                static_cast<float>(Util::Log(f) - Util::Log(kBreakHz)) * (c.top - c.breakRow) / c.logs + c.breakRow);
    } else if (m_visible.high == m_visible.low) {
        row = 0;
    } else {
        const float centre = (f - m_visible.low) / (m_visible.high - m_visible.low) * static_cast<float>(top + 1);
        row = TruncToInt(centre - 0.5f + 0.5f);
    }
    if (row < 0) row = 0;
    if (row > top) row = top;
    return RowResult{row, true};
}

float FreqScale::PixelToFreqInChannel(std::uint32_t channel, int y) const {
    return PixelToFreq(static_cast<float>(BandBottom(channel) - y));
}

RowResult FreqScale::FreqToRowInChannel(std::uint32_t channel, float f) const {
    return RowResult{BandBottom(channel) - FreqToRow(f).row, true};
}

}  // namespace UI
