#pragma once
#include <cstdint>

namespace Platform::Kernel {

// The calling thread's last error code: set by this layer's own failing calls
// (an errno value), read by the system's throw sites. Successful calls leave it alone.
std::uint32_t LastError();
void SetLastError(std::uint32_t code);

}  // namespace Platform::Kernel
