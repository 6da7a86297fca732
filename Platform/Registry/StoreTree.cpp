#include <Platform/Registry/StoreTree.h>

namespace Platform::Registry::Detail {

std::string FoldCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

StoredKey& StoredKey::SubKey(std::string_view subName) {
    auto [it, inserted] = subKeys.try_emplace(FoldCase(subName));
    if (inserted) it->second.name = std::string(subName);
    return it->second;
}

const StoredKey* StoredKey::FindSubKey(std::string_view subName) const {
    const auto it = subKeys.find(FoldCase(subName));
    return it == subKeys.end() ? nullptr : &it->second;
}

const StoredValue* StoredKey::FindValue(std::string_view valueName) const {
    const auto it = values.find(FoldCase(valueName));
    return it == values.end() ? nullptr : &it->second;
}

void StoredKey::SetValue(std::string_view valueName, std::uint32_t type, std::vector<std::uint8_t> data) {
    auto [it, inserted] = values.try_emplace(FoldCase(valueName));
    if (inserted) it->second.name = std::string(valueName);
    it->second.type = type;
    it->second.data = std::move(data);
}

std::vector<std::string_view> SplitKeyPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

}  // namespace Platform::Registry::Detail
