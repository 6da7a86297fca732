#pragma once
#include <optional>
#include <string>

namespace Platform::Kernel {

// The process's current directory, without a trailing "/" (except for "/" itself).
// Absent when it cannot be had (LastError says why).
std::optional<std::string> CurrentDirectory();

// An environment variable's value; absent when it is not set.
std::optional<std::string> EnvironmentVariable(const char* name);

}  // namespace Platform::Kernel
