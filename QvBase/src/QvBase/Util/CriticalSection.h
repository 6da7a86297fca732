#pragma once
#include <QvBase/Util/String.h>

#include <Platform/Kernel/RecursiveLock.h>

namespace Util {

// The system's lock under a name that only identifies it; hold it with
// Platform::Kernel::LockGuard.
class CriticalSection : public Platform::Kernel::RecursiveLock {
public:
    explicit CriticalSection(const String& name) : m_strName(name) {}

    const String& Name() const { return m_strName; }

private:
    String m_strName;
};

}  // namespace Util
