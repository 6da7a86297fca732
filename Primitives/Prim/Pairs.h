#pragma once
// The pair number of every operation, from Operations.inc: its slot in VariantTable and the
// order of its binding.

namespace Prim {

enum class Pair : int {
#define PRIM_OP(name, pair, result, params) name = pair,
#include <Primitives/Prim/Operations.inc>
};

}  // namespace Prim
