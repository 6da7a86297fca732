#pragma once
#include <cstdint>

namespace UI {

// A ruler's mode in the application's settings store; without an application the
// default is read and nothing is written.
std::int32_t ReadRulerMode(const char* key);
void WriteRulerMode(const char* key, std::int32_t mode);

}  // namespace UI
