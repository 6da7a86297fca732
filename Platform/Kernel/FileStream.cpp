#include <Platform/Kernel/FileStream.h>

#include <Platform/Kernel/LastError.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace Platform::Kernel {

namespace {

void SetErrnoAsLastError() { SetLastError(static_cast<std::uint32_t>(errno)); }

}  // namespace

std::FILE* OpenFile(const char* path, const char* mode) {
  if (!path || !mode) {
    SetLastError(EINVAL);
    return nullptr;
  }
  std::string runtimeMode;
  for (const char* c = mode; *c; ++c)
    if (*c != 't') runtimeMode += *c;
  errno = 0;
  std::FILE* stream = std::fopen(path, runtimeMode.c_str());
  if (!stream) {
    SetErrnoAsLastError();
    return nullptr;
  }
  // A folder opens for reading here but is no file: refuse it as other systems do.
  struct stat status {};
  if (::fstat(fileno(stream), &status) == 0 && S_ISDIR(status.st_mode)) {
    std::fclose(stream);
    SetLastError(EISDIR);
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
    SetLastError(std::ferror(stream) && errno ? static_cast<std::uint32_t>(errno) : static_cast<std::uint32_t>(ENODATA));
  }
  return got;
}

}  // namespace Platform::Kernel
