#include <Tonalith/Analysis/SpectrogramCalculatorWindows.h>

#include <Tonalith/Analysis/DSP/KaiserWindow.h>

#include <Primitives/Vec/Window.h>

#include <algorithm>
#include <cmath>

namespace UI {

void FillSpectrogramWindow(std::uint32_t windowIndex, std::vector<double>& window)
{
    std::fill(window.begin(), window.end(), 1.0);
    const auto length = static_cast<std::int32_t>(window.size());
    double* data = window.data();
    switch (windowIndex) {
    case 0: Vec::WinHammingF64(length, data); break;
    case 1: Vec::WinBlackmanF64(length, data, -0.16f); break;
    case 2: Vec::WinBartlettF64(length, data); break;
    case 3: DSP::ApplyKaiserWindow(data, length, 10.0, DSP::KaiserNormalisation::None); break;
    case 4: DSP::ApplyKaiserWindow(data, length, 15.0, DSP::KaiserNormalisation::None); break;
    case 5: DSP::ApplyKaiserWindow(data, length, 20.0, DSP::KaiserNormalisation::None); break;
    default: Vec::WinHannF64(length, data); break;
    }
    double sumSquares = 0.0;
    for (double w : window)
        sumSquares += w * w;
    if (sumSquares > 0.0) {
        const double scale = std::sqrt(double(window.size()) / sumSquares);
        for (double& w : window)
            w *= scale;
    }
}

SpectrogramWindows BuildSpectrogramWindows(std::uint32_t windowIndex, std::int64_t n)
{
    SpectrogramWindows windows;
    for (int r = 0; r < 4; ++r) {
        windows[std::size_t(r)].resize(std::size_t(n << (3 - r)));
        FillSpectrogramWindow(windowIndex, windows[std::size_t(r)]);
    }
    return windows;
}

}  // namespace UI
