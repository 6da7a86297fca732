#include <Tonalith/Analysis/Spectrogram/SpectrogramParallel.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace UI {

void ParallelFor(std::uint32_t threads, std::uint64_t count, const std::function<void(std::uint64_t)>& body) {
    std::atomic<std::uint64_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex lock;
    std::exception_ptr error;
    const auto work = [&] {
        try {
            for (std::uint64_t i = next.fetch_add(1); i < count && !failed.load(); i = next.fetch_add(1)) body(i);
        } catch (...) {
            std::lock_guard<std::mutex> guard(lock);
            if (!error) error = std::current_exception();
            failed.store(true);
        }
    };
    std::vector<std::thread> helpers;
    const std::uint64_t wanted = std::min<std::uint64_t>(std::max<std::uint32_t>(threads, 1), count);
    try {
        while (helpers.size() + 1 < wanted) helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // Fewer threads than asked: the others share the work.
    }
    work();
    for (std::thread& helper : helpers) helper.join();
    if (error) std::rethrow_exception(error);
}

}  // namespace UI
