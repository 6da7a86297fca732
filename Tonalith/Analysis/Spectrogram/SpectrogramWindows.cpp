#include <Tonalith/Analysis/Spectrogram/SpectrogramWindows.h>

#include <Tonalith/Analysis/DSP/KaiserWindow.h>

#include <Primitives/Vec/Window.h>

#include <algorithm>
#include <cmath>

namespace UI {

void FillSpectrogramWindow(const SpectrogramOptions::Window& option, std::vector<double>& window) {
    using SpectrogramOptions::WindowKind;
    std::fill(window.begin(), window.end(), 1.0);
    const auto length = static_cast<std::int32_t>(window.size());
    double* data = window.data();
    switch (option.kind) {
    case WindowKind::Hamming: Vec::WinHammingF64(length, data); break;
    case WindowKind::Blackman: Vec::WinBlackmanF64(length, data, static_cast<float>(option.parameter)); break;
    case WindowKind::Bartlett: Vec::WinBartlettF64(length, data); break;
    case WindowKind::Kaiser:
        DSP::ApplyKaiserWindow(data, length, option.parameter, DSP::KaiserNormalisation::None);
        break;
    case WindowKind::Hann: Vec::WinHannF64(length, data); break;
    }
    double sumSquares = 0.0;
    for (double w : window) sumSquares += w * w;
    if (sumSquares > 0.0) {
        const double scale = std::sqrt(double(window.size()) / sumSquares);
        for (double& w : window) w *= scale;
    }
}

SpectrogramWindows BuildSpectrogramWindows(const SpectrogramOptions::Window& option, const SpectrogramLayout& layout) {
    SpectrogramWindows windows;
    for (int r = 0; r < kFrameLengths; ++r) {
        windows[std::size_t(r)].resize(std::size_t(layout.WindowLength(r)));
        FillSpectrogramWindow(option, windows[std::size_t(r)]);
    }
    return windows;
}

}  // namespace UI
