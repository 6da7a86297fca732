#include <Platform/Kernel/RecursiveLock.h>

namespace Platform::Kernel {

void RecursiveLock::Enter() {
    if (!HeldByCaller()) {
        m_mutex.lock();
        m_owner.store(std::this_thread::get_id());
    }
    ++m_depth;
}

bool RecursiveLock::TryEnter() {
    if (!HeldByCaller()) {
        if (!m_mutex.try_lock()) return false;
        m_owner.store(std::this_thread::get_id());
    }
    ++m_depth;
    return true;
}

bool RecursiveLock::Leave() {
    if (!HeldByCaller()) return false;
    if (--m_depth == 0) {
        m_owner.store(std::thread::id());
        m_mutex.unlock();
    }
    return true;
}

}  // namespace Platform::Kernel
