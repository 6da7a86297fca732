#include <QvBase/Util/Settings.h>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

using Platform::Registry::Key;
using Platform::Registry::Result;

constexpr std::uint32_t kString = Platform::Registry::kTypeString;
constexpr std::uint32_t kBinary = Platform::Registry::kTypeBinary;
constexpr std::uint32_t kDword = Platform::Registry::kTypeDword;

std::string_view View(const String& text) { return std::string_view(text.CStr(), text.Length()); }

bool Write(Settings::Root root, const String& keyPath, const String& valuePath, std::uint32_t type, const void* data,
    std::uint32_t size) {
    Key key;
    if (Key::Create(root, View(Settings::SplitValuePath(keyPath, valuePath)), key) != Result::Ok) {
        return false;
    }
    return key.SetValue(View(Settings::ValueNameOf(valuePath)), type, data, size) == Result::Ok;
}

// Opens the value's key and asks for the value's type and size, as every read does first.
bool OpenAndQuery(Settings::Root root, const String& keyPath, const String& valuePath, Key& key, std::uint32_t& type,
    std::uint32_t& size) {
    type = 0;
    size = 0;
    if (Key::Open(root, View(Settings::SplitValuePath(keyPath, valuePath)), key) != Result::Ok) {
        return false;
    }
    return key.QueryValue(View(Settings::ValueNameOf(valuePath)), &type, nullptr, &size) == Result::Ok;
}

}  // namespace

Settings::Settings(const String& keyPath) : m_keyPath(keyPath.Replace('/', '\\')), m_root(Root::CurrentUser) {}

Settings::~Settings() = default;

String Settings::SplitValuePath(const String& keyPath, const String& valuePath) {
    String path = keyPath.Replace('\\', '/');
    const String value = valuePath.Replace('\\', '/');
    const std::optional<uint> last = value.FindLast('/');
    if (last) {
        if (!path.EndsWith("/")) {
            path += '/';
        }
        path += value.Left(*last);
    }
    return path.Replace('/', '\\');
}

String Settings::ValueNameOf(const String& valuePath) {
    const String value = valuePath.Replace('\\', '/');
    const std::optional<uint> last = value.FindLast('/');
    return last ? value.Mid(*last + 1) : value;
}

bool Settings::WriteBinary(
    Root root, const String& keyPath, const String& valuePath, const void* data, std::uint32_t size) {
    return Write(root, keyPath, valuePath, kBinary, data, size);
}

bool Settings::WriteString(Root root, const String& keyPath, const String& valuePath, const String& value) {
    // The characters and their terminating NUL.
    return Write(root, keyPath, valuePath, kString, value.CStr(), value.Length() + 1);
}

bool Settings::WriteDword(Root root, const String& keyPath, const String& valuePath, std::uint32_t value) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return Write(root, keyPath, valuePath, kDword, bytes, 4);
}

bool Settings::ReadString(Root root, const String& keyPath, const String& valuePath, String& out) {
    Key key;
    std::uint32_t type = 0, size = 0;
    if (!OpenAndQuery(root, keyPath, valuePath, key, type, size) || type != kString) {
        return false;
    }
    if (size == 0) {
        out = String("");
        return true;
    }
    std::vector<char> buffer(size);
    std::uint32_t got = size;
    if (key.QueryValue(View(ValueNameOf(valuePath)), nullptr, buffer.data(), &got) != Result::Ok || got != size) {
        return false;
    }
    buffer.back() = '\0';  // a value stored without its NUL loses its last character
    out = String(buffer.data());
    return true;
}

bool Settings::ReadDword(Root root, const String& keyPath, const String& valuePath, std::uint32_t& out) {
    Key key;
    std::uint32_t type = 0, size = 0;
    if (!OpenAndQuery(root, keyPath, valuePath, key, type, size) || type != kDword || size != 4) {
        return false;
    }
    std::uint8_t bytes[4] = {};
    std::uint32_t got = 4;
    if (key.QueryValue(View(ValueNameOf(valuePath)), nullptr, bytes, &got) != Result::Ok || got != 4) {
        return false;
    }
    out = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    return true;
}

bool Settings::ReadBinary(Root root, const String& keyPath, const String& valuePath, std::vector<std::uint8_t>& out) {
    Key key;
    std::uint32_t type = 0, size = 0;
    if (!OpenAndQuery(root, keyPath, valuePath, key, type, size) || type != kBinary) {
        return false;
    }
    out.assign(size, 0);
    if (size == 0) {
        return true;
    }
    std::uint32_t got = size;
    return key.QueryValue(View(ValueNameOf(valuePath)), nullptr, out.data(), &got) == Result::Ok && got == size;
}

bool Settings::DeleteValue(Root root, const String& keyPath, const String& valuePath) {
    Key key;
    const Result opened = Key::Open(root, View(SplitValuePath(keyPath, valuePath)), key);
    if (opened != Result::Ok) return opened == Result::NotFound;
    const Result deleted = key.DeleteValue(View(ValueNameOf(valuePath)));
    return deleted == Result::Ok || deleted == Result::NotFound;
}

String Settings::GetString(const String& valuePath, const String& defaultValue) const {
    String value;
    return ReadString(m_root, m_keyPath, valuePath, value) ? value : defaultValue;
}

bool Settings::SetString(const String& valuePath, const String& value) {
    return WriteString(m_root, m_keyPath, valuePath, value);
}

bool Settings::GetBool(const String& valuePath, bool defaultValue) const {
    std::uint32_t word = 0;
    return ReadDword(m_root, m_keyPath, valuePath, word) ? word != 0 : defaultValue;
}

bool Settings::SetBool(const String& valuePath, bool value) {
    return WriteDword(m_root, m_keyPath, valuePath, value ? 1 : 0);
}

std::int32_t Settings::GetInt(const String& valuePath, std::int32_t defaultValue) const {
    std::uint32_t word = 0;
    return ReadDword(m_root, m_keyPath, valuePath, word) ? static_cast<std::int32_t>(word) : defaultValue;
}

bool Settings::SetInt(const String& valuePath, std::int32_t value) {
    return WriteDword(m_root, m_keyPath, valuePath, static_cast<std::uint32_t>(value));
}

float Settings::GetFloat(const String& valuePath, float defaultValue) const {
    std::vector<std::uint8_t> bytes;
    if (!ReadBinary(m_root, m_keyPath, valuePath, bytes)) {
        return defaultValue;
    }
    // At most the value's own bytes: a shorter value reads as its bytes then zeros.
    std::uint8_t raw[sizeof(float)] = {};
    if (!bytes.empty()) {
        std::memcpy(raw, bytes.data(), std::min(bytes.size(), sizeof raw));
    }
    float value;
    std::memcpy(&value, raw, sizeof value);
    return value;
}

void Settings::SetFloat(const String& valuePath, float value) {
    WriteBinary(m_root, m_keyPath, valuePath, &value, sizeof value);
}

bool Settings::Remove(const String& valuePath) { return DeleteValue(m_root, m_keyPath, valuePath); }

std::vector<String> Settings::ValueNames() const {
    Key key;
    if (Key::Open(m_root, View(m_keyPath), key) != Result::Ok) return {};
    std::vector<String> names;
    for (const std::string& name : key.ValueNames()) names.emplace_back(name);
    return names;
}
