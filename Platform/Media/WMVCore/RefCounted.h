#pragma once
#include <Platform/Media/MediaRuntime.h>

#include <atomic>
#include <cstdint>
#include <new>
#include <utility>

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

// A new object, or null when memory ran out: no exception leaves the runtime. Made by the
// ordinary operator new, the one every Release's delete pairs with.
template <class T, class... Args>
T* Make(Args&&... args) {
    try {
        return new T(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace Platform::Media::Runtime
