#include <Tonalith/Analysis/AmpScale.h>

#include <Tonalith/Analysis/ChannelBands.h>
#include <Tonalith/Analysis/ScaleRounding.h>

QV_META_BEGIN(UI::AmpScale, Object)
    QV_SIGNAL(sigUserChangedVisibleAmpRange)
    QV_META_SLOTS
QV_META_END

namespace UI {

AmpScale::AmpScale(const String& name) : Object(name) {}

void AmpScale::sigUserChangedVisibleAmpRange() { QV_EMIT(sigUserChangedVisibleAmpRange); }

void AmpScale::SetPixelHeight(int n) {
    if (n > 0) m_height = n;
}

void AmpScale::SetRange(const ValueRange& range) {
    m_full = range;
    m_visible = ValueRange();
}

void AmpScale::SetVisibleRange(const ValueRange& range, bool bForce) {
    if (!bForce && range == m_visible) return;
    m_visible = range;
    sigUserChangedVisibleAmpRange();
}

RowBand AmpScale::ChannelBand(std::uint32_t channel) const { return ChannelBandRows(m_channels, m_height, channel); }

RowResult AmpScale::AmpToPixel(std::uint32_t channel, float a, bool bClip) const {
    const float vl = m_visible.low;
    const float vh = m_visible.high;
    if (bClip && (a < vl || a > vh)) return RowResult{0, false};
    const RowBand band = ChannelBand(channel);
    const float top = static_cast<float>(band.top);
    const float bottom = static_cast<float>(band.bottom);
    // The row of amplitude v by the plain linear map.
    auto linearRow = [&](float v) {
        if (vl == vh) return band.bottom;
        return TruncToInt(bottom + (v - vl) / (vh - vl) * (top - bottom));
    };
    if (vl <= 0.0f && 0.0f <= vh && a != 0.0f) {
        const float offset = (top - bottom) / (vh - vl) * a;
        return RowResult{AddSaturated(linearRow(0.0f), RoundEvenToInt(offset)), true};
    }
    return RowResult{linearRow(a), true};
}

float AmpScale::PixelToAmp(std::uint32_t channel, int y) const {
    const float vl = m_visible.low;
    const float vh = m_visible.high;
    const RowBand band = ChannelBand(channel);
    if (y >= band.bottom) return vl;
    if (y <= band.top) return vh;
    const float span = static_cast<float>(band.top - band.bottom);
    if (vl <= 0.0f && 0.0f <= vh) {
        const int zero = AmpToPixel(channel, 0.0f, false).row;
        return (vh - vl) / span * static_cast<float>(y - zero);
    }
    return vl + static_cast<float>(y - band.bottom) / span * (vh - vl);
}

}  // namespace UI
