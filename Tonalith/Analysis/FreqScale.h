#pragma once
#include <Tonalith/Analysis/ValueRange.h>

#include <QvBase/Object/Object.h>

#include <cstdint>

namespace UI {

// The visible frequency range up each channel band, linear or Mel-like (linear up
// to 500 Hz, logarithmic above, equal slopes at the break). Rows within a band count
// upwards from its bottom row; pixel centres lie at integers.
class FreqScale : public Object {
    QV_OBJECT()
public:
    explicit FreqScale(const String& name);

    void sigUserChangedVisibleFreqRange();

    // A plain field: owners write it directly, nothing is signalled.
    void SetChannelCount(std::uint32_t channels) { m_channels = channels; }
    std::uint32_t GetChannelCount() const { return m_channels; }

    // Kept only when n > 0.
    void SetPixelHeight(int n);
    int GetPixelHeight() const { return m_height; }

    // Signals only when the flag changes.
    void SetMelScale(bool b);
    bool IsMelScale() const { return m_mel; }

    // The full range; also empties the visible range; emits nothing.
    void SetRange(const ValueRange& range);
    ValueRange GetRange() const { return m_full; }
    // Stored and signalled unless equal to the stored range and not forced.
    void SetVisibleRange(const ValueRange& range, bool bForce = false);
    ValueRange GetVisibleRange() const { return m_visible; }

    RowBand ChannelBand(std::uint32_t channel) const;

    // Frequency at a row p of the band (edges at -0.5 and T + 0.5), clamped to the
    // visible range.
    float PixelToFreq(float p) const;
    // The row of a frequency, clamped to [0, T]; always valid.
    RowResult FreqToRow(float f) const;
    // The same against screen rows of channel i's band.
    float PixelToFreqInChannel(std::uint32_t channel, int y) const;
    RowResult FreqToRowInChannel(std::uint32_t channel, float f) const;

    // The Mel-like curve's break row (where it reaches 500 Hz).
    float MelBreakRow() const;

private:
    struct MelCurve {
        float top;  // T + 0.5
        float logs;  // ln(full high) - ln(500)
        float breakRow;
    };
    MelCurve Curve() const;
    int TopRow() const;
    int BandBottom(std::uint32_t channel) const;

    std::uint32_t m_channels = 0;
    bool m_mel = false;
    int m_height = 1;
    ValueRange m_full;
    ValueRange m_visible;
};

}  // namespace UI
