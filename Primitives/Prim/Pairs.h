#pragma once
// The pair number of every operation, from Operations.inc: its slot in VariantTable and the
// order of its binding. Kept apart from Operations.h, which every build includes: the SSE2
// FFT kernels have a lane type of their own named Pair.

namespace Prim {

enum class Pair : int {
#define PRIM_OP(name, pair, result, params) name = pair,
#include <Primitives/Prim/Operations.inc>
};

}  // namespace Prim
