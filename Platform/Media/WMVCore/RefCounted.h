#pragma once
#include <Platform/Media/MediaRuntime.h>

#include <atomic>
#include <cstdint>

namespace Platform::Media::Runtime {

// Reference counting of the runtime's objects: created with one reference, deleted by the
// last Release.
template <class Derived>
class RefCount {
public:
    uint32_t Add() { return ++m_count; }
    uint32_t Drop(Derived* self) {
        const uint32_t left = --m_count;
        if (left == 0) delete self;
        return left;
    }

private:
    std::atomic<uint32_t> m_count{1};
};

}  // namespace Platform::Media::Runtime
