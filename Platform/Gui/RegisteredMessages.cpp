#include <Platform/Gui/RegisteredMessages.h>

#include <map>
#include <mutex>
#include <string>

namespace Platform::Gui {

unsigned RegisterMessage(std::string_view name) {
    if (name.empty()) return 0;
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');

    static std::mutex lock;
    static std::map<std::string, unsigned> ids;
    std::lock_guard guard(lock);
    if (auto it = ids.find(key); it != ids.end()) return it->second;
    const unsigned id = FirstRegisteredMessage + unsigned(ids.size());
    if (id > LastRegisteredMessage) return 0;
    ids.emplace(std::move(key), id);
    return id;
}

}  // namespace Platform::Gui
