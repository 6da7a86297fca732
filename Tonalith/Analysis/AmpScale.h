#pragma once
#include <Tonalith/Analysis/ValueRange.h>

#include <QvBase/Object/Object.h>

#include <cstdint>

namespace UI {

// The visible amplitude range up each channel band.
class AmpScale : public Object {
    QV_OBJECT()
public:
    explicit AmpScale(const String& name);

    void sigUserChangedVisibleAmpRange();

    // A plain field: owners write it directly, nothing is signalled.
    void SetChannelCount(std::uint32_t channels) { m_channels = channels; }
    std::uint32_t GetChannelCount() const { return m_channels; }

    // Kept only when n > 0.
    void SetPixelHeight(int n);
    int GetPixelHeight() const { return m_height; }

    // The full range; also empties the visible range; emits nothing.
    void SetRange(const ValueRange& range);
    ValueRange GetRange() const { return m_full; }
    // Stored and signalled unless equal to the stored range and not forced.
    void SetVisibleRange(const ValueRange& range, bool bForce = false);
    ValueRange GetVisibleRange() const { return m_visible; }

    RowBand ChannelBand(std::uint32_t channel) const;

    // Screen row of an amplitude in channel i's band, not clamped to the band. With
    // bClip an amplitude outside the visible range has no row. Within a range that
    // holds 0 the rows are anchored on the zero line.
    RowResult AmpToPixel(std::uint32_t channel, float a, bool bClip) const;
    float PixelToAmp(std::uint32_t channel, int y) const;

private:
    std::uint32_t m_channels = 0;
    int m_height = 1;
    ValueRange m_full;
    ValueRange m_visible;
};

}  // namespace UI
