#pragma once
#include <Tonalith/Analysis/Spectrogram/SpectrogramLayout.h>
#include <Tonalith/Analysis/Spectrogram/SpectrogramOptions.h>

#include <array>
#include <cstdint>
#include <vector>

namespace UI {

// The analysis windows of a spectrogram, one per frame length (index 0 longest), each
// normalised to a mean square of 1.
using SpectrogramWindows = std::array<std::vector<double>, kFrameLengths>;

// Throw std::bad_alloc when memory runs out.
void FillSpectrogramWindow(const SpectrogramOptions::Window& option, std::vector<double>& window);
SpectrogramWindows BuildSpectrogramWindows(const SpectrogramOptions::Window& option, const SpectrogramLayout& layout);

}  // namespace UI
