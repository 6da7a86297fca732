#include <Tonalith/Analysis/Spectrogram/SpectrogramParallel.h>

#include <algorithm>
#include <system_error>

namespace UI {

WorkerGroup::WorkerGroup(std::uint32_t threads) {
    m_helpers.reserve(std::max<std::uint32_t>(threads, 1));
    try {
        while (m_helpers.size() + 1 < std::max<std::uint32_t>(threads, 1))
            m_helpers.emplace_back([this, worker = std::uint32_t(m_helpers.size() + 1)] { Help(worker); });
    } catch (const std::system_error&) {
        // Fewer threads than asked: the others share the work.
    }
}

WorkerGroup::~WorkerGroup() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_quit = true;
    }
    m_wake.notify_all();
    for (std::thread& helper : m_helpers) helper.join();
}

void WorkerGroup::Help(std::uint32_t worker) {
    std::uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> guard(m_lock);
            m_wake.wait(guard, [&] { return m_quit || m_stage != seen; });
            if (m_quit) return;
            seen = m_stage;
        }
        Work(worker);
        std::lock_guard<std::mutex> guard(m_lock);
        if (--m_busy == 0) m_done.notify_one();
    }
}

void WorkerGroup::Work(std::uint32_t worker) {
    if (worker >= m_maxWorkers) return;
    try {
        for (;;) {
            if (worker == 0 && *m_proceed && !(*m_proceed)()) {
                m_stopped = true;
                m_stop.store(true);
            }
            if (m_stop.load()) return;
            const std::uint64_t i = m_next.fetch_add(1);
            if (i >= m_count) return;
            (*m_body)(i, worker);
        }
    } catch (...) {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_error) m_error = std::current_exception();
        m_stop.store(true);
    }
}

bool WorkerGroup::Run(
    std::uint64_t count, const ParallelBody& body, const std::function<bool()>& proceed, std::uint32_t maxWorkers) {
    m_body = &body;
    m_proceed = &proceed;
    m_count = count;
    m_maxWorkers = std::max<std::uint32_t>(maxWorkers, 1);
    m_next.store(0);
    m_stop.store(false);
    m_stopped = false;
    m_error = nullptr;
    // Helpers join only a stage with more than one index to share.
    const bool shared = !m_helpers.empty() && count > 1 && m_maxWorkers > 1;
    if (shared) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_busy = std::uint32_t(m_helpers.size());
            ++m_stage;
        }
        m_wake.notify_all();
    }
    Work(0);
    if (shared) {
        std::unique_lock<std::mutex> guard(m_lock);
        m_done.wait(guard, [&] { return m_busy == 0; });
    }
    std::exception_ptr error = m_error;
    m_error = nullptr;
    if (error) std::rethrow_exception(error);
    return !m_stopped;
}

bool ParallelFor(
    std::uint32_t threads, std::uint64_t count, const ParallelBody& body, const std::function<bool()>& proceed) {
    WorkerGroup group(
        std::uint32_t(std::min<std::uint64_t>(std::max<std::uint32_t>(threads, 1), std::max<std::uint64_t>(count, 1))));
    return group.Run(count, body, proceed);
}

}  // namespace UI
