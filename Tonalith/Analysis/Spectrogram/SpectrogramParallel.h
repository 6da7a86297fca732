#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>

namespace UI {

// Whether a step's threads are to stop: once any of them has seen the cancel, all of them
// see it, and so do the checks after a parallel stage whose bodies it cut short.
class StopLatch {
public:
    explicit StopLatch(std::function<bool()> cancelled) : m_cancelled(std::move(cancelled)) {}

    bool operator()() {
        if (m_stopped.load(std::memory_order_relaxed)) return true;
        if (!m_cancelled || !m_cancelled()) return false;
        m_stopped.store(true, std::memory_order_relaxed);
        return true;
    }

private:
    std::function<bool()> m_cancelled;
    std::atomic<bool> m_stopped{false};
};

// Runs body(i, worker) for every i in [0, count) on up to `threads` threads, the caller's
// included (worker 0; the others 1, 2, ...), handing the indexes out in order. Before each
// index it takes, the calling thread asks `proceed` (when given): false hands out no
// further index, and ParallelFor returns false once every thread has stopped. The first
// exception a body throws is rethrown here then.
bool ParallelFor(std::uint32_t threads, std::uint64_t count,
    const std::function<void(std::uint64_t index, std::uint32_t worker)>& body,
    const std::function<bool()>& proceed = nullptr);

}  // namespace UI
