#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace UI {

// The four analysis windows of a spectrogram, lengths 8N, 4N, 2N and N (index 0 longest),
// each normalised to a mean square of 1.
using SpectrogramWindows = std::array<std::vector<double>, 4>;

// By the index of the window option table (an index past it means the last entry).
// Throws std::bad_alloc when memory runs out.
void FillSpectrogramWindow(std::uint32_t windowIndex, std::vector<double>& window);
SpectrogramWindows BuildSpectrogramWindows(std::uint32_t windowIndex, std::int64_t n);

}  // namespace UI
