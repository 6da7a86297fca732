#pragma once
#include <Primitives/Prim/Operations.h>

#include <cstddef>
#include <cstdint>

// ToneF32 (listed in Operations.inc): dst[n] = magnitude * cos(2 pi rFreq n + *phase), and
// *phase advanced by len samples so that consecutive calls continue one tone. Checks, in order: null phase -8, magnitude not above 0
// -46, rFreq outside [0, 0.5) -45, *phase outside [0, 2 pi) -44, null dst -8, len below 1 -6
// (a NaN fails its comparison). hint 1 selects the SSE2 build's block method; every other
// hint, and every hint in the x87 build, the double-precision recurrence.
namespace Prim {

// y[k] = c8 * y[k - 8] - y[k - 16] for k from `from` (at least 16) to `to` - 1, in single
// precision from the values already in y.
void ToneKernelF32_sse2(float* y, std::size_t from, std::size_t to, float c8);

}  // namespace Prim
