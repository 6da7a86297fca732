#pragma once
#include <QvBase/Object/Object.h>
#include <QvBase/Types.h>

#include <cstdint>

namespace UI {

// The audio being shown, shared by every display and ruler: its sample rate.
// Nothing changes the rate after construction.
class AudioCanvas : public Object {
    QV_OBJECT()
public:
    explicit AudioCanvas(std::uint32_t samplesPerSecond);

    void sigSamplingRateChanged();
    void sigSamplingRateChanged(uint uSamplesPerSecond);

    std::uint32_t GetSamplingRate() const { return m_samplesPerSecond; }

private:
    std::uint32_t m_samplesPerSecond;
};

}  // namespace UI
