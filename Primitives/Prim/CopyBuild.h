#pragma once
#include <Primitives/Prim/Status.h>

#include <cstddef>
#include <cstdint>

// The checks and byte counts shared by both builds of copy, move, set and zero;
// Kernels supplies the build's byte kernels.

namespace Prim {

template <class Kernels>
struct CopyBuild {
    template <class T>
    static Status Copy(const T* src, T* dst, std::int32_t len) {
        if (src == nullptr || dst == nullptr) return StatusNullPointer;
        if (len < 1) return StatusSizeError;
        Kernels::Copy(src, dst, Bytes<T>(len));
        return StatusOk;
    }

    // The direction follows the byte distance, so a source less than one element
    // away still moves correctly.
    template <class T>
    static Status Move(const T* src, T* dst, std::int32_t len) {
        if (src == nullptr || dst == nullptr) return StatusNullPointer;
        if (len < 1) return StatusSizeError;
        if (static_cast<const void*>(src) != static_cast<const void*>(dst)) {
            Kernels::Move(src, dst, Bytes<T>(len));
        }
        return StatusOk;
    }

    template <class T>
    static Status Set(T value, T* dst, std::int32_t len) {
        if (dst == nullptr) return StatusNullPointer;
        if (len < 1) return StatusSizeError;
        Kernels::Fill(&value, sizeof(T), dst, static_cast<std::size_t>(len));
        return StatusOk;
    }

    template <class T>
    static Status Zero(T* dst, std::int32_t len) {
        if (dst == nullptr) return StatusNullPointer;
        if (len < 1) return StatusSizeError;
        Kernels::Zero(dst, Bytes<T>(len));
        return StatusOk;
    }

    template <class T>
    static std::size_t Bytes(std::int32_t len) {
        return static_cast<std::size_t>(len) * sizeof(T);
    }
};

}  // namespace Prim
