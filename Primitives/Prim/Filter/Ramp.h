#pragma once
#include <Primitives/Prim/Status.h>

#include <cstdint>

// dst[i] = offset + slope * i. Checks: null dst -8, then len below 1 -6. The x87 build rounds
// the exact line once per element; the SSE2 build rounds i, the product and the sum to floats.
namespace Prim {

Status RampF32_x87(float* dst, std::int32_t len, float offset, float slope);
Status RampF32_sse2(float* dst, std::int32_t len, float offset, float slope);

}  // namespace Prim
