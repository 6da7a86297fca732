#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace Platform::Kernel {

// One system thread running a body. The thread is never killed: the owner joins it,
// and the destructor waits for a thread that has not been joined yet.
class Thread {
public:
    Thread();
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts the body on a new thread, after joining a previous one that was not joined.
    // false when the system could not create a thread (LastError says why).
    bool Start(std::function<void()> body);

    // true once the thread has ended and is released (at once when there is none);
    // false on a time-out, and when the thread would wait for itself.
    bool Join(std::optional<std::uint32_t> timeoutMs);

    // Whether a started thread is still held, ended or not.
    bool IsHeld() const;
    // Whether the held thread's body has returned.
    bool HasEnded() const;
    // Whether the caller is the held thread.
    bool IsCurrent() const;

    struct State;

private:
    std::unique_ptr<State> m_state;
};

}  // namespace Platform::Kernel
