#pragma once
#include <Tonalith/Analysis/SampleRange.h>

#include <QvBase/Object/Object.h>

#include <cstdint>

namespace UI {

// The visible range of sample frames across a width of pixel columns.
class TimeScale : public Object {
    QV_OBJECT()
public:
    explicit TimeScale(const String& name);

    void sigUserChangedVisibleSamples();

    // Kept only when n > 0.
    void SetPixelWidth(int n);
    int GetPixelWidth() const { return m_width; }

    // Also empties the visible range; emits nothing.
    void SetLength(std::uint64_t length);
    std::uint64_t GetLength() const { return m_length; }

    // Stored and signalled unless equal to the stored range and not forced.
    void SetVisibleRange(const SampleRange& range, bool bForce = false);
    SampleRange GetVisibleRange() const { return m_visible; }

    // The frame at a column; bEnd lets the last column reach one frame past the range.
    std::uint64_t PixelToSample(int column, bool bEnd) const;

private:
    int m_width = 1;
    std::uint64_t m_length = 0;
    SampleRange m_visible;
};

}  // namespace UI
