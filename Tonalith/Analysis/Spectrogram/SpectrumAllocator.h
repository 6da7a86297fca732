#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace UI {

// Allocates zero-filled memory and constructs elements without writing them, so that a
// vector of it resized to a spectrum's length is all zeros without a pass over it. Large
// blocks are fresh pages from the system, which come zero and are first touched by the
// analysis that fills them.
template <typename T>
class SpectrumAllocator {
public:
    using value_type = T;

    SpectrumAllocator() = default;
    template <typename U>
    SpectrumAllocator(const SpectrumAllocator<U>&) {}

    T* allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T)) throw std::bad_alloc();
#if defined(__linux__)
        if (IsLarge(n)) {
            void* p = mmap(nullptr, n * sizeof(T), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) throw std::bad_alloc();
            return static_cast<T*>(p);
        }
#endif
        void* p = std::calloc(n, sizeof(T));
        if (p == nullptr && n > 0) throw std::bad_alloc();
        return static_cast<T*>(p);
    }

    void deallocate(T* p, std::size_t n) noexcept {
#if defined(__linux__)
        if (IsLarge(n)) {
            munmap(p, n * sizeof(T));
            return;
        }
#endif
        std::free(p);
    }

    // Value-initialisation would write every element.
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    template <typename U>
    bool operator==(const SpectrumAllocator<U>&) const noexcept {
        return true;
    }

private:
    static bool IsLarge(std::size_t n) { return n * sizeof(T) >= (std::size_t(4) << 20); }
};

// One channel's spectrum: one byte per bin, column after column.
using SpectrogramSpectrum = std::vector<std::uint8_t, SpectrumAllocator<std::uint8_t>>;
// One spectrum per channel.
using SpectrogramSpectra = std::vector<SpectrogramSpectrum>;

}  // namespace UI
