#pragma once
#include <optional>
#include <string>

namespace Platform::Library {

// Why a library could not be loaded.
enum class LoadFailure { NotFound, OutOfMemory, Other };

// An opened library, or why not.
struct Opened {
    void* handle = nullptr;
    LoadFailure failure = LoadFailure::Other;
};

// Opens a library by file name. A name ending in ".dll" (any case) is looked for as the same
// name ending in ".so": first in the program's folder, then on the loader's path. Other names
// are looked for as the loader would. A file that is not a whole shared object for this machine
// counts as missing, and so does a library this build made ("WMVCore.so") that no longer
// matches its seal (LibrarySeal.h) or that only the loader's cache could find. Failures set
// LastError.
Opened Open(const std::string& name);

// The address of an exported symbol; null when it is missing.
void* Symbol(void* handle, const char* name);

// Closes a library opened by Open.
void Close(void* handle);

// The folder that holds the running program, without a trailing "/"; absent when unknown.
std::optional<std::string> ProgramFolder();

// Tests only: the folder searched first instead of the program's (empty restores it).
void SetProgramFolderForTesting(const std::string& folder);

}  // namespace Platform::Library
