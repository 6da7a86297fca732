#pragma once
#include <cstdint>

namespace Vec {

// The sum of len floats by the bound build's accurate path; 0.0 when the
// arguments are refused (null source, len below 1).
float SumF32(std::int32_t len, const float* src);

}  // namespace Vec
