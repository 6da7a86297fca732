#include <Platform/Kernel/FileStatus.h>

#include <Platform/Kernel/LastError.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace Platform::Kernel {

namespace {

std::optional<std::uint64_t> SizeFromStatus(int result, const struct stat& status) {
    if (result != 0) {
        SetLastError(static_cast<std::uint32_t>(errno));
        return std::nullopt;
    }
    if (status.st_size < 0) {
        SetLastError(EINVAL);
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(status.st_size);
}

}  // namespace

std::optional<std::uint64_t> FileSize(const char* path) {
    if (!path) {
        SetLastError(EINVAL);
        return std::nullopt;
    }
    struct stat status {};
    const int result = ::stat(path, &status);
    return SizeFromStatus(result, status);
}

std::optional<std::uint64_t> FileSize(std::FILE* stream) {
    if (!stream) {
        SetLastError(EBADF);
        return std::nullopt;
    }
    // Buffered writes count towards the size the caller sees.
    std::fflush(stream);
    struct stat status {};
    const int result = ::fstat(fileno(stream), &status);
    return SizeFromStatus(result, status);
}

bool FileExists(const char* path) {
    if (!path) {
        SetLastError(EINVAL);
        return false;
    }
    if (::access(path, F_OK) != 0) {
        SetLastError(static_cast<std::uint32_t>(errno));
        return false;
    }
    return true;
}

std::optional<std::string> LongPathName(const char* path) {
    if (!path || !*path) {
        SetLastError(EINVAL);
        return std::nullopt;
    }
    struct stat status {};
    if (::stat(path, &status) != 0) {
        SetLastError(static_cast<std::uint32_t>(errno));
        return std::nullopt;
    }
    return std::string(path);
}

}  // namespace Platform::Kernel
