#include <Platform/Kernel/LastError.h>

namespace Platform::Kernel {

namespace {
thread_local std::uint32_t t_lastError = 0;
}

std::uint32_t LastError() { return t_lastError; }

void SetLastError(std::uint32_t code) { t_lastError = code; }

}  // namespace Platform::Kernel
