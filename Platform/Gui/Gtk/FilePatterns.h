#pragma once
#include <string>

namespace Platform::Gui {

// "*.wav" as a pattern that also matches "*.WAV" and "*.Wav".
std::string CaseInsensitivePattern(const std::string& pattern);

}  // namespace Platform::Gui
