#pragma once
#include <QvBase/Types.h>
#include <QvBase/noncopyable.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace Util {

// A lock that its owning thread may take again (each Lock needs its Unlock).
class Mutex : noncopyable {
public:
    Mutex() = default;

    // Waits without a time-out; true once the calling thread holds the lock.
    bool Lock();
    // False, and nothing changes, when the calling thread does not hold the lock.
    bool Unlock();

private:
    std::mutex m_state;
    std::condition_variable m_released;
    std::thread::id m_owner;
    uint m_depth = 0;
};

}  // namespace Util
