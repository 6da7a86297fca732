#include <Primitives/Prim/ProcessorState.h>

#include <gtest/gtest.h>

namespace {

TEST(ProcessorState, MxcsrBitsAreSetAndRestored) {
    const std::uint32_t original = Prim::GetMxcsr();
    // Rounding field (bits 13-14) to toward zero.
    const std::uint32_t former = Prim::SetMxcsrBits(0x6000, 0x6000);
    EXPECT_EQ(former, original);
    EXPECT_EQ(Prim::GetMxcsr() & 0x6000U, 0x6000U);
    EXPECT_EQ(Prim::GetMxcsr() & ~0x6000U & 0xFFC0U, original & ~0x6000U & 0xFFC0U);  // other control bits kept
    const std::uint32_t changed = Prim::SetDefaultMxcsr();
    EXPECT_EQ(changed & 0x6000U, 0x6000U);
    EXPECT_EQ(Prim::GetMxcsr() & 0xFFC0U, Prim::DefaultMxcsr);
    Prim::SetMxcsrBits(original, 0xFFFFFFFFU);
    EXPECT_EQ(Prim::GetMxcsr(), original);
}

TEST(ProcessorState, X87ControlAndStatusWords) {
    const std::uint16_t original = Prim::GetX87ControlWord();
    // Precision control (bits 8-9) to single precision, then back.
    EXPECT_EQ(Prim::SetX87ControlBits(0x0000, 0x0300), original);
    EXPECT_EQ(Prim::GetX87ControlWord() & 0x0300, 0);
    EXPECT_EQ(Prim::GetX87ControlWord() & ~0x0300 & 0xFFFF, original & ~0x0300 & 0xFFFF);
    Prim::SetX87ControlBits(original, 0xFFFF);
    EXPECT_EQ(Prim::GetX87ControlWord(), original);

    Prim::GetClearX87StatusWord();
    volatile long double one = 1.0L;
    volatile long double zero = 0.0L;
    volatile long double quotient = one / zero;  // raises the x87 zero-divide flag (bit 2)
    (void)quotient;
    EXPECT_NE(Prim::GetX87StatusWord() & 0x4, 0);
    EXPECT_NE(Prim::GetClearX87StatusWord() & 0x4, 0);
    EXPECT_EQ(Prim::GetX87StatusWord() & 0x3F, 0);
}

TEST(ProcessorState, DenormalsAreZeroAndTimeStampCounter) {
    const std::int32_t daz = Prim::IsDazSupported();
    EXPECT_TRUE(daz == 0 || daz == 1);
    const std::uint64_t first = Prim::ReadTimeStampCounter();
    const std::uint64_t second = Prim::ReadTimeStampCounter();
    EXPECT_GE(second, first);
}

}  // namespace
