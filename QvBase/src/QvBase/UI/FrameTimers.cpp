#include <QvBase/UI/Frame.h>
#include <QvBase/UI/Widgets/Window.h>

#include <algorithm>
#include <utility>

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
    if (it == m_timers.end()) return;
    if (id == m_firingTimer) m_firingTimerRemoved = true;
    m_timers.erase(it);
}

void Frame::FireTimers() {
    const std::uint32_t now = Platform::Gui::Current().TickCount();
    std::size_t i = 0;
    while (i < m_timers.size()) {
        // The unsigned difference stays right across the clock's wrap.
        if (std::uint32_t(now - m_timers[i].lastTick) < m_timers[i].intervalMs) {
            ++i;
            continue;
        }
        const uint id = m_timers[i].id;
        const uint outerFiring = std::exchange(m_firingTimer, id);
        const bool outerRemoved = std::exchange(m_firingTimerRemoved, false);
        if (m_timers[i].target) m_timers[i].target->OnTimer(id);
        const bool removed = m_firingTimerRemoved;
        m_firingTimer = outerFiring;
        m_firingTimerRemoved = outerRemoved;
        // The handler may have added or removed timers anywhere in the list, this one
        // included; only a record that is still the one that fired is updated.
        if (!removed) {
            auto it = std::find_if(m_timers.begin(), m_timers.end(), [id](const Timer& t) { return t.id == id; });
            if (it != m_timers.end()) {
                it->lastTick = now;
                if (it->oneShot) RemoveTimer(id);
            }
        }
        // The list is sorted by id: go on with the first record after this one.
        i = std::size_t(std::upper_bound(m_timers.begin(), m_timers.end(), id, [](uint value, const Timer& t) {
            return value < t.id;
        }) - m_timers.begin());
    }
}

}  // namespace UI
