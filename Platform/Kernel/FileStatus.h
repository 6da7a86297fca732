#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace Platform::Kernel {

// File status queries. Failures set LastError.

std::optional<std::uint64_t> FileSize(const char* path);
std::optional<std::uint64_t> FileSize(std::FILE* stream);

bool FileExists(const char* path);

// The long form of an existing path. This platform has no short names, so it is the
// path itself; absent when the path does not exist.
std::optional<std::string> LongPathName(const char* path);

}  // namespace Platform::Kernel
