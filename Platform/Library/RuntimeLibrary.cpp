#include <Platform/Library/RuntimeLibrary.h>

#include <Platform/Kernel/LastError.h>
#include <Platform/Library/LibrarySeal.h>

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

#include <strings.h>
#include <sys/stat.h>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace Platform::Library {

namespace {

std::mutex g_folderLock;
std::string g_folderOverride;

bool EndsWithDll(const std::string& name) {
    if (name.size() < 4) return false;
    return ::strcasecmp(name.c_str() + name.size() - 4, ".dll") == 0;
}

#if defined(__x86_64__)
constexpr Elf64_Half kMachine = EM_X86_64;
#else
#error "run-time libraries are checked as x86-64 shared objects"
#endif
constexpr unsigned char kByteOrder = std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;

bool IsFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool Within(uint64_t offset, uint64_t bytes, uint64_t size) { return offset <= size && bytes <= size - offset; }

bool ReadAt(int fd, uint64_t offset, void* data, size_t bytes) {
    return ::pread(fd, data, bytes, off_t(offset)) == ssize_t(bytes);
}

// The loader maps every loadable segment's bytes from the file and faults, killing the
// process, on the first page it touches past the file's end: a shared object is handed to it
// only when it is built for this machine and its program headers and loadable segments lie
// within the file.
bool HoldsWhatItMaps(int fd, uint64_t size) {
    Elf64_Ehdr header{};
    if (!ReadAt(fd, 0, &header, sizeof header)) return false;
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
        header.e_ident[EI_DATA] != kByteOrder || header.e_machine != kMachine || header.e_type != ET_DYN ||
        header.e_phentsize != sizeof(Elf64_Phdr))
        return false;
    const size_t bytes = size_t(header.e_phnum) * sizeof(Elf64_Phdr);
    if (!Within(header.e_phoff, bytes, size)) return false;
    std::vector<Elf64_Phdr> segments(header.e_phnum);
    if (!ReadAt(fd, header.e_phoff, segments.data(), bytes)) return false;
    return std::all_of(segments.begin(), segments.end(),
        [&](const Elf64_Phdr& s) { return s.p_type != PT_LOAD || Within(s.p_offset, s.p_filesz, size); });
}

// The libraries this build makes, which it seals: the media runtime.
bool MustBeSealed(const std::string& path) {
    const size_t slash = path.rfind('/');
    return path.compare(slash == std::string::npos ? 0 : slash + 1, std::string::npos, "WMVCore.so") == 0;
}

// What the loader is handed: a library that holds what it maps and, when this build made it,
// still matches its seal. Damage inside the bytes it maps passes every other check here and
// stops the process in the loader, as it relocates through it.
bool Loadable(const std::string& path) {
    // Without blocking: a named pipe in the library's place would otherwise hold the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat status {};
    const bool loadable = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
        HoldsWhatItMaps(fd, uint64_t(status.st_size)) &&
        (!MustBeSealed(path) || IsSealed(fd, uint64_t(status.st_size)));
    ::close(fd);
    return loadable;
}

// The folders the loader searches for a name without a "/", in its order, as it would for
// this program; the cache of the system's libraries it reads among them is not listed.
std::vector<std::string> LoaderFolders() {
    std::vector<std::string> folders;
    void* program = ::dlopen(nullptr, RTLD_LAZY);
    Dl_serinfo size{};
    if (program && ::dlinfo(program, RTLD_DI_SERINFOSIZE, &size) == 0) {
        std::vector<std::max_align_t> storage(size.dls_size / sizeof(std::max_align_t) + 1);
        auto* info = reinterpret_cast<Dl_serinfo*>(storage.data());
        *info = size;
        if (::dlinfo(program, RTLD_DI_SERINFO, info) == 0)
            for (unsigned i = 0; i < info->dls_cnt; ++i) folders.emplace_back(info->dls_serpath[i].dls_name);
    }
    if (program) ::dlclose(program);
    return folders;
}

Opened Missing() {
    Kernel::SetLastError(ENOENT);
    return {nullptr, LoadFailure::NotFound};
}

// The loader reports failures as text, most ending with the system's reason; a segment it
// could not map (the address space or the memory ran out) says so without one.
LoadFailure FailureFrom(const char* message) {
    if (message && (std::strstr(message, std::strerror(ENOMEM)) || std::strstr(message, "failed to map segment")))
        return LoadFailure::OutOfMemory;
    if (message && std::strstr(message, std::strerror(ENOENT))) return LoadFailure::NotFound;
    return LoadFailure::Other;
}

// A file is opened by its path, not through the descriptor that was checked: the loader takes
// a descriptor's path as the library's name, and a later library opened through the same
// descriptor number would be answered with the one already loaded under that name.
Opened Try(const std::string& name) {
    ::dlerror();
    if (void* handle = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL)) return {handle, LoadFailure::Other};
    const LoadFailure failure = FailureFrom(::dlerror());
    if (failure == LoadFailure::NotFound) return Missing();
    Kernel::SetLastError(failure == LoadFailure::OutOfMemory ? ENOMEM : ENOEXEC);
    return {nullptr, failure};
}

// A damaged file counts as missing where it lies, as the loader passes over a library built
// for another machine; only a name none of the folders holds is left to the loader's cache,
// and never one that must be sealed, which is loaded only from a file that was checked.
Opened Load(const std::string& name) {
    if (name.find('/') != std::string::npos) return Loadable(name) ? Try(name) : Missing();
    bool refused = false;
    for (const std::string& folder : LoaderFolders()) {
        const std::string path = folder + "/" + name;
        if (!IsFile(path)) continue;
        if (Loadable(path)) return Try(path);
        refused = true;
    }
    return refused || MustBeSealed(name) ? Missing() : Try(name);
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
    if (!EndsWithDll(name)) return Load(name);
    const std::string file = name.substr(0, name.size() - 4) + ".so";
    if (const auto folder = ProgramFolder()) {
        const std::string beside = *folder + "/" + file;
        if (Loadable(beside)) return Try(beside);
    }
    // Without a "/" the loader's folders are searched; a relative name with one would be
    // taken from the current folder, which no caller means.
    if (file.find('/') != std::string::npos) return Missing();
    return Load(file);
}

void* Symbol(void* handle, const char* name) { return handle ? ::dlsym(handle, name) : nullptr; }

void Close(void* handle) {
    if (handle) ::dlclose(handle);
}

}  // namespace Platform::Library
