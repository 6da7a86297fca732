#pragma once
#include <Primitives/Prim/Cpu.h>
#include <Primitives/Prim/Operations.h>
#include <Primitives/Prim/Pairs.h>

#include <cstdint>

// Start-up binding of every public primitive operation to one of its builds.
//
// Each operation has a pair number (2..195, `Pair` in Pairs.h) naming its slot in
// VariantTable. Dispatch.cpp binds every slot before main, from the list, and defines the
// entry points the list marks, each calling through its slot:
//     Status CopyF32(const float* s, float* d, std::int32_t n)
//     { return BoundVariant<Pair::CopyF32>(&CopyF32_x87, &CopyF32_sse2)(s, d, n); }

namespace Prim {

using VariantAddress = void (*)();

inline constexpr int FirstPair = 2;
inline constexpr int LastPair = 195;
inline constexpr int VariantSlotCount = LastPair - FirstPair + 1;

// Zero in the program image; every slot is written by BindAllVariants before main.
extern VariantAddress VariantTable[VariantSlotCount];

enum class Build : std::uint8_t { X87 = 0, Sse2 = 1 };

// The binding table: the SSE2 builds for types 6 to 8, the x87 builds otherwise.
Build BuildForCpuType(CpuType type);

// This process's build, from the host processor classified once.
Build BoundBuild();

// Stores the bound build's operation in every slot. Runs once before main; running it
// again stores the same addresses.
void BindAllVariants();

// The address in the slot of `pair` (null while unbound or for a pair out of range).
VariantAddress VariantSlot(int pair);
inline VariantAddress VariantSlot(Pair pair) { return VariantSlot(static_cast<int>(pair)); }

template <class Fn>
Fn BindVariant(Pair pair, Fn x87, Fn sse2) {
    const Fn chosen = BoundBuild() == Build::Sse2 ? sse2 : x87;
    VariantTable[static_cast<int>(pair) - FirstPair] = reinterpret_cast<VariantAddress>(chosen);
    return chosen;
}

// The memory operations have one build, stored whatever the processor.
template <class Fn>
Fn BindSingleVariant(Pair pair, Fn only) {
    VariantTable[static_cast<int>(pair) - FirstPair] = reinterpret_cast<VariantAddress>(only);
    return only;
}

// The build bound to `Pair`. A call made before the start-up binding ran
// (from another file's static initialiser) binds the slot itself.
template <Pair P, class Fn>
inline Fn BoundVariant(Fn x87, Fn sse2) {
    constexpr int slot = static_cast<int>(P) - FirstPair;
    static_assert(slot >= 0 && slot < VariantSlotCount, "pair number out of range");
    const VariantAddress bound = VariantTable[slot];
    if (bound == nullptr) [[unlikely]] {
        return BindVariant(P, x87, sse2);
    }
    return reinterpret_cast<Fn>(bound);
}

template <Pair P, class Fn>
inline Fn BoundSingleVariant(Fn only) {
    constexpr int slot = static_cast<int>(P) - FirstPair;
    static_assert(slot >= 0 && slot < VariantSlotCount, "pair number out of range");
    const VariantAddress bound = VariantTable[slot];
    if (bound == nullptr) [[unlikely]] {
        return BindSingleVariant(P, only);
    }
    return reinterpret_cast<Fn>(bound);
}

}  // namespace Prim
