#include <QvBase/Util/Thread.h>

#include <QvBase/Util/Exception.h>

#include <Platform/Kernel/Event.h>
#include <Platform/Kernel/Thread.h>

namespace Util {

Thread::Thread(const String& name)
    : m_strName(name),
      m_pDispatched(std::make_unique<Platform::Kernel::Event>(Platform::Kernel::EventMode::AutoReset)),
      m_pHandle(std::make_unique<Platform::Kernel::Thread>()) {}

Thread::~Thread() {
    if (m_bRunning) {
        m_bStopRequested = true;
        Join(std::nullopt);
    }
    // The handle's own destructor waits for a body that is still running.
}

void Thread::Start() {
    if (m_bRunning) Join(std::nullopt);
    m_bStopRequested = false;
    if (!m_pHandle->Start([this] { ThreadProc(this); }))
        ::Exception::Throw(::Exception::Base(String("Could not start thread \"%1\"").Arg(m_strName)),
            "QvBase/src/QvBase/Util/Thread.cpp", __LINE__);
    m_bRunning = true;
    // Returning only once the body is under way keeps an owner that is destroyed right
    // away from tearing the object down before the new thread has reached Run.
    m_pDispatched->Wait(std::nullopt);
}

bool Thread::Join(std::optional<std::uint32_t> timeoutMs) {
    if (!m_bRunning) return true;
    if (!m_pHandle->Join(timeoutMs)) return false;
    m_bRunning = false;
    return true;
}

void Thread::Kill() {
    if (!m_bRunning) return;
    m_bStopRequested = true;
    Join(std::nullopt);
}

bool Thread::StopRequested() const { return m_bStopRequested; }

std::uint32_t Thread::ThreadProc(void* object) {
    if (!object) return 1;
    Thread* thread = static_cast<Thread*>(object);
    thread->m_pDispatched->Set();
    thread->Run();
    return 0;
}

}  // namespace Util
