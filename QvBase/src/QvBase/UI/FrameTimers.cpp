#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Window.h>

#include <algorithm>

namespace UI {

uint Frame::AddTimer(Window* window, uint intervalMs, bool oneShot) {
    std::size_t p = 0;
    while (p < m_timers.size() && m_timers[p].id == p + 1) ++p;
    const uint id = uint(p + 1);
    m_timers.insert(m_timers.begin() + std::ptrdiff_t(p),
                    Timer{id, intervalMs, Platform::Gui::Current().TickCount(), window, oneShot});
    return id;
}

void Frame::RemoveTimer(uint id) {
    auto it = std::find_if(m_timers.begin(), m_timers.end(), [id](const Timer& t) { return t.id == id; });
    if (it != m_timers.end()) m_timers.erase(it);
}

void Frame::FireTimers() {
    const std::uint32_t now = Platform::Gui::Current().TickCount();
    std::size_t i = 0;
    while (i < m_timers.size()) {
        // The unsigned difference stays right across the clock's wrap.
        if (std::uint32_t(now - m_timers[i].lastTick) >= m_timers[i].intervalMs) {
            const uint id = m_timers[i].id;
            if (m_timers[i].target) m_timers[i].target->OnTimer(id);
            // The handler may have added or removed timers: find this one again, so
            // none is skipped and none fires twice in a pass.
            auto it = std::find_if(m_timers.begin(), m_timers.end(), [id](const Timer& t) { return t.id == id; });
            if (it == m_timers.end()) continue;
            i = std::size_t(it - m_timers.begin());
            m_timers[i].lastTick = now;
            if (m_timers[i].oneShot) {
                RemoveTimer(id);
                continue;
            }
        }
        ++i;
    }
}

}  // namespace UI
