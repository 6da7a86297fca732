#pragma once
#include <QvBase/Util/String.h>
#include <QvBase/noncopyable.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

namespace Platform::Kernel {
class Event;
class Thread;
}  // namespace Platform::Kernel

namespace Util {

// A named thread whose body is the subclass's Run. A thread is never killed: Kill asks
// the body to stop (StopRequested) and waits for it to end; the destructor waits for any
// thread not joined yet, so nothing a live body uses is freed under it. A subclass
// still stops and joins its thread in its own destructor, before its members go.
class Thread : noncopyable {
public:
    explicit Thread(const String& name);
    virtual ~Thread();

    // Starts Run on a new thread, after joining one started before. Throws
    // Exception::Base when the system cannot create a thread.
    void Start();

    // true once the thread has ended and is joined, at once when none was started;
    // false on a time-out. An absent time-out waits without limit.
    bool Join(std::optional<std::uint32_t> timeoutMs = std::nullopt);

    // Asks a running body to stop and waits until it has ended: the owner that kills
    // after a timed Join frees its members next, and a body still running would use them.
    void Kill();

    const String& Name() const { return m_strName; }

protected:
    virtual void Run() = 0;

    // Whether Kill or the destructor has asked the body to end.
    bool StopRequested() const;

private:
    static std::uint32_t ThreadProc(void* object);

    String m_strName;
    bool m_bRunning = false;  // started and not joined yet; only the owner touches it
    std::atomic<bool> m_bStopRequested{false};
    std::unique_ptr<Platform::Kernel::Event> m_pDispatched;  // the body is about to run
    std::unique_ptr<Platform::Kernel::Thread> m_pHandle;
};

}  // namespace Util
