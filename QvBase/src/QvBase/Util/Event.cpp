#include <QvBase/Util/Event.h>

#include <QvBase/Util/Atomic.h>
#include <QvBase/Util/CriticalSection.h>
#include <QvBase/Util/Mutex.h>

#include <Platform/Kernel/Event.h>

namespace Util {

using Platform::Kernel::EventMode;
using Platform::Kernel::WaitResult;

Event::Event(const String& name, bool manual) : m_strName(name), m_bManual(manual) {
    if (!m_bManual) {
        m_pLock = std::make_unique<CriticalSection>(String("%1 Critical Section").Arg(name));
        m_pAutoEvent = std::make_unique<Platform::Kernel::Event>(EventMode::AutoReset);
    }
    m_pManualEvent = std::make_unique<Platform::Kernel::Event>(EventMode::ManualReset);
}

Event::~Event() = default;

void Event::Set() {
    if (m_bManual || AtomicLoad(&m_nWaiters) != 0) m_pManualEvent->Set();
}

void Event::Reset() {
    if (m_bManual) m_pManualEvent->Reset();
}

bool Event::Wait(std::optional<std::uint32_t> timeoutMs) {
    if (m_bManual) return m_pManualEvent->Wait(timeoutMs);
    return WaitWithMutex(nullptr, timeoutMs);
}

bool Event::WaitWithMutex(Mutex* mutex, std::optional<std::uint32_t> timeoutMs) {
    if (m_bManual) return false;

    {
        Platform::Kernel::LockGuard hold(*m_pLock);
        AtomicIncrement(&m_nWaiters);
    }

    if (mutex) mutex->Unlock();
    const WaitResult result = Platform::Kernel::Event::WaitEither(*m_pAutoEvent, *m_pManualEvent, timeoutMs);
    if (mutex) mutex->Lock();

    {
        Platform::Kernel::LockGuard hold(*m_pLock);
        if (AtomicDecrement(&m_nWaiters) == 0 && result == WaitResult::Second) m_pManualEvent->Reset();
    }

    return result != WaitResult::TimedOut;
}

}  // namespace Util
