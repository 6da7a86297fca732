#include <Platform/Library/RuntimeLibrary.h>

#include <Platform/Kernel/LastError.h>

#include <dlfcn.h>
#include <unistd.h>

#include <strings.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace Platform::Library {

namespace {

std::mutex g_folderLock;
std::string g_folderOverride;

bool EndsWithDll(const std::string& name) {
    if (name.size() < 4) return false;
    return ::strcasecmp(name.c_str() + name.size() - 4, ".dll") == 0;
}

bool IsFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The loader reports failures as text, most ending with the system's reason; a segment it
// could not map (the address space or the memory ran out) says so without one.
LoadFailure FailureFrom(const char* message) {
    if (message && (std::strstr(message, std::strerror(ENOMEM)) || std::strstr(message, "failed to map segment")))
        return LoadFailure::OutOfMemory;
    if (message && std::strstr(message, std::strerror(ENOENT))) return LoadFailure::NotFound;
    return LoadFailure::Other;
}

Opened Try(const std::string& path) {
    ::dlerror();
    if (void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return {handle, LoadFailure::Other};
    const LoadFailure failure = FailureFrom(::dlerror());
    Kernel::SetLastError(failure == LoadFailure::OutOfMemory ? ENOMEM
            : failure == LoadFailure::NotFound               ? ENOENT
                                                             : ENOEXEC);
    return {nullptr, failure};
}

}  // namespace

std::optional<std::string> ProgramFolder() {
    {
        std::lock_guard<std::mutex> lock(g_folderLock);
        if (!g_folderOverride.empty()) return g_folderOverride;
    }
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || size_t(length) >= path.size()) return std::nullopt;
    path.resize(size_t(length));
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::nullopt;
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

void SetProgramFolderForTesting(const std::string& folder) {
    std::lock_guard<std::mutex> lock(g_folderLock);
    g_folderOverride = folder;
}

Opened Open(const std::string& name) {
    if (!EndsWithDll(name)) return Try(name);
    const std::string file = name.substr(0, name.size() - 4) + ".so";
    if (const auto folder = ProgramFolder()) {
        const std::string beside = *folder + "/" + file;
        if (IsFile(beside)) return Try(beside);
    }
    // Without a "/" the loader searches its own path; a relative name with one would be
    // taken from the current folder, which no caller means.
    if (file.find('/') != std::string::npos) {
        Kernel::SetLastError(ENOENT);
        return {nullptr, LoadFailure::NotFound};
    }
    return Try(file);
}

void* Symbol(void* handle, const char* name) { return handle ? ::dlsym(handle, name) : nullptr; }

void Close(void* handle) {
    if (handle) ::dlclose(handle);
}

}  // namespace Platform::Library
