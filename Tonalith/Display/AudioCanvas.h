#pragma once
#include <QvBase/Object/Object.h>
#include <QvBase/Types.h>

#include <cstdint>

namespace UI {

// The audio being shown, shared by every display and ruler: its sample rate. The main
// window sets the rate of the file it shows, so that time reads in that file's seconds.
class AudioCanvas : public Object {
    QV_OBJECT()
public:
    explicit AudioCanvas(std::uint32_t samplesPerSecond);

    void sigSamplingRateChanged();
    void sigSamplingRateChanged(uint uSamplesPerSecond);

    std::uint32_t GetSamplingRate() const { return m_samplesPerSecond; }
    // Emits both signals when the rate changes.
    void SetSamplingRate(std::uint32_t uSamplesPerSecond);

private:
    std::uint32_t m_samplesPerSecond;
};

}  // namespace UI
