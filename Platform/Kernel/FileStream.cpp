#include <Platform/Kernel/FileStream.h>

#include <Platform/Kernel/LastError.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace Platform::Kernel {

namespace {

void SetErrnoAsLastError() { SetLastError(static_cast<std::uint32_t>(errno)); }

// The open(2) flags of a runtime mode ("r", "w+", "ab", ...); -1 for an unknown mode.
int OpenFlags(const std::string& mode) {
    if (mode.empty()) return -1;
    const bool update = mode.find('+') != std::string::npos;
    switch (mode[0]) {
    case 'r': return update ? O_RDWR : O_RDONLY;
    case 'w': return (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    case 'a': return (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default: return -1;
    }
}

}  // namespace

std::FILE* OpenFile(const char* path, const char* mode) {
    if (!path || !mode) {
        SetLastError(EINVAL);
        return nullptr;
    }
    std::string runtimeMode;
    for (const char* c = mode; *c; ++c)
        if (*c != 't') runtimeMode += *c;
    const int flags = OpenFlags(runtimeMode);
    if (flags < 0) {
        SetLastError(EINVAL);
        return nullptr;
    }
    // Opened without blocking: reading a named pipe that nobody writes would otherwise
    // wait forever inside open(), freezing whoever picked it.
    errno = 0;
    const int fd = ::open(path, flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        SetErrnoAsLastError();
        return nullptr;
    }
    // A folder opens for reading here but is no file: refuse it as other systems do.
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        SetLastError(EISDIR);
        return nullptr;
    }
    const int descriptorFlags = ::fcntl(fd, F_GETFL);
    if (descriptorFlags >= 0) ::fcntl(fd, F_SETFL, descriptorFlags & ~O_NONBLOCK);
    std::FILE* stream = ::fdopen(fd, runtimeMode.c_str());
    if (!stream) {
        SetErrnoAsLastError();
        ::close(fd);
        return nullptr;
    }
    return stream;
}

bool CloseFile(std::FILE* stream) {
    if (!stream) {
        SetLastError(EBADF);
        return false;
    }
    if (std::fclose(stream) != 0) {
        SetErrnoAsLastError();
        return false;
    }
    return true;
}

bool SeekFile(std::FILE* stream, std::uint64_t offset) {
    if (!stream) {
        SetLastError(EBADF);
        return false;
    }
    if (offset > static_cast<std::uint64_t>(INT64_MAX)) {
        SetLastError(EOVERFLOW);
        return false;
    }
    if (fseeko(stream, static_cast<off_t>(offset), SEEK_SET) != 0) {
        SetErrnoAsLastError();
        return false;
    }
    return true;
}

std::optional<std::uint64_t> TellFile(std::FILE* stream) {
    if (!stream) {
        SetLastError(EBADF);
        return std::nullopt;
    }
    const off_t position = ftello(stream);
    if (position < 0) {
        SetErrnoAsLastError();
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(position);
}

std::size_t ReadFile(std::FILE* stream, void* buffer, std::size_t count) {
    if (!stream || !buffer) {
        SetLastError(EINVAL);
        return 0;
    }
    errno = 0;
    const std::size_t got = std::fread(buffer, 1, count, stream);
    if (got < count) {
        // A plain end of file is no system error; keep its code distinct from success.
        SetLastError(
            std::ferror(stream) && errno ? static_cast<std::uint32_t>(errno) : static_cast<std::uint32_t>(ENODATA));
    }
    return got;
}

}  // namespace Platform::Kernel
