#pragma once
#include <Primitives/Prim/Cpu.h>

#include <cstdint>

// Start-up binding of every public primitive operation to one of its builds.
//
// Each operation has a pair number (2..195) naming its slot in VariantTable.
// The operation's own source file binds its slot with
//     PRIM_BIND_VARIANT(165, CopyF32)          // Prim::CopyF32_x87 / Prim::CopyF32_sse2
//     PRIM_BIND_SINGLE_VARIANT(192, AllocU8, AllocU8Direct)
// and, when the program calls it, defines its entry point as
//     Status CopyF32(const float* s, float* d, std::int32_t n)
//     { return BoundVariant<165>(&CopyF32_x87, &CopyF32_sse2)(s, d, n); }
// A slot whose operation is not built stays null.

namespace Prim {

using VariantAddress = void (*)();

inline constexpr int FirstPair = 2;
inline constexpr int LastPair = 195;
inline constexpr int VariantSlotCount = LastPair - FirstPair + 1;

// Zero in the program image; each slot is written once by its binding, before main.
extern VariantAddress VariantTable[VariantSlotCount];

enum class Build : std::uint8_t { X87 = 0, Sse2 = 1 };

// The binding table: the SSE2 builds for types 6 to 8, the x87 builds otherwise.
Build BuildForCpuType(CpuType type);

// This process's build, from the host processor classified once.
Build BoundBuild();

// The address in the slot of `pair` (null while unbound or for a pair out of range).
VariantAddress VariantSlot(int pair);

template <class Fn>
Fn BindVariant(int pair, Fn x87, Fn sse2) {
    const Fn chosen = BoundBuild() == Build::Sse2 ? sse2 : x87;
    VariantTable[pair - FirstPair] = reinterpret_cast<VariantAddress>(chosen);
    return chosen;
}

// The memory operations have one build, stored whatever the processor.
template <class Fn>
Fn BindSingleVariant(int pair, Fn only) {
    VariantTable[pair - FirstPair] = reinterpret_cast<VariantAddress>(only);
    return only;
}

// The build bound to `Pair`. A call made before the start-up binding ran
// (from another file's static initialiser) binds the slot itself.
template <int Pair, class Fn>
inline Fn BoundVariant(Fn x87, Fn sse2) {
    static_assert(Pair >= FirstPair && Pair <= LastPair, "pair number out of range");
    const VariantAddress bound = VariantTable[Pair - FirstPair];
    if (bound == nullptr) [[unlikely]] {
        return BindVariant(Pair, x87, sse2);
    }
    return reinterpret_cast<Fn>(bound);
}

template <int Pair, class Fn>
inline Fn BoundSingleVariant(Fn only) {
    static_assert(Pair >= FirstPair && Pair <= LastPair, "pair number out of range");
    const VariantAddress bound = VariantTable[Pair - FirstPair];
    if (bound == nullptr) [[unlikely]] {
        return BindSingleVariant(Pair, only);
    }
    return reinterpret_cast<Fn>(bound);
}

}  // namespace Prim

#define PRIM_BIND_VARIANT(pair, op)                                         \
    namespace {                                                             \
    [[maybe_unused]] const auto op##VariantBinding =                        \
        ::Prim::BindVariant((pair), &::Prim::op##_x87, &::Prim::op##_sse2); \
    }

#define PRIM_BIND_SINGLE_VARIANT(pair, op, build)                                                       \
    namespace {                                                                                         \
    [[maybe_unused]] const auto op##VariantBinding = ::Prim::BindSingleVariant((pair), &::Prim::build); \
    }
