#pragma once
#include <QvBase/Util/Thread.h>

#include <Platform/Gui/WindowSystem.h>

#include <atomic>
#include <cstdint>

namespace UI {

// The periodic source that drives the frame timers: a plain window-system timer
// (mode 0) or a thread that posts the timer-tick message (mode 1).
class UpdateTimer : public Util::Thread {
public:
    enum Mode : int { SystemTimer = 0, ThreadTimer = 1 };
    static constexpr unsigned TimerId = 123722;

    UpdateTimer(Platform::Gui::WindowId window, std::uint32_t intervalMs, int mode);
    ~UpdateTimer() override;

    void Start();
    void Stop();
    void StopIfRunning() { Stop(); }
    bool IsRunning() const { return m_running; }
    std::uint32_t Interval() const { return m_intervalMs; }
    static unsigned GetTimerId() { return TimerId; }

protected:
    void Run() override;

private:
    int m_mode;
    Platform::Gui::WindowId m_window;
    std::uint32_t m_intervalMs;
    std::atomic<bool> m_running{false};
    std::uint32_t m_lastTick = 0;
};

}  // namespace UI
