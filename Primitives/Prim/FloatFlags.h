#pragma once
#include <cfloat>

// Raises one floating-point exception flag by doing the double operation that
// raises it; with the default masked exceptions only the sticky flag is set.
// The operands are read through volatile so that nothing is folded away.
namespace Prim::FloatFlags {

inline void RaiseOverflow() {
    volatile double big = DBL_MAX;
    volatile double result = big * big;
    (void)result;
}
inline void RaiseUnderflow() {
    volatile double tiny = DBL_MIN;
    volatile double result = tiny * tiny;
    (void)result;
}
inline void RaiseDivideByZero() {
    volatile double zero = 0.0;
    volatile double result = 1.0 / zero;
    (void)result;
}
inline void RaiseInvalid() {
    volatile double zero = 0.0;
    volatile double result = zero / zero;
    (void)result;
}

}  // namespace Prim::FloatFlags
