#pragma once
#include <cstdint>

namespace Platform::Kernel {

// Processors the calling thread may run on: its CPU affinity (as `taskset` or a container's
// CPU set narrows it), never more than the machine has online, at least 1.
std::uint32_t UsableProcessors();

}  // namespace Platform::Kernel
