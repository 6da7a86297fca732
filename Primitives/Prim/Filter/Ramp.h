#pragma once
// RampF32 (listed in Operations.inc): dst[i] = offset + slope * i. Checks: null dst -8, then len
// below 1 -6. The x87 build rounds the exact line once per element; the SSE2 build rounds i, the
// product and the sum to floats.
#include <Primitives/Prim/Operations.h>
