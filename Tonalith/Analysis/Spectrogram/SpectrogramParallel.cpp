#include <Tonalith/Analysis/Spectrogram/SpectrogramParallel.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace UI {

bool ParallelFor(std::uint32_t threads, std::uint64_t count,
    const std::function<void(std::uint64_t index, std::uint32_t worker)>& body, const std::function<bool()>& proceed) {
    std::atomic<std::uint64_t> next{0};
    std::atomic<bool> stop{false};
    bool stopped = false;  // by `proceed`; the calling thread's alone
    std::mutex lock;
    std::exception_ptr error;
    const auto work = [&](std::uint32_t worker) {
        try {
            for (;;) {
                if (worker == 0 && proceed && !proceed()) {
                    stopped = true;
                    stop.store(true);
                }
                if (stop.load()) return;
                const std::uint64_t i = next.fetch_add(1);
                if (i >= count) return;
                body(i, worker);
            }
        } catch (...) {
            std::lock_guard<std::mutex> guard(lock);
            if (!error) error = std::current_exception();
            stop.store(true);
        }
    };
    std::vector<std::thread> helpers;
    const std::uint64_t wanted = std::min<std::uint64_t>(std::max<std::uint32_t>(threads, 1), count);
    try {
        while (helpers.size() + 1 < wanted) helpers.emplace_back(work, std::uint32_t(helpers.size() + 1));
    } catch (const std::system_error&) {
        // Fewer threads than asked: the others share the work.
    }
    work(0);
    for (std::thread& helper : helpers) helper.join();
    if (error) std::rethrow_exception(error);
    return !stopped;
}

}  // namespace UI
