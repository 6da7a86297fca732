#pragma once
#include <Primitives/Prim/Status.h>

#include <cmath>
#include <cstdint>

// The checks every element-wise operation makes before touching data.
namespace Prim::ArithCheck {

template <class... Pointers>
inline Status Vectors(std::int32_t len, const Pointers*... pointers) {
    if (((pointers == nullptr) || ...)) {
        return StatusNullPointer;
    }
    return len < 1 ? StatusSizeError : StatusOk;
}

// A special constant also matches when unordered, so a NaN constant is an identity.
template <class T>
inline bool MatchesConstant(T value, T special) {
    return value == special || std::isnan(value);
}

}  // namespace Prim::ArithCheck
