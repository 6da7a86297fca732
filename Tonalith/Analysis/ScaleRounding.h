#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

namespace UI {

// Float-to-integer conversions of the scales. Out-of-range values saturate and NaN
// gives 0, so degenerate ranges never reach an undefined conversion.
template <class Int, class Real>
Int SaturateToInt(Real v) {
    if (!(v == v)) return 0;
    if (v <= static_cast<Real>(std::numeric_limits<Int>::min())) return std::numeric_limits<Int>::min();
    if (v >= static_cast<Real>(std::numeric_limits<Int>::max())) return std::numeric_limits<Int>::max();
    return static_cast<Int>(v);
}

// Toward zero.
template <class Real>
int TruncToInt(Real v) {
    return SaturateToInt<int>(std::trunc(v));
}

// Nearest, ties to even.
template <class Real>
int RoundEvenToInt(Real v) {
    return SaturateToInt<int>(std::nearbyint(v));
}

// a + b without wrapping.
inline int AddSaturated(int a, int b) {
    const std::int64_t sum = static_cast<std::int64_t>(a) + b;
    if (sum < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    if (sum > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(sum);
}

// Half away from zero by adding or subtracting 0.5 and truncating.
template <class Int = std::int64_t>
Int RoundHalfAway(double v) {
    return SaturateToInt<Int>(std::trunc(v < 0.0 ? v - 0.5 : v + 0.5));
}

}  // namespace UI
