#pragma once
#include <memory>

namespace Platform::Kernel {

// A lock that its owning thread may take again; each Enter needs its Leave.
class RecursiveLock {
public:
    RecursiveLock();
    ~RecursiveLock();
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    void Enter();
    bool TryEnter();
    void Leave();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace Platform::Kernel
