#pragma once
#include <QvBase/Util/String.h>
#include <QvBase/noncopyable.h>

#include <memory>

namespace Platform::Kernel {
class RecursiveLock;
}

namespace Util {

// A named lock that its owning thread may enter again; each Enter needs its Leave.
// The name only identifies it.
class CriticalSection : noncopyable {
public:
    explicit CriticalSection(const String& name);
    ~CriticalSection();

    void Enter();
    void Leave();

    const String& Name() const { return m_strName; }

private:
    String m_strName;
    std::unique_ptr<Platform::Kernel::RecursiveLock> m_pSection;
};

}  // namespace Util
