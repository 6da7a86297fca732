#pragma once
#include <Primitives/Prim/Operations.h>

#include <cstdint>

// Exponential and natural logarithm of float vectors. Both test len (-6)
// before the pointers (-8). The status is the warning of the last special
// element: exp 12 (overflow, from 88.72283935546875 up) or 17 (underflow:
// below -103.97207641601562 in the x87 build, below -87.33654022216797 in the
// SSE2 build); ln 18 (+-0, giving -inf) or 19 (negative or -inf, giving NaN).
// Each warned element also raises its floating-point exception flag, which
// stays raised after the call whatever the caller's rounding mode.
// The x87 builds are within a unit in the last place; the SSE2 builds use
// short single-precision polynomials for ordinary groups (relative error up to
// about 1.8e-4 for exp, absolute up to about 1.8e-5 for ln) and a double or
// x87 path for groups that hold special or extreme values.
// Listed in Operations.inc: ExpF32, LnF32.
namespace Prim {

// The length first, then the pointers, in both builds.
inline Status ExpLnCheck(const float* src, const float* dst, std::int32_t len) {
    if (len < 1) return StatusSizeError;
    return src == nullptr || dst == nullptr ? StatusNullPointer : StatusOk;
}

}  // namespace Prim
