// Seals a library the build made (Platform/Library/LibrarySeal.h): appends the trailer
// naming the length and CRC-32 of its bytes. A file already sealed is left as it is.

#include <Platform/Library/LibrarySeal.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seal-library <shared object>\n");
        return 2;
    }
    const char* path = argv[1];
    const int fd = ::open(path, O_RDWR | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || ::fstat(fd, &status) != 0) {
        std::fprintf(stderr, "seal-library: %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    const auto size = std::uint64_t(status.st_size);
    if (Platform::Library::IsSealed(fd, size)) return ::close(fd) == 0 ? 0 : 1;
    const std::optional<std::uint32_t> crc = Platform::Library::Crc32Of(fd, size);
    if (!crc) {
        std::fprintf(stderr, "seal-library: %s: could not read all %llu bytes\n", path, (unsigned long long)size);
        return 1;
    }
    const Platform::Library::Seal seal = Platform::Library::SealFor(size, *crc);
    if (::pwrite(fd, seal.data(), seal.size(), off_t(size)) != ssize_t(seal.size()) || ::close(fd) != 0) {
        std::fprintf(stderr, "seal-library: %s: writing the seal failed: %s\n", path, std::strerror(errno));
        return 1;
    }
    return 0;
}
