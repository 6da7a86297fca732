#pragma once
#include <cstdint>
#include <optional>

namespace Platform::Kernel {

// Bytes of memory the system can still hand out without swapping; absent when unknown.
std::optional<std::uint64_t> AvailableMemoryBytes();

}  // namespace Platform::Kernel
