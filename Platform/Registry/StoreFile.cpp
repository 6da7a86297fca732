#include <Platform/Registry/StoreFile.h>
#include <Platform/Registry/StoreText.h>

#include <Platform/Kernel/LastError.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform::Registry {
namespace {
std::atomic<void (*)()> g_beforeReplaceHook{nullptr};
constexpr int kMaxDamagedCopies = 100;
}  // namespace

void Testing::SetBeforeReplaceHook(void (*hook)()) { g_beforeReplaceHook = hook; }

namespace Detail {
namespace {

// Records the failing call's errno as the thread's last error; returns `result`.
template <typename T>
T Failed(T result, int code = errno) {
    Kernel::SetLastError(static_cast<std::uint32_t>(code));
    return result;
}

// Closes a descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

// mkdir -p, private to the user for the folders it creates.
bool MakeFolders(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode) || Failed(false, ENOTDIR);
    if (folder != "/" && !MakeFolders(FolderOf(folder))) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST || Failed(false);
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The new text goes to a temporary file beside the store, reaches the disk, and only
// then replaces the store in one rename: a crash leaves either the old or the new file.
// Only the lock holder writes the temporary file, so a fixed name is safe, and a crash's
// leftover is simply overwritten by the next write.
bool ReplaceStoreFile(const std::string& path, std::string_view text) {
    const std::string temporary = path + ".tmp";
    Descriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600));
    if (!fd.Valid()) return Failed(false);
    const bool written = WriteAll(fd.Get(), text) && ::fsync(fd.Get()) == 0 && ::close(fd.Release()) == 0;
    if (written) {
        if (auto hook = g_beforeReplaceHook.load()) hook();
    }
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return Failed(false, code);
    }
    Descriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) ::fsync(folder.Get());  // makes the rename itself durable
    return true;
}

// A store file that is a link to elsewhere (a dotfiles folder, say) stays a link: the
// new file replaces the link's target.
std::string WriteTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

bool CopyContents(int in, int out) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return got == 0 && ::fsync(out) == 0;
        if (!WriteAll(out, std::string_view(buffer, static_cast<std::size_t>(got)))) return false;
    }
}

// A copy that fails half-way is removed: an empty or partial copy would pass for the
// damaged file.
bool CopyFile(const std::string& from, const std::string& to) {
    Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!in.Valid()) return false;
    Descriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600));
    if (!out.Valid()) return false;
    if (CopyContents(in.Get(), out.Get())) return true;
    const int code = errno;
    ::unlink(to.c_str());
    errno = code;
    return false;
}

std::string DamagedCopyName(const std::string& path, int n) {
    return path + ".damaged" + (n == 1 ? std::string() : "." + std::to_string(n));
}

// Puts the damaged file at `copy`: linked when the file system allows, else copied.
bool PlaceDamagedCopy(const std::string& path, const std::string& copy) {
    if (::link(path.c_str(), copy.c_str()) == 0) return true;
    if (errno == EEXIST || errno == ENOENT) return false;
    return CopyFile(path, copy);
}

bool IsOlder(const struct timespec& a, const struct timespec& b) {
    return std::tie(a.tv_sec, a.tv_nsec) < std::tie(b.tv_sec, b.tv_nsec);
}

// A store file that did not read cleanly stays beside the new one as "<name>.damaged"
// (numbered when that is taken), so that what the salvage missed can still be found. Once
// every number is taken, the newest damage replaces the copy kept longest ago (by its status
// change time, which a link or a rename sets and a restored file cannot carry): a store that
// keeps being damaged must still take its changes.
bool KeepDamagedFile(const std::string& path) {
    struct stat store {};
    if (::stat(path.c_str(), &store) != 0) return errno == ENOENT || Failed(false);  // nothing left to keep
    std::string unused, oldest;
    struct timespec oldestTime {};
    for (int n = 1; n <= kMaxDamagedCopies; ++n) {
        const std::string copy = DamagedCopyName(path, n);
        struct stat info {};
        if (::lstat(copy.c_str(), &info) != 0) {
            if (errno == ENOENT && unused.empty()) unused = copy;
            continue;
        }
        // Kept already, by a write that failed after keeping it: another copy would push out
        // an older damage for nothing.
        if (info.st_dev == store.st_dev && info.st_ino == store.st_ino) return true;
        if (S_ISREG(info.st_mode) && (oldest.empty() || IsOlder(info.st_ctim, oldestTime))) {
            oldest = copy;
            oldestTime = info.st_ctim;
        }
    }
    if (!unused.empty()) return PlaceDamagedCopy(path, unused) || errno == ENOENT || Failed(false);
    if (oldest.empty()) return Failed(false, EEXIST);
    // Placed under a name of its own first, so that a failure leaves the oldest copy as it was.
    const std::string temporary = path + ".damaged.tmp";
    ::unlink(temporary.c_str());
    if (!PlaceDamagedCopy(path, temporary)) return errno == ENOENT || Failed(false);
    if (::rename(temporary.c_str(), oldest.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporary.c_str());
        return Failed(false, code);
    }
    return true;
}

// A store the user made read-only is theirs to keep as it is.
bool IsReadOnlyFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return false;
    return (info.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Takes the store's lock, creating its folder when missing; -1 (the reason as the thread's
// last error) when that fails. The lock is a file of its own, because the store file is
// replaced by every write; closing it releases the lock (also when the process dies).
int LockStore(const std::string& path) {
    if (!MakeFolders(FolderOf(path))) return -1;
    Descriptor lockFile(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600));
    if (!lockFile.Valid()) return Failed(-1);
    while (::flock(lockFile.Get(), LOCK_EX) != 0) {
        if (errno != EINTR) return Failed(-1);
    }
    return lockFile.Release();
}

// Serialises writers of this process; the file lock serialises the processes.
std::mutex g_writeMutex;

}  // namespace

ReadOutcome ReadStoreFile(const std::string& path, StoredKey& root) {
    root = StoredKey{};
    if (path.empty()) return ReadOutcome::Missing;
    // Non-blocking, so that a FIFO planted under the store's name cannot hang the open.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.Valid())
        return errno == ENOENT || errno == ENOTDIR ? ReadOutcome::Missing : Failed(ReadOutcome::Unreadable);
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0) return Failed(ReadOutcome::Unreadable);
    if (!S_ISREG(info.st_mode)) return ReadOutcome::Corrupt;
    // One byte past the limit is enough to know the file is too long; what lies below
    // the limit is still read for its entries.
    std::string text;
    char buffer[65536];
    while (text.size() <= kMaxFileSize) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            return Failed(ReadOutcome::Unreadable);
        }
        if (got == 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return ParseStore(text, root) ? ReadOutcome::Read : ReadOutcome::Corrupt;
}

Result UpdateStoreFile(const std::string& path, const std::function<Result(StoredKey& root, bool& write)>& change) {
    if (path.empty()) return Result::IoFailure;
    std::lock_guard<std::mutex> processLock(g_writeMutex);
    const Descriptor lockFile(LockStore(path));
    // Without the lock nothing is written (a folder that cannot hold the lock file takes
    // no new store either), but a change that writes nothing still gets its answer.
    const std::uint32_t lockError = lockFile.Valid() ? 0 : Kernel::LastError();

    StoredKey root;
    const ReadOutcome outcome = ReadStoreFile(path, root);
    if (outcome == ReadOutcome::Unreadable) return Result::IoFailure;
    bool write = false;
    const Result result = change(root, write);
    if (result != Result::Ok || !write) return result;
    if (!lockFile.Valid()) return Failed(Result::IoFailure, static_cast<int>(lockError));
    const std::string text = FormatStore(root);
    if (text.size() > kMaxFileSize) return Failed(Result::InvalidArgument, EFBIG);  // would not read back
    const std::string target = WriteTarget(path);
    if (IsFolder(target)) return Failed(Result::IoFailure, EISDIR);  // no file can replace it
    if (IsReadOnlyFile(target)) return Failed(Result::IoFailure, EACCES);
    if (outcome == ReadOutcome::Corrupt && !KeepDamagedFile(target)) return Result::IoFailure;
    return ReplaceStoreFile(target, text) ? Result::Ok : Result::IoFailure;
}

}  // namespace Detail
}  // namespace Platform::Registry
