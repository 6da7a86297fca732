#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Memory.h>

#include <gtest/gtest.h>

namespace {

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
    // Bound before main: the memory slots and the block-memory group linked into this test.
    EXPECT_NE(Prim::VariantSlot(192), nullptr);
    EXPECT_NE(Prim::VariantSlot(195), nullptr);
    EXPECT_EQ(Prim::VariantSlot(163), reinterpret_cast<Prim::VariantAddress>(&Prim::CopyU8_x87));
}

TEST(Dispatch, EntryPointCalledBeforeItsBindingBindsTheSlot) {
    // As if a static initialiser elsewhere ran before this operation's binding.
    const Prim::VariantAddress saved = Prim::VariantTable[164 - Prim::FirstPair];
    Prim::VariantTable[164 - Prim::FirstPair] = nullptr;
    const auto build = Prim::BoundVariant<164>(&Prim::CopyS16_x87, &Prim::CopyS16_sse2);
    EXPECT_EQ(build, Prim::BoundBuild() == Prim::Build::Sse2 ? &Prim::CopyS16_sse2 : &Prim::CopyS16_x87);
    EXPECT_EQ(Prim::VariantSlot(164), saved);
    std::int16_t a[2] = {1, 2};
    std::int16_t b[2] = {};
    EXPECT_EQ(build(a, b, 2), Prim::StatusOk);
    EXPECT_EQ(b[1], 2);
}

}  // namespace
