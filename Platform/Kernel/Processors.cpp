#include <Platform/Kernel/Processors.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <thread>

#include <sched.h>

namespace Platform::Kernel {
namespace {

// The affinity mask's processors, in a set grown until the kernel's mask fits; 0 when it
// cannot be read.
std::uint32_t AffinityCount() {
    for (int size = 1024; size <= (1 << 20); size *= 2) {
        const std::unique_ptr<cpu_set_t, void (*)(cpu_set_t*)> set(CPU_ALLOC(size), [](cpu_set_t* s) { CPU_FREE(s); });
        if (!set) return 0;
        const std::size_t bytes = CPU_ALLOC_SIZE(size);
        if (::sched_getaffinity(0, bytes, set.get()) == 0) return std::uint32_t(CPU_COUNT_S(bytes, set.get()));
        if (errno != EINVAL) return 0;
    }
    return 0;
}

}  // namespace

std::uint32_t UsableProcessors() {
    const std::uint32_t machine = std::max(1u, std::thread::hardware_concurrency());
    const std::uint32_t allowed = AffinityCount();
    return allowed == 0 ? machine : std::clamp(allowed, 1u, machine);
}

}  // namespace Platform::Kernel
