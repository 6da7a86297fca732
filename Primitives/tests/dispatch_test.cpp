#include <Primitives/Prim/Arith.h>
#include <Primitives/Prim/Convert.h>
#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Image.h>
#include <Primitives/Prim/Interleave.h>
#include <Primitives/Prim/Memory.h>
#include <Primitives/Prim/Sum.h>
#include <Primitives/Prim/Window.h>

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

// Every operation built so far sits in the slot of its own pair number, with
// the build the processor's type selects.
TEST(Dispatch, EveryBuiltOperationSitsInItsPairsSlot) {
    struct Slot {
        int pair;
        Prim::VariantAddress x87;
        Prim::VariantAddress sse2;
    };
#define SLOT(pair, op)                                                 \
    Slot {                                                             \
        pair, reinterpret_cast<Prim::VariantAddress>(&Prim::op##_x87), \
            reinterpret_cast<Prim::VariantAddress>(&Prim::op##_sse2)   \
    }
    const Slot slots[] = {
        SLOT(2, AddConstInPlaceF32),
        SLOT(3, AddConstInPlaceF64),
        SLOT(5, AddInPlaceF32),
        SLOT(6, AddInPlaceF64),
        SLOT(8, AddConstF32),
        SLOT(10, AddF32),
        SLOT(11, AddF64),
        SLOT(12, AddProductF32),
        SLOT(13, SubConstInPlaceF32),
        SLOT(14, SubConstInPlaceF64),
        SLOT(15, SubConstRevInPlaceF32),
        SLOT(16, SubConstRevInPlaceF64),
        SLOT(17, SubInPlaceF32),
        SLOT(18, SubInPlaceF64),
        SLOT(19, MulConstInPlaceF32),
        SLOT(20, MulConstInPlaceF64),
        SLOT(22, MulConstF32),
        SLOT(23, MulConstF64),
        SLOT(24, MulInPlaceF32),
        SLOT(25, MulInPlaceF64),
        SLOT(28, MulF32),
        SLOT(40, InterleaveS16),
        SLOT(41, InterleaveF32),
        SLOT(42, DeinterleaveS16),
        SLOT(43, DeinterleaveF32),
        SLOT(48, SumF32),
        SLOT(85, WinBartlettF32),
        SLOT(86, WinHannF32),
        SLOT(87, WinHammingF32),
        SLOT(88, WinBlackmanF32),
        SLOT(89, WinKaiserF32),
        SLOT(90, WinKaiserF64),
        SLOT(132, ImageSetU8C4),
        SLOT(133, ImageAddConstU8C4),
        SLOT(134, ImagePremulAlphaU8C4),
        SLOT(163, CopyU8),
        SLOT(164, CopyS16),
        SLOT(165, CopyF32),
        SLOT(166, CopyF64),
        SLOT(167, MoveU8),
        SLOT(168, MoveS16),
        SLOT(169, MoveF32),
        SLOT(170, MoveF64),
        SLOT(171, SetU8),
        SLOT(172, SetS16),
        SLOT(173, SetS32),
        SLOT(174, SetF32),
        SLOT(175, SetF64),
        SLOT(176, ZeroU8),
        SLOT(177, ZeroS16),
        SLOT(178, ZeroF32),
        SLOT(179, ZeroF64),
        SLOT(180, ConvertU8ToF32),
        SLOT(181, ConvertS16ToF32),
        SLOT(182, ConvertS16ToF64),
        SLOT(183, ConvertS32ToF32),
        SLOT(184, ConvertS32ToF64),
        SLOT(185, ConvertF32ToU8),
        SLOT(186, ConvertF32ToS16),
        SLOT(187, ConvertF32ToS32),
        SLOT(188, ConvertF64ToS32),
        SLOT(189, ConvertF32ToF64),
        SLOT(190, ConvertF64ToF32),
    };
#undef SLOT
    const bool sse2 = Prim::BoundBuild() == Prim::Build::Sse2;
    for (const Slot& slot : slots) {
        EXPECT_NE(slot.x87, slot.sse2) << slot.pair;
        EXPECT_EQ(Prim::VariantSlot(slot.pair), sse2 ? slot.sse2 : slot.x87) << "pair " << slot.pair;
    }
    // The memory operations have one build, whatever the processor.
    EXPECT_EQ(Prim::VariantSlot(192), reinterpret_cast<Prim::VariantAddress>(&Prim::AllocU8Direct));
    EXPECT_EQ(Prim::VariantSlot(193), reinterpret_cast<Prim::VariantAddress>(&Prim::AllocF32Direct));
    EXPECT_EQ(Prim::VariantSlot(194), reinterpret_cast<Prim::VariantAddress>(&Prim::AllocF64Direct));
    EXPECT_EQ(Prim::VariantSlot(195), reinterpret_cast<Prim::VariantAddress>(&Prim::FreeDirect));
}

}  // namespace
