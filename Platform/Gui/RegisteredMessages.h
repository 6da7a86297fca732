#pragma once
#include <string_view>

namespace Platform::Gui {

inline constexpr unsigned FirstRegisteredMessage = 0xC000;
inline constexpr unsigned LastRegisteredMessage = 0xFFFF;

// The message identifier for a name, the same for the same name (ASCII letters compared
// without regard to case) for the whole run, counted from FirstRegisteredMessage.
// 0 for an empty name or when the range is used up. Safe from any thread.
unsigned RegisterMessage(std::string_view name);

}  // namespace Platform::Gui
