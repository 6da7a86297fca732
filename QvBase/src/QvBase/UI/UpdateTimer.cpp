#include <QvBase/UI/UpdateTimer.h>

#include <QvBase/UI/ToolkitMessages.h>

#include <chrono>
#include <thread>

namespace UI {

UpdateTimer::UpdateTimer(Platform::Gui::WindowId window, std::uint32_t intervalMs, int mode)
    : Util::Thread("UpdateTimer"), m_mode(mode), m_window(window), m_intervalMs(intervalMs) {}

UpdateTimer::~UpdateTimer() { Stop(); }

void UpdateTimer::Start() {
    if (m_running) return;
    m_running = true;
    if (m_mode == ThreadTimer)
        Util::Thread::Start();
    else
        Platform::Gui::Current().StartTimer(m_window, TimerId, m_intervalMs);
}

void UpdateTimer::Stop() {
    if (!m_running) return;
    m_running = false;
    if (m_mode == ThreadTimer) {
        if (!Join(5000)) Kill();
    } else {
        Platform::Gui::Current().StopTimer(m_window, TimerId);
    }
}

void UpdateTimer::Run() {
    auto& system = Platform::Gui::Current();
    while (m_running && !StopRequested()) {
        const std::uint32_t now = system.TickCount();
        if (std::uint32_t(now - m_lastTick) < m_intervalMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        m_lastTick = now;
        system.Post(m_window, TimerTickMessage());
    }
}

}  // namespace UI
