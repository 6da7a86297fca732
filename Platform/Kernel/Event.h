#pragma once
#include <cstdint>
#include <memory>
#include <optional>

namespace Platform::Kernel {

enum class EventMode {
    ManualReset,  // stays set until Reset; releases every waiter
    AutoReset,  // a released wait consumes the signal; one waiter per Set
};

enum class WaitResult { First, Second, TimedOut };

// An event that threads wait on, alone or together with a second event.
// An absent time-out waits without limit; 0 tests without blocking.
class Event {
public:
    explicit Event(EventMode mode, bool signalled = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;

    // true when signalled, false on a time-out.
    bool Wait(std::optional<std::uint32_t> timeoutMs);

    // Waits until either event is signalled; when both are, the first one wins.
    static WaitResult WaitEither(Event& first, Event& second, std::optional<std::uint32_t> timeoutMs);

    struct State;

private:
    std::unique_ptr<State> m_state;
};

}  // namespace Platform::Kernel
