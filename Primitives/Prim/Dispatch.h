#pragma once
#include <Primitives/Prim/Cpu.h>
#include <Primitives/Prim/Operations.h>
#include <Primitives/Prim/Pairs.h>

#include <cstdint>
#include <iterator>

// Start-up binding of every public primitive operation to one of its builds.
//
// Which build runs: the processor is classified once (GetCpuType in Cpu.cpp), and the
// `_sse2` builds are bound only on the types the binding table of BuildForCpuType
// (Dispatch.cpp) names, 6 to 8: Intel family-15 processors with SSE2 that do not report both
// SSE3 and the 64-bit extension. Every current processor therefore runs the `_x87` builds,
// portable C++ whose double FFT chooses its own vector copy (two lanes, or four on processors
// with AVX) on its first transform (FftPassesX87.cpp). The `_sse2` builds run on those older
// processors and in the tests and benchmarks, which call both builds side by side through
// X87Ops and Sse2Ops (Operations.h).
//
// Each operation has a pair number (`Pair` in Pairs.h, from the list in Operations.inc)
// naming its slot in VariantTable. Dispatch.cpp binds every slot before main, from the
// list, and defines the entry points the list marks, each calling through its slot:
//     Status CopyF32(const float* s, float* d, std::int32_t n)
//     { return BoundVariant<Pair::CopyF32>(&CopyF32_x87, &CopyF32_sse2)(s, d, n); }

namespace Prim {

using VariantAddress = void (*)();

// The pair numbers as the list gives them: one slot each, from the first to the last.
inline constexpr int ListedPairs[] = {
#define PRIM_OP(name, pair, result, params) pair,
#include <Primitives/Prim/Operations.inc>
};
inline constexpr int VariantSlotCount = int(std::size(ListedPairs));
inline constexpr int FirstPair = ListedPairs[0];
inline constexpr int LastPair = FirstPair + VariantSlotCount - 1;

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
