#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace Respack {

struct Member {
    std::string path;  // "/"-separated, relative to the packed folder
    std::vector<std::uint8_t> bytes;
};

// Every regular file below `folder`, in byte order of their paths. Throws
// std::runtime_error naming the file that could not be read.
std::vector<Member> CollectMembers(const std::string& folder);

// The archive: a directory of entries (path, NUL, 32-bit little-endian offset and size),
// one NUL, then every member at a multiple of 32 bytes, zero-padded to a multiple of 32.
// Throws std::runtime_error when a path is empty or the archive would pass 4 GiB.
std::vector<std::uint8_t> BuildArchive(const std::vector<Member>& members);

}  // namespace Respack
