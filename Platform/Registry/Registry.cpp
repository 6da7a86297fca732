#include <Platform/Registry/Registry.h>
#include <Platform/Registry/StoreFile.h>
#include <Platform/Registry/StoreTree.h>

#include <Platform/Kernel/LastError.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace Platform::Registry {
namespace {

using Detail::StoredKey;

// The thread's last error for a failure found here (I/O failures record their own errno).
Result Fail(Result result) {
    switch (result) {
    case Result::NotFound: Kernel::SetLastError(ENOENT); break;
    case Result::BufferTooSmall: Kernel::SetLastError(ERANGE); break;
    case Result::InvalidArgument: Kernel::SetLastError(EINVAL); break;
    default: break;
    }
    return result;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir) {
        return found->pw_dir;
    }
    return {};
}

bool PathWithinLimits(const std::vector<std::string_view>& parts) {
    if (parts.size() > Detail::kMaxKeyDepth) return false;
    for (const auto part : parts) {
        if (part.size() > Detail::kMaxKeyNameLength) return false;
    }
    return true;
}

const StoredKey* Walk(const StoredKey& root, const std::vector<std::string_view>& parts) {
    const StoredKey* key = &root;
    for (const auto part : parts) {
        key = key->FindSubKey(part);
        if (!key) return nullptr;
    }
    return key;
}

StoredKey& WalkCreating(StoredKey& root, const std::vector<std::string_view>& parts, bool& created) {
    StoredKey* key = &root;
    for (const auto part : parts) {
        if (!key->FindSubKey(part)) created = true;
        key = &key->SubKey(part);
    }
    return *key;
}

// Opens `path` from a fresh read of the file.
Result OpenFromFile(Root root, std::string_view path, std::shared_ptr<const StoredKey>& key) {
    auto store = std::make_shared<StoredKey>();
    if (Detail::ReadStoreFile(StoreFilePath(root), *store) == Detail::ReadOutcome::Unreadable) {
        return Result::IoFailure;
    }
    const StoredKey* found = Walk(*store, Detail::SplitKeyPath(path));
    if (!found) return Fail(Result::NotFound);
    key = std::shared_ptr<const StoredKey>(store, found);
    return Result::Ok;
}

}  // namespace

Key::Key() = default;
Key::~Key() = default;
Key::Key(Key&&) noexcept = default;
Key& Key::operator=(Key&&) noexcept = default;

std::string StoreFilePath(Root) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (xdg && xdg[0] == '/') {
        folder = xdg;
    } else {
        const std::string home = HomeFolder();
        if (home.empty()) return {};
        folder = home + "/.config";
    }
    return folder + "/Quorvel/HKEY_CURRENT_USER.reg";
}

Result Key::Create(Root root, std::string_view subKeyPath, Key& out) {
    const auto parts = Detail::SplitKeyPath(subKeyPath);
    if (!PathWithinLimits(parts)) return Fail(Result::InvalidArgument);
    const Result created = Detail::UpdateStoreFile(StoreFilePath(root), [&](StoredKey& store, bool& write) {
        WalkCreating(store, parts, write);
        return Result::Ok;
    });
    if (created != Result::Ok) return created;
    return Open(root, subKeyPath, out);
}

Result Key::Open(Root root, std::string_view subKeyPath, Key& out) {
    std::shared_ptr<const StoredKey> key;
    const Result result = OpenFromFile(root, subKeyPath, key);
    if (result != Result::Ok) return result;
    out.root_ = root;
    out.path_ = std::string(subKeyPath);
    out.key_ = std::move(key);
    return Result::Ok;
}

Result Key::SetValue(std::string_view name, std::uint32_t type, const void* data, std::uint32_t size) {
    if (!IsOpen() || name.size() > Detail::kMaxValueNameLength || size > Detail::kMaxValueSize || (size > 0 && !data)) {
        return Fail(Result::InvalidArgument);
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::vector<std::uint8_t> copy(bytes, bytes + size);
    return Change([&](StoredKey& store, const std::vector<std::string_view>& parts) {
        bool created = false;
        WalkCreating(store, parts, created).SetValue(name, type, std::move(copy));
        return Result::Ok;
    });
}

Result Key::DeleteValue(std::string_view name) {
    if (!IsOpen() || name.size() > Detail::kMaxValueNameLength) return Fail(Result::InvalidArgument);
    return Change([&](StoredKey& store, const std::vector<std::string_view>& parts) {
        // A key that is gone holds no value: nothing to write.
        if (!Walk(store, parts)) return Fail(Result::NotFound);
        bool created = false;
        return WalkCreating(store, parts, created).RemoveValue(name) ? Result::Ok : Fail(Result::NotFound);
    });
}

Result Key::Change(const std::function<Result(StoredKey& store, const std::vector<std::string_view>& parts)>& change) {
    const auto parts = Detail::SplitKeyPath(path_);
    std::shared_ptr<StoredKey> written;
    const Result result = Detail::UpdateStoreFile(StoreFilePath(root_), [&](StoredKey& store, bool& write) {
        const Result changed = change(store, parts);
        if (changed != Result::Ok) return changed;
        write = true;
        written = std::make_shared<StoredKey>(store);
        return Result::Ok;
    });
    // Later queries through this key see the store as just written.
    if (result == Result::Ok) {
        if (const StoredKey* key = Walk(*written, parts)) key_ = std::shared_ptr<const StoredKey>(written, key);
    }
    return result;
}

Result Key::QueryValue(std::string_view name, std::uint32_t* type, void* buffer, std::uint32_t* size) const {
    if (!IsOpen() || (buffer && !size)) return Fail(Result::InvalidArgument);
    const Detail::StoredValue* value = key_->FindValue(name);
    if (!value) return Fail(Result::NotFound);
    if (type) *type = value->type;
    const auto needed = static_cast<std::uint32_t>(value->data.size());
    if (buffer) {
        if (*size < needed) {
            *size = needed;
            return Fail(Result::BufferTooSmall);
        }
        if (needed) std::memcpy(buffer, value->data.data(), needed);
    }
    if (size) *size = needed;
    return Result::Ok;
}

std::vector<std::string> Key::ValueNames() const {
    std::vector<std::string> names;
    if (IsOpen())
        for (const auto& [folded, value] : key_->values) names.push_back(value.name);
    return names;
}

bool Key::IsOpen() const { return key_ != nullptr; }

void Key::Close() {
    key_.reset();
    path_.clear();
}

}  // namespace Platform::Registry
