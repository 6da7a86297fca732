#pragma once
#include <atomic>
#include <mutex>
#include <thread>

namespace Platform::Kernel {

// The system's one lock: its owning thread may take it again, and each Enter needs its
// Leave. A Leave by a thread that does not hold it changes nothing and returns false.
class RecursiveLock {
public:
    RecursiveLock() = default;
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    void Enter();
    bool TryEnter();
    bool Leave();

private:
    bool HeldByCaller() const { return m_owner.load() == std::this_thread::get_id(); }

    std::mutex m_mutex;
    // Only the holder writes the owner, so no other thread can ever read its own id there.
    std::atomic<std::thread::id> m_owner{};
    unsigned m_depth = 0;  // the holder's count of Enters
};

// Holds a lock for the scope it lives in.
class LockGuard {
public:
    explicit LockGuard(RecursiveLock& lock) : m_lock(lock) { m_lock.Enter(); }
    ~LockGuard() { m_lock.Leave(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    RecursiveLock& m_lock;
};

}  // namespace Platform::Kernel
