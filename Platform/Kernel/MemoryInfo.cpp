#include <Platform/Kernel/MemoryInfo.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace Platform::Kernel {

namespace {

// A line of the kernel's memory summary in bytes, e.g. "MemAvailable".
std::optional<std::uint64_t> MemInfoBytes(const char* field) {
    std::FILE* file = std::fopen("/proc/meminfo", "r");
    if (!file) return std::nullopt;
    const std::size_t length = std::strlen(field);
    char line[256];
    std::optional<std::uint64_t> bytes;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        unsigned long long kib = 0;
        if (std::strncmp(line, field, length) == 0 && line[length] == ':' &&
            std::sscanf(line + length + 1, " %llu kB", &kib) == 1) {
            bytes = std::uint64_t(kib) * 1024u;
            break;
        }
    }
    std::fclose(file);
    return bytes;
}

}  // namespace

std::optional<std::uint64_t> AvailableMemoryBytes() {
    // The kernel's own estimate counts reclaimable caches; the free-page count does not.
    if (const std::optional<std::uint64_t> available = MemInfoBytes("MemAvailable")) return available;
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long size = sysconf(_SC_PAGESIZE);
    if (pages > 0 && size > 0) return std::uint64_t(pages) * std::uint64_t(size);
    return std::nullopt;
}

std::optional<std::uint64_t> FreeSwapBytes() { return MemInfoBytes("SwapFree"); }

std::optional<std::uint64_t> MemoryForSamples() {
    const std::optional<std::uint64_t> available = AvailableMemoryBytes();
    if (!available) return std::nullopt;
    return *available + FreeSwapBytes().value_or(0);
}

std::uint64_t MemoryForComputing(std::optional<std::uint64_t> availableBytes) {
    if (!availableBytes) return ~std::uint64_t(0);
    return *availableBytes / 4 * 3;
}

std::optional<std::uint64_t> MemoryForDecodedBlock() {
    const std::optional<std::uint64_t> available = AvailableMemoryBytes();
    if (!available) return std::nullopt;
    return *available / 2;
}

void PrepareForWriting(void* first, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    if (!first || bytes == 0) return;
    static const std::uintptr_t page = [] {
        const long size = sysconf(_SC_PAGESIZE);
        return size > 0 ? std::uintptr_t(size) : std::uintptr_t(4096);
    }();
    const auto begin = reinterpret_cast<std::uintptr_t>(first) / page * page;
    const auto end = reinterpret_cast<std::uintptr_t>(first) + bytes;
    // Pages outside any mapping, or a kernel without the request, leave the writes to fault.
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)first;
    (void)bytes;
#endif
}

void* MapZeroPages(std::size_t bytes) {
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void* RemapPages(void* block, std::size_t bytes, std::size_t newBytes) {
    void* moved = mremap(block, bytes, newBytes, MREMAP_MAYMOVE);
    return moved == MAP_FAILED ? nullptr : moved;
}

void UnmapPages(void* block, std::size_t bytes) {
    if (block) munmap(block, bytes);
}

}  // namespace Platform::Kernel
