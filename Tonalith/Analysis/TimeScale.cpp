#include <Tonalith/Analysis/TimeScale.h>

#include <Tonalith/Analysis/ScaleRounding.h>

QV_META_BEGIN(UI::TimeScale, Object)
    QV_SIGNAL(sigUserChangedVisibleSamples)
    QV_META_SLOTS
QV_META_END

namespace UI {

TimeScale::TimeScale(const String& name) : Object(name) {}

void TimeScale::sigUserChangedVisibleSamples() { QV_EMIT(sigUserChangedVisibleSamples); }

void TimeScale::SetPixelWidth(int n) {
    if (n > 0) m_width = n;
}

void TimeScale::SetLength(std::uint64_t length) {
    m_length = length;
    m_visible = SampleRange();
}

void TimeScale::SetVisibleRange(const SampleRange& range, bool bForce) {
    if (!bForce && range == m_visible) return;
    m_visible = range;
    sigUserChangedVisibleSamples();
}

std::uint64_t TimeScale::PixelToSample(int column, bool bEnd) const {
    const std::int64_t first = static_cast<std::int64_t>(m_visible.first);
    const std::int64_t last = static_cast<std::int64_t>(m_visible.last + (bEnd ? 1 : 0));
    double x = static_cast<double>(first);
    if (m_width != 1) {
        const double span = static_cast<double>(last) - static_cast<double>(first);
        x += span * (static_cast<double>(column) / static_cast<double>(m_width - 1));
    }
    std::int64_t frame = RoundHalfAway(x);
    if (frame < first) frame = first;
    if (frame > last) frame = last;
    return static_cast<std::uint64_t>(frame);
}

}  // namespace UI
