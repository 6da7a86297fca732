#include <Platform/Kernel/RecursiveLock.h>

#include <mutex>

namespace Platform::Kernel {

struct RecursiveLock::State {
    std::recursive_mutex mutex;
};

RecursiveLock::RecursiveLock() : m_state(std::make_unique<State>()) {}
RecursiveLock::~RecursiveLock() = default;

void RecursiveLock::Enter() { m_state->mutex.lock(); }
bool RecursiveLock::TryEnter() { return m_state->mutex.try_lock(); }
void RecursiveLock::Leave() { m_state->mutex.unlock(); }

}  // namespace Platform::Kernel
