#include <QvBase/Util/Mutex.h>

namespace Util {

bool Mutex::Lock() {
    const auto self = std::this_thread::get_id();
    std::unique_lock lock(m_state);
    if (m_depth > 0 && m_owner == self) {
        ++m_depth;
        return true;
    }
    m_released.wait(lock, [this] { return m_depth == 0; });
    m_owner = self;
    m_depth = 1;
    return true;
}

bool Mutex::Unlock() {
    std::unique_lock lock(m_state);
    if (m_depth == 0 || m_owner != std::this_thread::get_id()) return false;
    if (--m_depth == 0) {
        m_owner = std::thread::id();
        lock.unlock();
        m_released.notify_one();
    }
    return true;
}

}  // namespace Util
