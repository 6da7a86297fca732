#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace Platform::Registry::Detail {

// Names compare ASCII-case-insensitively; the case a name was first given is kept.
std::string FoldCase(std::string_view name);

struct StoredValue {
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

struct StoredKey {
    std::string name;
    std::map<std::string, StoredValue> values;  // by folded name
    std::map<std::string, StoredKey> subKeys;  // by folded name

    // The sub-key of that name, created (with this case) when missing.
    StoredKey& SubKey(std::string_view subName);
    const StoredKey* FindSubKey(std::string_view subName) const;
    const StoredValue* FindValue(std::string_view valueName) const;
    void SetValue(std::string_view valueName, std::uint32_t type, std::vector<std::uint8_t> data);
    // False when there was no such value.
    bool RemoveValue(std::string_view valueName) { return values.erase(FoldCase(valueName)) != 0; }
};

// Splits a key path at "\" separators; empty components (doubled, leading or trailing
// separators) are skipped.
std::vector<std::string_view> SplitKeyPath(std::string_view path);

// Limits of names and data, checked on every write and on every file read.
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;
inline constexpr std::size_t kMaxValueSize = 1u << 20;
inline constexpr std::size_t kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxFileSize = 32u << 20;

}  // namespace Platform::Registry::Detail
