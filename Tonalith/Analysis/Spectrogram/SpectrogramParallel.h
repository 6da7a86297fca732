#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

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

using ParallelBody = std::function<void(std::uint64_t index, std::uint32_t worker)>;

// Threads started once and kept for every parallel stage of a step, so that a step of
// many short stages does not start and join threads for each. The calling thread works
// too, as worker 0; the helpers are 1, 2, ...
class WorkerGroup {
public:
    // Up to `threads` workers, the caller included; fewer when the system refuses threads.
    explicit WorkerGroup(std::uint32_t threads);
    WorkerGroup(const WorkerGroup&) = delete;
    WorkerGroup& operator=(const WorkerGroup&) = delete;
    ~WorkerGroup();

    std::uint32_t Size() const { return std::uint32_t(m_helpers.size()) + 1; }

    // Runs body(i, worker) for every i in [0, count), handing the indexes out in order, to
    // workers 0 .. maxWorkers - 1 only (so that no more than that many ever hold buffers of
    // their own for such a stage). Before each index it takes, the calling thread asks
    // `proceed` (when given): false hands out no further index, and Run returns false once
    // every worker has stopped. The first exception a body throws is rethrown here then.
    bool Run(std::uint64_t count, const ParallelBody& body, const std::function<bool()>& proceed = nullptr,
        std::uint32_t maxWorkers = ~std::uint32_t(0));

private:
    void Help(std::uint32_t worker);
    void Work(std::uint32_t worker);

    std::vector<std::thread> m_helpers;
    std::mutex m_lock;
    std::condition_variable m_wake;  // helpers: a new stage, or the end
    std::condition_variable m_done;  // caller: every helper left the stage
    std::uint64_t m_stage = 0;
    std::uint32_t m_busy = 0;  // helpers still in the stage
    bool m_quit = false;
    // The stage; written by the caller while no helper is in one.
    const ParallelBody* m_body = nullptr;
    const std::function<bool()>* m_proceed = nullptr;
    std::uint64_t m_count = 0;
    std::uint32_t m_maxWorkers = 0;
    std::atomic<std::uint64_t> m_next{0};
    std::atomic<bool> m_stop{false};
    bool m_stopped = false;  // by `proceed`; the calling thread's alone
    std::exception_ptr m_error;
};

// A WorkerGroup of `threads` for one stage.
bool ParallelFor(std::uint32_t threads, std::uint64_t count, const ParallelBody& body,
    const std::function<bool()>& proceed = nullptr);

}  // namespace UI
