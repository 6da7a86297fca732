#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace Platform::Kernel {

// Bytes of memory the system can still hand out without swapping; absent when unknown.
std::optional<std::uint64_t> AvailableMemoryBytes();

// Bytes of swap not in use; absent when unknown.
std::optional<std::uint64_t> FreeSwapBytes();

// Has the pages under `bytes` bytes at `first` made ready for writing in one request,
// ahead of the writes that fill them, which then fault no more. Only a wish: without it
// the writes fault as usual.
void PrepareForWriting(void* first, std::size_t bytes);

}  // namespace Platform::Kernel
