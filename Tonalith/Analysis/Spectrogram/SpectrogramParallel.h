#pragma once
#include <cstdint>
#include <functional>

namespace UI {

// Runs body(i, worker) for every i in [0, count) on up to `threads` threads, the caller's
// included (worker 0; the others 1, 2, ...), handing the indexes out in order. Before each
// index it takes, the calling thread asks `proceed` (when given): false hands out no
// further index, and ParallelFor returns false once every thread has stopped. The first
// exception a body throws is rethrown here then.
bool ParallelFor(std::uint32_t threads, std::uint64_t count,
    const std::function<void(std::uint64_t index, std::uint32_t worker)>& body,
    const std::function<bool()>& proceed = nullptr);

}  // namespace UI
