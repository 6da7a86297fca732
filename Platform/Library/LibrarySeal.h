#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace Platform::Library {

// A library the build makes is sealed: after linking, a trailer naming the length and the
// CRC-32 of every byte before it is appended. The loader maps only the bytes its segments
// name, so the trailer changes nothing it loads; a check of the whole file before loading
// then sees damage anywhere in it, also inside the bytes the loader maps, where a damaged
// relocation or symbol table would stop the process while it loads.
inline constexpr std::size_t kSealBytes = 20;
using Seal = std::array<unsigned char, kSealBytes>;

// The trailer for `length` bytes whose CRC-32 is `crc`.
Seal SealFor(std::uint64_t length, std::uint32_t crc);

// The CRC-32 of a file's first `length` bytes, read through `fd`; absent when they cannot
// all be read.
std::optional<std::uint32_t> Crc32Of(int fd, std::uint64_t length);

// True when the file open as `fd`, `size` bytes long, ends in the seal of all before it.
bool IsSealed(int fd, std::uint64_t size);

}  // namespace Platform::Library
