#pragma once
#include <array>
#include <cstdint>

namespace UI {

// The spectrogram's fixed colour map: a level in dB to 0x00RRGGBB, black at -120 dB and below.
std::uint32_t SpectrogramColourAtDb(float db);

// Entry b is the colour at b * 120/255 - 120 dB: byte 0 black, byte 255 the colour of 0 dB.
using SpectrogramColourTable = std::array<std::uint32_t, 256>;
SpectrogramColourTable BuildSpectrogramColourTable();

}  // namespace UI
