#pragma once
#include <QvBase/Types.h>
#include <QvBase/Util/String.h>

#include <Platform/Registry/Registry.h>

#include <cstdint>
#include <vector>

// Typed, persistent user preferences under one key of the per-user store. Every read and
// write opens the key anew; nothing is cached. A value path may carry sub-keys in front
// of the value name ("Window/Geometry"); dots are plain characters. Failures never throw:
// writes return false, reads fall back to the caller's default.
class Settings {
public:
    using Root = Platform::Registry::Root;

    // Keeps the key path with every "/" turned into "\"; opens nothing.
    explicit Settings(const String& keyPath);
    ~Settings();

    // The key that holds the value: the key path extended by the value path's sub-keys.
    static String SplitValuePath(const String& keyPath, const String& valuePath);
    // The text after the value path's last separator (empty: the key's default value).
    static String ValueNameOf(const String& valuePath);

    static bool WriteBinary(
        Root root, const String& keyPath, const String& valuePath, const void* data, std::uint32_t size);
    static bool WriteString(Root root, const String& keyPath, const String& valuePath, const String& value);
    static bool WriteDword(Root root, const String& keyPath, const String& valuePath, std::uint32_t value);
    static bool ReadString(Root root, const String& keyPath, const String& valuePath, String& out);
    static bool ReadDword(Root root, const String& keyPath, const String& valuePath, std::uint32_t& out);
    static bool ReadBinary(Root root, const String& keyPath, const String& valuePath, std::vector<std::uint8_t>& out);
    // True when the store holds no such value afterwards (also when it held none).
    static bool DeleteValue(Root root, const String& keyPath, const String& valuePath);

    String GetString(const String& valuePath, const String& defaultValue) const;
    bool SetString(const String& valuePath, const String& value);
    bool GetBool(const String& valuePath, bool defaultValue) const;
    bool SetBool(const String& valuePath, bool value);
    std::int32_t GetInt(const String& valuePath, std::int32_t defaultValue) const;
    bool SetInt(const String& valuePath, std::int32_t value);
    float GetFloat(const String& valuePath, float defaultValue) const;
    void SetFloat(const String& valuePath, float value);  // a failed write is silent
    bool Remove(const String& valuePath);
    // The names of the values the key itself holds (none when it does not exist).
    std::vector<String> ValueNames() const;

    const String& KeyPath() const { return m_keyPath; }

private:
    String m_keyPath;
    Root m_root;
};
