#pragma once
#include <QvBase/Util/String.h>
#include <QvBase/noncopyable.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace Platform::Kernel {
class Event;
}

namespace Util {

class CriticalSection;
class Mutex;

// A named event in one of two modes.
// Manual: a plain manual-reset event; Set releases every wait until Reset.
// Wait condition: counts its waiters; Set wakes every thread waiting at that moment
// (and is lost when none waits); the last waiter to leave re-arms it.
class Event : noncopyable {
public:
    Event(const String& name, bool manual);
    ~Event();

    void Set();
    void Reset();

    // false exactly on a time-out; an absent time-out waits without limit.
    bool Wait(std::optional<std::uint32_t> timeoutMs = std::nullopt);

    // Wait-condition mode: releases the caller's mutex (when given) while waiting and
    // takes it again afterwards, also after a time-out. Manual mode: false at once.
    bool WaitWithMutex(Mutex* mutex, std::optional<std::uint32_t> timeoutMs = std::nullopt);

    const String& Name() const { return m_strName; }

private:
    String m_strName;
    bool m_bManual;
    std::unique_ptr<CriticalSection> m_pLock;
    long m_nWaiters = 0;
    std::unique_ptr<Platform::Kernel::Event> m_pAutoEvent;
    std::unique_ptr<Platform::Kernel::Event> m_pManualEvent;
};

}  // namespace Util
