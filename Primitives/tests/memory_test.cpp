#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Memory.h>
#include <Primitives/Vec/Memory.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool Aligned(const void* p) { return (reinterpret_cast<std::uintptr_t>(p) & 31U) == 0; }

TEST(Memory, BlocksAreAlignedInsideTheirRawArea) {
    for (std::int32_t n : {1, 2, 31, 32, 33, 1000, 65537}) {
        std::uint8_t* b = Prim::AllocU8(n);
        ASSERT_NE(b, nullptr) << n;
        EXPECT_TRUE(Aligned(b)) << n;
        const auto raw = reinterpret_cast<std::uintptr_t>(Prim::AllocRawAddress(b));
        const auto block = reinterpret_cast<std::uintptr_t>(b);
        EXPECT_GE(block, raw + sizeof(void*)) << n;
        EXPECT_LE(block, raw + sizeof(void*) + 31) << n;
        std::memset(b, 0xA5, static_cast<std::size_t>(n));  // the whole block is usable
        Prim::Free(b);

        float* f = Prim::AllocF32(n);
        double* d = Prim::AllocF64(n);
        ASSERT_NE(f, nullptr);
        ASSERT_NE(d, nullptr);
        EXPECT_TRUE(Aligned(f));
        EXPECT_TRUE(Aligned(d));
        for (std::int32_t i = 0; i < n; ++i) {
            f[i] = 1.0f;
            d[i] = 2.0;
        }
        Prim::Free(f);
        Prim::Free(d);
    }
}

TEST(Memory, RefusesEmptyAndOversizedCounts) {
    EXPECT_EQ(Prim::AllocU8(0), nullptr);
    EXPECT_EQ(Prim::AllocU8(-1), nullptr);
    EXPECT_EQ(Prim::AllocF32(INT32_MIN), nullptr);
    EXPECT_EQ(Prim::AllocF64(0), nullptr);
    // Byte counts beyond 2^31 - 1 would have wrapped in 32 bits; they are refused.
    EXPECT_EQ(Prim::AllocF32(0x20000000), nullptr);
    EXPECT_EQ(Prim::AllocF32(INT32_MAX), nullptr);
    EXPECT_EQ(Prim::AllocF64(0x10000000), nullptr);
    EXPECT_EQ(Prim::AllocF64(0x20000005), nullptr);  // 8n + 36 wraps to a tiny count in 32 bits
    EXPECT_EQ(Vec::AllocF64(INT32_MAX), nullptr);
    Prim::Free(nullptr);
    Vec::Free(nullptr);
}

TEST(Memory, VecGoesThroughTheSameBlocks) {
    float* f = Vec::AllocF32(100);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(Aligned(f));
    Vec::Free(f);
    double* d = Vec::AllocF64(3);
    ASSERT_NE(d, nullptr);
    Prim::FreeDirect(d);
}

}  // namespace
