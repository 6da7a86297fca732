#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace Platform::Kernel {

// Bytes of memory the system can still hand out without swapping; absent when unknown.
std::optional<std::uint64_t> AvailableMemoryBytes();

// Bytes of swap not in use; absent when unknown.
std::optional<std::uint64_t> FreeSwapBytes();

// How much memory the program lets itself take, measured against what the system reports
// before it takes it: the system hands out more than it has, and the pages would then be
// filled until the kernel ends a process. Every such rule is here, each with its reason.
//
// The samples of a file read into memory may fill what is available plus the free swap: the
// file is what the user asked to see, and one the system can hold at all is shown rather
// than refused; its samples are written once and then read a part at a time, so that pages
// of them may wait in swap at little cost. Absent when unknown.
std::optional<std::uint64_t> MemoryForSamples();
// A computation over the samples (a spectrogram step) may take three quarters of what is
// available, swap not counted (no limit when unknown): it goes over its buffers again and
// again, and swapped it would crawl. What the kernel counts as available includes the page
// cache that this program's code and every other program lean on, and the step is not all
// that grows meanwhile (the render's image, the other display's step, other programs): a
// quarter stays theirs.
std::uint64_t MemoryForComputing(std::optional<std::uint64_t> availableBytes);
// A decoder that makes all of a file's samples at once (a REX loop) may take half of what is
// available, swap not counted: the load then copies them once more into its own buffers.
// Absent when unknown.
std::optional<std::uint64_t> MemoryForDecodedBlock();

// Has the pages under `bytes` bytes at `first` made ready for writing in one request,
// ahead of the writes that fill them, which then fault no more. Only a wish: without it
// the writes fault as usual.
void PrepareForWriting(void* first, std::size_t bytes);

// A block of `bytes` (more than 0) straight from the system, zero, its pages only had when
// first written; null when the system gives no room.
void* MapZeroPages(std::size_t bytes);
// The block made `newBytes` long (more than 0), perhaps at another address: its pages are
// moved, never copied, so that growing costs only the memory added, and the bytes past the
// old length are unset until written. Null, the block unchanged, when there is no room.
void* RemapPages(void* block, std::size_t bytes, std::size_t newBytes);
// Gives the block back; null does nothing.
void UnmapPages(void* block, std::size_t bytes);

}  // namespace Platform::Kernel
