#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace Platform::Kernel {

// Buffered file streams with 64-bit positions. Failures set LastError.

// mode: the runtime's letters "r", "w", "a", optional "+", then "b" or "t"
// (text and binary read alike on this platform). null when the file cannot be opened
// or is a folder.
std::FILE* OpenFile(const char* path, const char* mode);

// Closes the stream in every case; false when the close reported an error.
bool CloseFile(std::FILE* stream);

// Moves to an absolute position; positions past the end are allowed.
bool SeekFile(std::FILE* stream, std::uint64_t offset);

std::optional<std::uint64_t> TellFile(std::FILE* stream);

// Reads up to count bytes; the result is the number read.
std::size_t ReadFile(std::FILE* stream, void* buffer, std::size_t count);

}  // namespace Platform::Kernel
