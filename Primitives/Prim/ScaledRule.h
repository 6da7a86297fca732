#pragma once
#include <algorithm>
#include <cstdint>
#include <limits>

// The scale rule shared by both builds of the scaled integer operations: the
// ranges of scale each operation handles without arithmetic, and the exact
// result t scaled by 2^-k and saturated.
namespace Prim::ScaledRule {

// Above `zeroAbove` every result is 0 (|t| / 2^k is at most one half, a tie to
// even); at or below `signBelow` every non-zero t saturates.
struct Limits {
    std::int32_t zeroAbove;
    std::int32_t signBelow;
};
inline constexpr Limits SumS32{32, -31};
inline constexpr Limits SumS16{16, -16};
inline constexpr Limits ProductS16{30, -16};

template <class T>
T Saturate(std::int64_t v) {
    return static_cast<T>(std::clamp<std::int64_t>(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// t / 2^k rounded to nearest, ties to even, with a flooring shift: (t + 2^(k-1) - 1 + bit k of t) >> k.
inline std::int64_t RoundingShift(std::int64_t t, std::int32_t k) {
    return (t + (std::int64_t{1} << (k - 1)) - 1 + ((t >> k) & 1)) >> k;
}

// The sign saturation of the scales at or below signBelow.
template <class T>
T BySign(std::int64_t t) {
    return t > 0 ? std::numeric_limits<T>::max() : (t < 0 ? std::numeric_limits<T>::min() : T(0));
}

// The whole rule for one element; k between signBelow + 1 and zeroAbove.
template <class T>
T Scale(std::int64_t t, std::int32_t k) {
    if (k > 0) return Saturate<T>(RoundingShift(t, k));
    if (k == 0) return Saturate<T>(t);
    return Saturate<T>(t * (std::int64_t{1} << -k));  // |t| <= 2^32, -k <= 30
}

}  // namespace Prim::ScaledRule
