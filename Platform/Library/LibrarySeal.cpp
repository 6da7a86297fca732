#include <Platform/Library/LibrarySeal.h>

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace Platform::Library {

namespace {

// The trailer: a mark, the length sealed and its CRC-32, both little-endian.
constexpr char kMagic[8] = {'T', 'o', 'n', 'a', 'l', 'i', 't', 'h'};
constexpr std::size_t kLengthAt = 8, kCrcAt = 16;

void PutLittleEndian(unsigned char* out, std::uint64_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

Seal SealFor(std::uint64_t length, std::uint32_t crc) {
    Seal seal{};
    std::memcpy(seal.data(), kMagic, sizeof kMagic);
    PutLittleEndian(seal.data() + kLengthAt, length, kCrcAt - kLengthAt);
    PutLittleEndian(seal.data() + kCrcAt, crc, kSealBytes - kCrcAt);
    return seal;
}

std::optional<std::uint32_t> Crc32Of(int fd, std::uint64_t length) {
    std::vector<unsigned char> chunk(std::size_t(1) << 16);
    uLong crc = ::crc32(0, nullptr, 0);
    for (std::uint64_t offset = 0; offset < length;) {
        const std::size_t want = std::size_t(std::min<std::uint64_t>(chunk.size(), length - offset));
        const ssize_t got = ::pread(fd, chunk.data(), want, off_t(offset));
        if (got <= 0) return std::nullopt;
        crc = ::crc32(crc, chunk.data(), uInt(got));
        offset += std::uint64_t(got);
    }
    return std::uint32_t(crc);
}

bool IsSealed(int fd, std::uint64_t size) {
    if (size < kSealBytes) return false;
    Seal found{};
    if (::pread(fd, found.data(), found.size(), off_t(size - kSealBytes)) != ssize_t(found.size())) return false;
    const std::uint64_t length = size - kSealBytes;
    // The mark and the length first: a file without a trailer is not read through.
    if (std::memcmp(found.data(), SealFor(length, 0).data(), kCrcAt) != 0) return false;
    const std::optional<std::uint32_t> crc = Crc32Of(fd, length);
    return crc && SealFor(length, *crc) == found;
}

}  // namespace Platform::Library
