#pragma once
#include <cstdint>

namespace Platform::Kernel {

// Milliseconds from an unspecified start; never goes backwards, unaffected by clock changes.
std::uint64_t MonotonicMs();

void SleepMs(std::uint32_t milliseconds);

}  // namespace Platform::Kernel
