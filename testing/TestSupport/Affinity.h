// Narrowing the processors a test may run on, as `taskset` does for a whole program.
#pragma once

#include <sched.h>

namespace TestSupport {

// Holds the calling thread, and the threads it starts meanwhile, to the first `count`
// processors it may run on now; the old mask comes back when this goes.
class ScopedAffinity {
public:
    explicit ScopedAffinity(int count) {
        CPU_ZERO(&m_saved);
        if (::sched_getaffinity(0, sizeof m_saved, &m_saved) != 0) return;
        cpu_set_t narrowed;
        CPU_ZERO(&narrowed);
        for (int cpu = 0, kept = 0; cpu < CPU_SETSIZE && kept < count; ++cpu) {
            if (CPU_ISSET(cpu, &m_saved)) {
                CPU_SET(cpu, &narrowed);
                ++kept;
            }
        }
        m_applied = ::sched_setaffinity(0, sizeof narrowed, &narrowed) == 0;
    }
    ~ScopedAffinity() {
        if (m_applied) ::sched_setaffinity(0, sizeof m_saved, &m_saved);
    }
    ScopedAffinity(const ScopedAffinity&) = delete;
    ScopedAffinity& operator=(const ScopedAffinity&) = delete;

    bool Applied() const { return m_applied; }

private:
    cpu_set_t m_saved;
    bool m_applied = false;
};

}  // namespace TestSupport
