#pragma once
#include <cstdint>

namespace Util {

// x mapped from [a, b] onto [c, d] in double precision and rounded half away from
// zero; c when a = b. The differences are taken after conversion to double, so a
// target range running downwards (d < c) or an x outside [a, b] maps as a line would.
std::int64_t MapRangeRounded(std::uint32_t x, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d);

}  // namespace Util
