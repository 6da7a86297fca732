#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/Dispatch.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <type_traits>

namespace {

Prim::VariantAddress& Slot(Prim::Pair pair) { return Prim::VariantTable[int(pair) - Prim::FirstPair]; }

template <class Fn>
Prim::VariantAddress Address(Fn fn) {
    return reinterpret_cast<Prim::VariantAddress>(fn);
}

// Stands in a slot and counts the calls that reach it.
template <class R, class... A>
struct Probe {
    static inline int calls = 0;
    static R Call(A...) {
        ++calls;
        if constexpr (!std::is_void_v<R>) return R{};
    }
};

// Calls the entry point with empty arguments while the probe holds its slot.
template <class R, class... A>
int CallsThroughSlot(Prim::Pair pair, R (*entry)(A...)) {
    const Prim::VariantAddress saved = Slot(pair);
    Slot(pair) = Address(&Probe<R, A...>::Call);
    const int before = Probe<R, A...>::calls;
    entry(A{}...);
    Slot(pair) = saved;
    return Probe<R, A...>::calls - before;
}

TEST(Dispatch, BindingTableSelectsSse2OnlyForTypesSixToEight) {
    for (Prim::CpuType type = -3; type <= 40; ++type) {
        const Prim::Build expected = (type >= 6 && type <= 8) ? Prim::Build::Sse2 : Prim::Build::X87;
        EXPECT_EQ(Prim::BuildForCpuType(type), expected) << type;
    }
}

TEST(Dispatch, TableHasOneSlotPerPair) {
    EXPECT_EQ(Prim::VariantSlotCount, 194);
    EXPECT_EQ(Prim::VariantSlot(1), nullptr);
    EXPECT_EQ(Prim::VariantSlot(196), nullptr);
    EXPECT_EQ(Prim::VariantSlot(-5), nullptr);
}

// Every listed operation sits in the slot of its own pair number, with the build the
// processor's type selects; the memory operations with their one build on every processor.
TEST(Dispatch, EveryOperationSitsInItsPairsSlot) {
    const bool sse2 = Prim::BoundBuild() == Prim::Build::Sse2;
    int listed = 0;
#define PRIM_OP(name, pair, result, params)                                      \
    ++listed;                                                                    \
    EXPECT_EQ(int(Prim::Pair::name), pair);                                      \
    EXPECT_NE(Address(&Prim::name##_x87), Address(&Prim::name##_sse2)) << #name; \
    EXPECT_EQ(Prim::VariantSlot(pair), Address(sse2 ? &Prim::name##_sse2 : &Prim::name##_x87)) << #name;
#define PRIM_SINGLE(name, pair, result, params, args) \
    ++listed;                                         \
    EXPECT_EQ(int(Prim::Pair::name), pair);           \
    EXPECT_EQ(Prim::VariantSlot(pair), Address(&Prim::name##Direct)) << #name;
#include <Primitives/Prim/Operations.inc>
    EXPECT_EQ(listed, Prim::VariantSlotCount);
}

TEST(Dispatch, BindingAllSlotsAgainStoresTheSameBuilds) {
    Prim::VariantAddress saved[Prim::VariantSlotCount];
    std::copy(std::begin(Prim::VariantTable), std::end(Prim::VariantTable), saved);
    std::fill(std::begin(Prim::VariantTable), std::end(Prim::VariantTable), nullptr);
    Prim::BindAllVariants();
    EXPECT_TRUE(std::equal(std::begin(saved), std::end(saved), std::begin(Prim::VariantTable)));
}

// Each entry point calls whatever its own slot holds.
TEST(Dispatch, EveryEntryPointCallsThroughItsSlot) {
#define PRIM_OP(name, pair, result, params)
#define PRIM_ENTRY(name, pair, result, params, args) \
    EXPECT_EQ(CallsThroughSlot(Prim::Pair::name, &Prim::name), 1) << #name;
#define PRIM_SINGLE PRIM_ENTRY
#include <Primitives/Prim/Operations.inc>
}

TEST(Dispatch, EntryPointCalledBeforeItsBindingBindsTheSlot) {
    // As if a static initialiser elsewhere ran before the start-up binding.
    const Prim::VariantAddress saved = Slot(Prim::Pair::CopyF32);
    Slot(Prim::Pair::CopyF32) = nullptr;
    const float a[2] = {1, 2};
    float b[2] = {};
    EXPECT_EQ(Prim::CopyF32(a, b, 2), Prim::StatusOk);
    EXPECT_EQ(b[1], 2);
    EXPECT_EQ(Prim::VariantSlot(Prim::Pair::CopyF32), saved);
}

}  // namespace
