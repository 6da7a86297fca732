#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Platform::Resources {

// Resources are linked into an executable at build time (see cmake/TonalithResources.cmake)
// and found at run time by name and type. Names and types compare exactly.

struct Resource {
    const void* data = nullptr;  // read-only; lives as long as the program
    std::size_t size = 0;
};

// One linked image's set of resources (on this platform: the program itself).
class Module {
public:
    // The executable this code is linked into.
    static Module Program();

    // False, leaving `out` empty, when the module has no resource of that name and type.
    bool Find(std::string_view name, std::string_view type, Resource& out) const;

    bool operator==(const Module&) const = default;

private:
    Module(const void* first, const void* last) : first_(first), last_(last) {}
    const void* first_;
    const void* last_;
};

// The record the link step places, one per resource, in the section "tonalith_res";
// written in assembly by the build, so its layout is fixed: four 64-bit words.
struct LinkedRecord {
    const char* type;
    const char* name;
    const unsigned char* data;
    std::uint64_t size;
};
static_assert(sizeof(LinkedRecord) == 32 && sizeof(void*) == 8, "the link step writes 64-bit records");

}  // namespace Platform::Resources
