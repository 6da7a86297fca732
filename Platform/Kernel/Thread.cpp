#include <Platform/Kernel/Thread.h>

#include <Platform/Kernel/LastError.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace Platform::Kernel {

namespace {

// Shared with the running body, so it outlives whichever side finishes last.
struct Completion {
    std::mutex mutex;
    std::condition_variable condition;
    bool ended = false;
};

}  // namespace

struct Thread::State {
    std::thread thread;
    std::shared_ptr<Completion> completion;
};

Thread::Thread() : m_state(std::make_unique<State>()) {}

Thread::~Thread() {
    // A body that destroys its own thread object cannot wait for itself; it is ending anyway.
    if (IsCurrent())
        m_state->thread.detach();
    else
        Join(std::nullopt);
}

bool Thread::Start(std::function<void()> body) {
    if (m_state->thread.joinable() && !Join(std::nullopt)) return false;
    auto completion = std::make_shared<Completion>();
    try {
        m_state->thread = std::thread([completion, body = std::move(body)]() {
            body();
            {
                std::lock_guard lock(completion->mutex);
                completion->ended = true;
            }
            completion->condition.notify_all();
        });
    } catch (const std::system_error& error) {
        SetLastError(static_cast<std::uint32_t>(error.code().value()));
        return false;
    }
    m_state->completion = std::move(completion);
    return true;
}

bool Thread::Join(std::optional<std::uint32_t> timeoutMs) {
    if (!m_state->thread.joinable()) return true;
    if (IsCurrent()) {
        SetLastError(EDEADLK);
        return false;
    }
    Completion& completion = *m_state->completion;
    {
        std::unique_lock lock(completion.mutex);
        auto ended = [&completion] { return completion.ended; };
        if (timeoutMs) {
            if (!completion.condition.wait_for(lock, std::chrono::milliseconds(*timeoutMs), ended)) return false;
        } else {
            completion.condition.wait(lock, ended);
        }
    }
    m_state->thread.join();
    m_state->completion.reset();
    return true;
}

bool Thread::IsHeld() const { return m_state->thread.joinable(); }

bool Thread::HasEnded() const {
    if (!m_state->completion) return false;
    std::lock_guard lock(m_state->completion->mutex);
    return m_state->completion->ended;
}

bool Thread::IsCurrent() const {
    return m_state->thread.joinable() && m_state->thread.get_id() == std::this_thread::get_id();
}

}  // namespace Platform::Kernel
