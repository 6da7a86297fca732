#include <Primitives/Prim/Dispatch.h>

namespace Prim {

VariantAddress VariantTable[VariantSlotCount] = {};

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

VariantAddress VariantSlot(int pair) {
    if (pair < FirstPair || pair > LastPair) {
        return nullptr;
    }
    return VariantTable[pair - FirstPair];
}

}  // namespace Prim
