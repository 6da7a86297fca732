#include <Platform/Kernel/Event.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace Platform::Kernel {

namespace {

// One lock for every event keeps a wait on two events free of lock ordering.
// Each waiting thread has its own condition, registered with the events it waits on.
std::mutex& EventsLock() {
    static std::mutex lock;
    return lock;
}

struct Waiter {
    std::condition_variable condition;
};

}  // namespace

struct Event::State {
    bool manual;
    bool signalled;
    std::vector<Waiter*> waiters;
};

namespace {

void Unregister(Event::State* const* states, std::size_t count, Waiter* waiter) {
    for (std::size_t i = 0; i < count; ++i) std::erase(states[i]->waiters, waiter);
}

// Index of the event that released the wait, or -1 on a time-out.
int WaitAny(Event::State* const* states, std::size_t count, std::optional<std::uint32_t> timeoutMs) {
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(EventsLock());
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs.value_or(0));
    Waiter waiter;
    bool registered = false;
    for (;;) {
        for (std::size_t i = 0; i < count; ++i) {
            if (states[i]->signalled) {
                if (!states[i]->manual) states[i]->signalled = false;
                if (registered) Unregister(states, count, &waiter);
                return static_cast<int>(i);
            }
        }
        if (timeoutMs && Clock::now() >= deadline) {
            if (registered) Unregister(states, count, &waiter);
            return -1;
        }
        if (!registered) {
            for (std::size_t i = 0; i < count; ++i) states[i]->waiters.push_back(&waiter);
            registered = true;
        }
        if (timeoutMs)
            waiter.condition.wait_until(lock, deadline);
        else
            waiter.condition.wait(lock);
    }
}

}  // namespace

Event::Event(EventMode mode, bool signalled)
    : m_state(std::make_unique<State>(State{mode == EventMode::ManualReset, signalled, {}})) {}

Event::~Event() = default;

void Event::Set() {
    std::lock_guard lock(EventsLock());
    m_state->signalled = true;
    for (Waiter* waiter : m_state->waiters) waiter->condition.notify_one();
}

void Event::Reset() {
    std::lock_guard lock(EventsLock());
    m_state->signalled = false;
}

bool Event::IsSet() const {
    std::lock_guard lock(EventsLock());
    return m_state->signalled;
}

bool Event::Wait(std::optional<std::uint32_t> timeoutMs) {
    State* states[] = {m_state.get()};
    return WaitAny(states, 1, timeoutMs) == 0;
}

WaitResult Event::WaitEither(Event& first, Event& second, std::optional<std::uint32_t> timeoutMs) {
    State* states[] = {first.m_state.get(), second.m_state.get()};
    switch (WaitAny(states, 2, timeoutMs)) {
    case 0: return WaitResult::First;
    case 1: return WaitResult::Second;
    default: return WaitResult::TimedOut;
    }
}

}  // namespace Platform::Kernel
