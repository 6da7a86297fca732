#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Platform::Registry {

// The per-user hierarchical settings store. Keys hold sub-keys and typed values; names
// compare ASCII-case-insensitively and keep their case; "\" separates the names of a key
// path. Each root lives in one text file that every open re-reads and every change
// rewrites whole (temporary file, flushed, renamed, under an advisory lock).

enum class Root { CurrentUser };

enum class Result {
    Ok,
    NotFound,  // no such key or value (also: one lost to damage in the store file)
    BufferTooSmall,  // the value did not fit; its size was reported
    InvalidArgument,  // a name or a size beyond the store's limits, or a closed key
    IoFailure,  // the store file could not be read or written; nothing changed
};

// The type codes the system writes; any other code is stored and reported as given.
inline constexpr std::uint32_t kTypeString = 1;
inline constexpr std::uint32_t kTypeBinary = 3;
inline constexpr std::uint32_t kTypeDword = 4;

namespace Detail {
struct StoredKey;
}

// An open key: the path it names and the store as read when it was opened.
class Key {
public:
    Key();
    ~Key();
    Key(Key&&) noexcept;
    Key& operator=(Key&&) noexcept;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    // Opens `subKeyPath` below `root`, creating it and any missing keys above it.
    static Result Create(Root root, std::string_view subKeyPath, Key& out);
    // Opens an existing key; NotFound when any part of the path is missing.
    static Result Open(Root root, std::string_view subKeyPath, Key& out);

    // Sets a value (an empty name is the key's default value); the key is re-created if it
    // vanished from the file since it was opened.
    Result SetValue(std::string_view name, std::uint32_t type, const void* data, std::uint32_t size);
    // Removes a value; NotFound (and the file untouched) when the key does not hold it.
    Result DeleteValue(std::string_view name);

    // Reports a value's type and size; with a buffer, also copies the data when `*size` is
    // large enough (else BufferTooSmall with `*size` set to what is needed). `type`,
    // `buffer` may be null; `size` may be null only when `buffer` is.
    Result QueryValue(std::string_view name, std::uint32_t* type, void* buffer, std::uint32_t* size) const;
    // The names of the values the key holds, as they were given; none when it is closed.
    std::vector<std::string> ValueNames() const;

    bool IsOpen() const;
    void Close();

private:
    // Runs `change` on a fresh read of the store (the key's path split into `parts`) and
    // writes the result when it returns Ok.
    Result Change(
        const std::function<Result(Detail::StoredKey& store, const std::vector<std::string_view>& parts)>& change);

    Root root_ = Root::CurrentUser;
    std::string path_;  // relative to the root
    std::shared_ptr<const Detail::StoredKey> key_;  // the key as read at open (shares the whole store)
};

// The file that holds a root: $XDG_CONFIG_HOME/Quorvel/HKEY_CURRENT_USER.reg, with
// ~/.config in place of an unset or relative XDG_CONFIG_HOME. Empty when no home is known.
std::string StoreFilePath(Root root);

namespace Testing {
// Runs between writing the new store file and renaming it over the old one (to stage
// a crash in the middle of a write). Null removes the hook.
void SetBeforeReplaceHook(void (*hook)());
}  // namespace Testing

}  // namespace Platform::Registry
