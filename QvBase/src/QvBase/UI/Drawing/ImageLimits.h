#pragma once
#include <cstdint>
#include <limits>

namespace UI {

// The largest picture whose bytes a 32-bit length can still count (the vector
// operations take 32-bit lengths); sizes read from files are checked against it.
inline bool FitsImageLimits(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width * height <= std::numeric_limits<std::int32_t>::max() / 4;
}

}  // namespace UI
