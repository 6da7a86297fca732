#pragma once
// Conversions between sample formats. Integer to float scales by 2^-scale
// (scale clamped to a range that keeps the factor a normal number); float to
// integer scales by 2^-scale, saturates and rounds per the rounding mode
// (RoundMode, declared with the operations). NaN inputs give the build's own
// values: see the tests.
// Listed in Operations.inc: ConvertU8ToF32, ConvertS16ToF32, ConvertS16ToF64, ConvertS32ToF32,
//    ConvertS32ToF64, ConvertF32ToU8, ConvertF32ToS16, ConvertF32ToS32, ConvertF64ToS32,
//    ConvertF32ToF64, ConvertF64ToF32.
#include <Primitives/Prim/Operations.h>

namespace Prim {

inline constexpr RoundMode RoundModeZero = 0;
inline constexpr RoundMode RoundModeNearest = 1;

}  // namespace Prim
