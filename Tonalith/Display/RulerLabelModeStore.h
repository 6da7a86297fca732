#pragma once
#include <cstdint>

namespace UI {

// A ruler's mode in the application's settings store; without an application the
// default is read and nothing is written. A stored mode outside 0..modeCount-1 reads as 0.
std::uint32_t ReadRulerMode(const char* key, std::uint32_t modeCount);
void WriteRulerMode(const char* key, std::int32_t mode);

}  // namespace UI
