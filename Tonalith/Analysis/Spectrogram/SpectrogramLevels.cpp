#include <Tonalith/Analysis/Spectrogram/SpectrogramLevels.h>

namespace UI {

SpectrogramLevels::SpectrogramLevels(float minimum, float maximum)
    : m_min(minimum),
      m_max(maximum),
      m_factor(static_cast<float>(255.0 / (double(maximum) - double(minimum)) * 10.0 / std::log(10.0))) {}

float SpectrogramLevels::RawOffset(std::int64_t frameLength) const {
    const double span = double(m_max) - double(m_min);
    return static_cast<float>(255.0 / span * (20.0 * std::log10(2.0 / double(frameLength)) - double(m_min)));
}

float SpectrogramLevels::ScaledOffset(std::int64_t frameLength) const {
    const double span = double(m_max) - double(m_min);
    return static_cast<float>(255.0 / span * (10.0 * std::log10(2.0 / double(frameLength)) - double(m_min)));
}

}  // namespace UI
