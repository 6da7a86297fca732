#include <QvBase/Util/MapRangeRounded.h>

#include <cmath>

namespace Util {

std::int64_t MapRangeRounded(std::uint32_t x, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    if (a == b) return c;
    const double v = static_cast<double>(c) +
        (static_cast<double>(x) - static_cast<double>(a)) / (static_cast<double>(b) - static_cast<double>(a)) *
            (static_cast<double>(d) - static_cast<double>(c));
    const double rounded = std::trunc(v < 0.0 ? v - 0.5 : v + 0.5);
    // An x far outside [a, b] can leave the 64-bit range: saturate.
    constexpr double kLimit = 9223372036854775807.0;
    if (rounded >= kLimit) return INT64_MAX;
    if (rounded <= -kLimit) return INT64_MIN;
    return static_cast<std::int64_t>(rounded);
}

}  // namespace Util
