#pragma once
#include <cstdint>
#include <functional>

namespace UI {

// Runs body(i) for every i in [0, count) on up to `threads` threads, the caller's
// included, handing the indexes out in order. The first exception a body throws is
// rethrown here once every thread has stopped.
void ParallelFor(std::uint32_t threads, std::uint64_t count, const std::function<void(std::uint64_t)>& body);

}  // namespace UI
