#include <QvBase/Util/Thread.h>

#include <QvBase/Util/Exception.h>

#include <Platform/Kernel/Thread.h>

namespace Util {

Thread::Thread(const String& name) : m_strName(name), m_pHandle(std::make_unique<Platform::Kernel::Thread>()) {}

Thread::~Thread()
{
    if (m_bRunning) {
        m_bStopRequested = true;
        Join(std::nullopt);
    }
    // The handle's own destructor waits for a body that is still running.
}

void Thread::Start()
{
    if (m_bRunning) Join(std::nullopt);
    m_bStopRequested = false;
    if (!m_pHandle->Start([this] { ThreadProc(this); }))
        ::Exception::Throw(::Exception::Base(String("Could not start thread \"%1\"").Arg(m_strName)),
                           "QvBase/src/QvBase/Util/Thread.cpp", __LINE__);
    m_bRunning = true;
}

bool Thread::Join(std::optional<std::uint32_t> timeoutMs)
{
    if (!m_bRunning) return true;
    if (!m_pHandle->Join(timeoutMs)) return false;
    m_bRunning = false;
    return true;
}

void Thread::Kill()
{
    if (!m_bRunning) return;
    m_bStopRequested = true;
    Join(KillWaitMs);
}

bool Thread::StopRequested() const { return m_bStopRequested; }

std::uint32_t Thread::ThreadProc(void* object)
{
    if (!object) return 1;
    static_cast<Thread*>(object)->Run();
    return 0;
}

}  // namespace Util
