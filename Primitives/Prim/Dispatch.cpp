#include <Primitives/Prim/Dispatch.h>

namespace Prim {

VariantAddress VariantTable[VariantSlotCount] = {};

namespace {

// The list runs from the first pair to the last without a gap or a repeat.
constexpr bool PairsInOrder() {
    for (int i = 0; i < VariantSlotCount; ++i) {
        if (ListedPairs[i] != FirstPair + i) return false;
    }
    return true;
}
static_assert(PairsInOrder(), "Operations.inc lists its pairs in order, without a gap or a repeat");

template <class Fn>
void Store(Pair pair, Fn build) {
    VariantTable[static_cast<int>(pair) - FirstPair] = reinterpret_cast<VariantAddress>(build);
}

}  // namespace

Build BuildForCpuType(CpuType type) {
    static constexpr std::uint8_t bindingTable[9] = {0, 0, 0, 0, 0, 0, 1, 1, 1};
    if (type >= 0 && type <= 8) {
        return bindingTable[type] != 0 ? Build::Sse2 : Build::X87;
    }
    return Build::X87;
}

Build BoundBuild() {
    static const Build build = BuildForCpuType(GetCpuType());
    return build;
}

void BindAllVariants() {
    const BuildOps& ops = BoundBuild() == Build::Sse2 ? Sse2Ops : X87Ops;
#define PRIM_OP(name, pair, result, params) Store(Pair::name, ops.name);
#include <Primitives/Prim/Operations.inc>
}

VariantAddress VariantSlot(int pair) {
    if (pair < FirstPair || pair > LastPair) {
        return nullptr;
    }
    return VariantTable[pair - FirstPair];
}

// The entry points: each calls the build in its slot.
#define PRIM_OP(name, pair, result, params)
#define PRIM_ENTRY(name, pair, result, params, args) \
    result name params { return BoundVariant<Pair::name>(&name##_x87, &name##_sse2) args; }
#define PRIM_SINGLE(name, pair, result, params, args) \
    result name params { return BoundSingleVariant<Pair::name>(&name##Direct) args; }
#include <Primitives/Prim/Operations.inc>

namespace {

// Every slot, entry point or not, is written before main. Nothing here depends on another
// file's initialiser: an entry point called earlier binds its own slot.
[[maybe_unused]] const bool variantsBound = (BindAllVariants(), true);

}  // namespace

}  // namespace Prim
