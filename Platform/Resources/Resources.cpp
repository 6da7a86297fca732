#include <Platform/Resources/Resources.h>

// The linker brackets the records of every linked resource with these symbols; they are
// weak so that a program without resources links too (both are then null).
extern "C" {
extern const Platform::Resources::LinkedRecord __start_tonalith_res[] __attribute__((weak));
extern const Platform::Resources::LinkedRecord __stop_tonalith_res[] __attribute__((weak));
}

namespace Platform::Resources {

Module Module::Program() { return Module(__start_tonalith_res, __stop_tonalith_res); }

bool Module::Find(std::string_view name, std::string_view type, Resource& out) const {
    out = Resource{};
    const auto* first = static_cast<const LinkedRecord*>(first_);
    const auto* last = static_cast<const LinkedRecord*>(last_);
    if (!first || !last) return false;
    for (const LinkedRecord* record = first; record < last; ++record) {
        if (record->name && record->type && name == record->name && type == record->type) {
            out.data = record->data;
            out.size = static_cast<std::size_t>(record->size);
            return true;
        }
    }
    return false;
}

}  // namespace Platform::Resources
