#pragma once
#include <Platform/Kernel/RecursiveLock.h>

namespace Util {

// The system's lock under the names a wait condition's caller uses.
class Mutex : public Platform::Kernel::RecursiveLock {
public:
    // Waits without a time-out; true once the calling thread holds the lock.
    bool Lock() {
        Enter();
        return true;
    }
    // False, and nothing changes, when the calling thread does not hold the lock.
    bool Unlock() { return Leave(); }
};

}  // namespace Util
