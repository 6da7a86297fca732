#pragma once
// Element-wise arithmetic on real float vectors, in both builds. The x87 builds
// compute every element in double precision, the SSE2 builds in the element
// type; both round each result to the element type, so they agree bit for bit
// except for AddProductF32, whose x87 build rounds only once.
// A constant equal to 0 (adding, subtracting) or 1 (multiplying) skips the
// arithmetic, as does a NaN constant; multiplying by 0 clears to +0.0.
// Listed in Operations.inc: AddConstInPlaceF32, AddConstInPlaceF64, AddInPlaceF32, AddInPlaceF64,
//    AddConstF32, AddF32, AddF64, AddProductF32, SubConstInPlaceF32, SubConstInPlaceF64,
//    SubConstRevInPlaceF32, SubConstRevInPlaceF64, SubInPlaceF32, SubInPlaceF64,
//    MulConstInPlaceF32, MulConstInPlaceF64, MulConstF32, MulConstF64, MulInPlaceF32,
//    MulInPlaceF64, MulF32.
#include <Primitives/Prim/Operations.h>
