// What the system counts for this process, as a test reads it to tell how much work a call did.
#pragma once

#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace TestSupport {

// A number of one of the kernel's summaries of this process, by the name its line starts with.
inline std::optional<std::uint64_t> ProcessCounter(const char* summary, const std::string& field) {
    std::ifstream in(summary);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string name;
        std::uint64_t value = 0;
        if (words >> name >> value && name == field + ":") return value;
    }
    return std::nullopt;
}

// The bytes every thread of this process has read through the system so far, from any file.
inline std::optional<std::uint64_t> BytesReadSoFar() { return ProcessCounter("/proc/self/io", "rchar"); }

// Where each of this process's descriptors open on the file at `path` (the same file,
// whatever its spelling) stands in it, from any thread; empty when none is.
inline std::vector<std::uint64_t> PositionsOpenOn(const std::string& path) {
    std::vector<std::uint64_t> positions;
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0) return positions;
    std::error_code error;
    for (const auto& descriptor : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        struct stat target {};
        if (::stat(descriptor.path().c_str(), &target) != 0 || target.st_dev != file.st_dev ||
            target.st_ino != file.st_ino)
            continue;
        const std::string info = "/proc/self/fdinfo/" + descriptor.path().filename().string();
        if (const std::optional<std::uint64_t> position = ProcessCounter(info.c_str(), "pos"))
            positions.push_back(*position);
    }
    return positions;
}

// Lets this process map only `bytes` more than it has mapped now, as `ulimit -v` does for a
// whole program, so that a larger request fails as it would on a machine of less; false
// when it cannot be set.
inline bool LimitAddressSpaceGrowth(std::uint64_t bytes) {
    const std::optional<std::uint64_t> kib = ProcessCounter("/proc/self/status", "VmSize");
    rlimit limit{};
    if (!kib || ::getrlimit(RLIMIT_AS, &limit) != 0) return false;
    limit.rlim_cur = *kib * 1024 + bytes;
    return ::setrlimit(RLIMIT_AS, &limit) == 0;
}

}  // namespace TestSupport
