#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace UI {

// The four analysis windows of a spectrogram, lengths 8N, 4N, 2N and N (index 0 longest),
// each normalised to a mean square of 1.
using SpectrogramWindows = std::array<std::vector<double>, 4>;

// Window index of the option table: 0 Hamming, 1 Blackman, 2 Bartlett, 3..5 Kaiser with
// beta 10, 15, 20, 6 Hann. Throws std::bad_alloc when memory runs out.
void FillSpectrogramWindow(std::uint32_t windowIndex, std::vector<double>& window);
SpectrogramWindows BuildSpectrogramWindows(std::uint32_t windowIndex, std::int64_t n);

}  // namespace UI
