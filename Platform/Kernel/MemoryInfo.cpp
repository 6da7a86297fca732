#include <Platform/Kernel/MemoryInfo.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace Platform::Kernel {

std::optional<std::uint64_t> AvailableMemoryBytes() {
    // The kernel's own estimate counts reclaimable caches; the free-page count does not.
    if (std::FILE* file = std::fopen("/proc/meminfo", "r")) {
        char line[256];
        unsigned long long kib = 0;
        bool found = false;
        while (std::fgets(line, sizeof line, file) != nullptr) {
            if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
                found = true;
                break;
            }
        }
        std::fclose(file);
        if (found) return std::uint64_t(kib) * 1024u;
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long size = sysconf(_SC_PAGESIZE);
    if (pages > 0 && size > 0) return std::uint64_t(pages) * std::uint64_t(size);
    return std::nullopt;
}

}  // namespace Platform::Kernel
