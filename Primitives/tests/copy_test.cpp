#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Vec/Copy.h>

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>
#include <numeric>
#include <vector>

namespace {

using Prim::Status;

template <class T>
struct Builds {
    Status (*copy)(const T*, T*, std::int32_t);
    Status (*move)(const T*, T*, std::int32_t);
    Status (*set)(T, T*, std::int32_t);
    Status (*zero)(T*, std::int32_t);
};

template <class T>
std::vector<Builds<T>> BuildsOf();

#define BUILDS(T, S)                                                                                      \
    template <>                                                                                           \
    std::vector<Builds<T>> BuildsOf<T>() {                                                                \
        return {{&Prim::Copy##S##_x87, &Prim::Move##S##_x87, &Prim::Set##S##_x87, &Prim::Zero##S##_x87},  \
            {&Prim::Copy##S##_sse2, &Prim::Move##S##_sse2, &Prim::Set##S##_sse2, &Prim::Zero##S##_sse2}}; \
    }
BUILDS(std::uint8_t, U8)
BUILDS(std::int16_t, S16)
BUILDS(float, F32)
BUILDS(double, F64)
#undef BUILDS

std::vector<unsigned char> Pattern(std::size_t n, unsigned seed) {
    std::vector<unsigned char> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<unsigned char>((i * 131 + seed * 7 + (i >> 8)) & 0xFF);
    return v;
}

template <class T>
class CopyOf : public testing::Test {};
using ElementTypes = testing::Types<std::uint8_t, std::int16_t, float, double>;
TYPED_TEST_SUITE(CopyOf, ElementTypes);

TYPED_TEST(CopyOf, ChecksPointersThenLength) {
    using T = TypeParam;
    for (const Builds<T>& b : BuildsOf<T>()) {
        T a[4] = {};
        T c[4] = {};
        std::memset(c, 0x5A, sizeof c);
        const std::vector<unsigned char> before(
            reinterpret_cast<unsigned char*>(c), reinterpret_cast<unsigned char*>(c) + sizeof c);
        EXPECT_EQ(b.copy(nullptr, c, 4), Prim::StatusNullPointer);
        EXPECT_EQ(b.copy(a, nullptr, 0), Prim::StatusNullPointer);  // the pointer test comes first
        EXPECT_EQ(b.copy(a, c, 0), Prim::StatusSizeError);
        EXPECT_EQ(b.copy(a, c, -3), Prim::StatusSizeError);
        EXPECT_EQ(b.move(a, nullptr, 4), Prim::StatusNullPointer);
        EXPECT_EQ(b.move(nullptr, c, -1), Prim::StatusNullPointer);
        EXPECT_EQ(b.move(a, c, 0), Prim::StatusSizeError);
        EXPECT_EQ(b.set(T{1}, nullptr, 4), Prim::StatusNullPointer);
        EXPECT_EQ(b.set(T{1}, nullptr, 0), Prim::StatusNullPointer);
        EXPECT_EQ(b.set(T{1}, c, -5), Prim::StatusSizeError);
        EXPECT_EQ(b.zero(nullptr, 4), Prim::StatusNullPointer);
        EXPECT_EQ(b.zero(c, 0), Prim::StatusSizeError);
        EXPECT_EQ(std::memcmp(c, before.data(), sizeof c), 0) << "an error wrote data";
        // A move onto itself is a success that writes nothing.
        EXPECT_EQ(b.move(c, c, 4), Prim::StatusOk);
    }
}

TEST(Copy, CopiesEveryLengthAndAlignment) {
    const std::vector<unsigned char> src = Pattern(4096 + 64, 1);
    for (const Builds<std::uint8_t>& b : BuildsOf<std::uint8_t>()) {
        for (std::size_t srcOffset = 0; srcOffset < 17; srcOffset += 3) {
            for (std::size_t dstOffset = 0; dstOffset < 17; dstOffset += 5) {
                for (std::int32_t len : {1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 63, 64, 65, 100, 255, 1000, 4096}) {
                    std::vector<unsigned char> dst(4096 + 80, 0xEE);
                    ASSERT_EQ(b.copy(src.data() + srcOffset, dst.data() + dstOffset, len), Prim::StatusOk);
                    ASSERT_EQ(
                        std::memcmp(dst.data() + dstOffset, src.data() + srcOffset, static_cast<std::size_t>(len)), 0)
                        << len << " " << srcOffset << " " << dstOffset;
                    for (std::size_t i = 0; i < dstOffset; ++i) ASSERT_EQ(dst[i], 0xEE);
                    for (std::size_t i = dstOffset + static_cast<std::size_t>(len); i < dst.size(); ++i)
                        ASSERT_EQ(dst[i], 0xEE);
                }
            }
        }
    }
}

TEST(Copy, LargeCopiesAtCacheAliasingDistances) {
    // Source and destination whose distance modulo 64 KiB is 0, 0xFF00 and the
    // other windows, so that every large-copy path runs (streamed, cached, non-temporal).
    constexpr std::size_t count = 300000;
    constexpr std::size_t apart = 5 * 65536;
    std::vector<unsigned char> arena(apart + 65536 + count + 64);
    const std::vector<unsigned char> pattern = Pattern(count, 9);
    const std::size_t distances[] = {0, 0xFF00, 0xFE60, 0xFE90, 0xFEC0, 0xFF10, 0xFFA0, 0xFEA1, 0xFF01, 0xFFE1, 12345};
    for (const Builds<std::uint8_t>& b : BuildsOf<std::uint8_t>()) {
        for (std::size_t distance : distances) {
            for (std::size_t base : {std::size_t{0}, std::size_t{3}, std::size_t{8}}) {
                std::fill(arena.begin(), arena.end(), 0);
                unsigned char* dst = arena.data() + base;
                unsigned char* src = dst + apart + distance;
                std::memcpy(src, pattern.data(), count);
                ASSERT_EQ(b.copy(src, dst, static_cast<std::int32_t>(count)), Prim::StatusOk);
                ASSERT_EQ(std::memcmp(dst, pattern.data(), count), 0) << distance << " " << base;
                EXPECT_EQ(dst[count], 0);
            }
        }
    }
}

TYPED_TEST(CopyOf, MovesOverlappingBlocksInBothDirections) {
    using T = TypeParam;
    constexpr std::size_t elements = 300;
    for (const Builds<T>& b : BuildsOf<T>()) {
        // Distances in bytes: whole elements, and (for wider elements) less than one element.
        for (std::ptrdiff_t shift :
            {std::ptrdiff_t(sizeof(T)), -std::ptrdiff_t(sizeof(T)), std::ptrdiff_t(3 * sizeof(T)),
                -std::ptrdiff_t(17 * sizeof(T)), std::ptrdiff_t(1), std::ptrdiff_t(-1)}) {
            if (sizeof(T) == 1 && (shift == 1 || shift == -1)) continue;
            std::vector<unsigned char> arena(elements * sizeof(T) + 64 * sizeof(T));
            const std::vector<unsigned char> pattern = Pattern(arena.size(), 3);
            arena = pattern;
            unsigned char* dst = arena.data() + 20 * sizeof(T);
            unsigned char* src = dst + shift;
            const std::vector<unsigned char> expected(src, src + elements * sizeof(T));
            // Elements at odd byte addresses: the operations take any alignment.
            ASSERT_EQ(b.move(reinterpret_cast<const T*>(src), reinterpret_cast<T*>(dst), elements), Prim::StatusOk);
            EXPECT_EQ(std::memcmp(dst, expected.data(), expected.size()), 0) << "shift " << shift;
            for (unsigned char* p = arena.data(); p < dst; ++p)
                ASSERT_EQ(*p, pattern[static_cast<std::size_t>(p - arena.data())]);
            for (unsigned char* p = dst + expected.size(); p < arena.data() + arena.size(); ++p) {
                ASSERT_EQ(*p, pattern[static_cast<std::size_t>(p - arena.data())]);
            }
        }
    }
}

TEST(Copy, SetsWriteExactlyTheirBytes) {
    for (const auto& b : BuildsOf<std::int16_t>()) {
        // A 16-bit fill of 3 elements at an odd address.
        alignas(16) unsigned char area[64];
        std::memset(area, 0xCC, sizeof area);
        ASSERT_EQ(b.set(std::int16_t(0x1234), reinterpret_cast<std::int16_t*>(area + 5), 3), Prim::StatusOk);
        const unsigned char expect16[] = {0x34, 0x12, 0x34, 0x12, 0x34, 0x12};
        EXPECT_EQ(std::memcmp(area + 5, expect16, 6), 0);
        EXPECT_EQ(area[4], 0xCC);
        EXPECT_EQ(area[11], 0xCC);
    }
    for (const auto& b : BuildsOf<float>()) {
        alignas(16) unsigned char area[64];
        std::memset(area, 0xCC, sizeof area);
        // A 32-bit fill of 5 elements at an address 2 modulo 4.
        const float value = std::bit_cast<float>(0x7FC12345U);  // NaN with its own payload
        ASSERT_EQ(b.set(value, reinterpret_cast<float*>(area + 6), 5), Prim::StatusOk);
        for (int i = 0; i < 5; ++i) {
            std::uint32_t w;
            std::memcpy(&w, area + 6 + 4 * i, 4);
            EXPECT_EQ(w, 0x7FC12345U);
        }
        EXPECT_EQ(area[5], 0xCC);
        EXPECT_EQ(area[26], 0xCC);
        float z[3];
        ASSERT_EQ(b.set(-0.0f, z, 3), Prim::StatusOk);
        for (float f : z) EXPECT_EQ(std::bit_cast<std::uint32_t>(f), 0x80000000U);
    }
}

TEST(Copy, FillsOfEveryWidthAtEveryOffset) {
    // Long enough for the aligned and the non-temporal paths.
    for (std::size_t count :
        {std::size_t{1}, std::size_t{7}, std::size_t{33}, std::size_t{1000}, std::size_t{140000}}) {
        for (std::size_t offset = 0; offset < 9; ++offset) {
            std::vector<unsigned char> area(count * 8 + 32, 0xCC);
            unsigned char* d = area.data() + offset;
            const auto u8 = BuildsOf<std::uint8_t>();
            const auto s16 = BuildsOf<std::int16_t>();
            const auto f64 = BuildsOf<double>();
            for (int build = 0; build < 2; ++build) {
                std::fill(area.begin(), area.end(), 0xCC);
                ASSERT_EQ(f64[build].set(std::bit_cast<double>(0x0102030405060708ULL), reinterpret_cast<double*>(d),
                              static_cast<std::int32_t>(count)),
                    Prim::StatusOk);
                for (std::size_t i = 0; i < count * 8; ++i) ASSERT_EQ(d[i], 8 - (i % 8)) << count << " " << offset;
                EXPECT_EQ(d[count * 8], 0xCC);
                ASSERT_EQ(s16[build].set(
                              std::int16_t(-1), reinterpret_cast<std::int16_t*>(d), static_cast<std::int32_t>(count)),
                    Prim::StatusOk);
                for (std::size_t i = 0; i < count * 2; ++i) ASSERT_EQ(d[i], 0xFF);
                ASSERT_EQ(u8[build].zero(d, static_cast<std::int32_t>(count * 3)), Prim::StatusOk);
                for (std::size_t i = 0; i < count * 3; ++i) ASSERT_EQ(d[i], 0);
                EXPECT_EQ(d[count * 3], count * 3 < count * 8 ? 8 - ((count * 3) % 8) : 0xCC);
                if (offset > 0) {
                    EXPECT_EQ(d[-1], 0xCC);
                }
                ASSERT_EQ(u8[build].set(0x42, d, static_cast<std::int32_t>(count)), Prim::StatusOk);
                for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(d[i], 0x42);
            }
        }
    }
}

TEST(Copy, SetF64DiffersOnlyForSignallingNaN) {
    const double signalling = std::bit_cast<double>(0x7FF0000000000123ULL);
    double out[4];
    ASSERT_EQ(Prim::SetF64_x87(signalling, out, 4), Prim::StatusOk);
    for (double d : out) EXPECT_EQ(std::bit_cast<std::uint64_t>(d), 0x7FF8000000000123ULL);
    ASSERT_EQ(Prim::SetF64_sse2(signalling, out, 4), Prim::StatusOk);
    for (double d : out) EXPECT_EQ(std::bit_cast<std::uint64_t>(d), 0x7FF0000000000123ULL);
    for (std::uint64_t bits :
        {0x7FF8000000000456ULL, 0xFFF0000000000000ULL, 0x8000000000000000ULL, 0x0000000000000001ULL}) {
        ASSERT_EQ(Prim::SetF64_x87(std::bit_cast<double>(bits), out, 4), Prim::StatusOk);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(out[3]), bits);
        ASSERT_EQ(Prim::SetF64_sse2(std::bit_cast<double>(bits), out, 4), Prim::StatusOk);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(out[3]), bits);
    }
}

TEST(Copy, ZeroGivesPositiveZero) {
    for (const auto& b : BuildsOf<double>()) {
        std::vector<double> v(37, -1.5);
        ASSERT_EQ(b.zero(v.data(), 37), Prim::StatusOk);
        for (double d : v) EXPECT_EQ(std::bit_cast<std::uint64_t>(d), 0U);
    }
    for (const auto& b : BuildsOf<float>()) {
        std::vector<float> v(37, -0.0f);
        ASSERT_EQ(b.zero(v.data() + 1, 36), Prim::StatusOk);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(v[0]), 0x80000000U);
        for (std::size_t i = 1; i < v.size(); ++i) EXPECT_EQ(std::bit_cast<std::uint32_t>(v[i]), 0U);
    }
}

TEST(Copy, VecWrappersTakeTheLengthFirst) {
    std::vector<float> src(10);
    std::iota(src.begin(), src.end(), 1.0f);
    std::vector<float> dst(10, 0.0f);
    Vec::CopyF32(10, src.data(), dst.data());
    EXPECT_EQ(dst, src);
    Vec::MoveF32(9, dst.data() + 1, dst.data());
    EXPECT_EQ(dst[0], 2.0f);
    EXPECT_EQ(dst[8], 10.0f);
    Vec::SetF32(3, dst.data(), 7.5f);
    EXPECT_EQ(dst[2], 7.5f);
    EXPECT_EQ(dst[3], 5.0f);
    Vec::ZeroF32(2, dst.data());
    EXPECT_EQ(dst[1], 0.0f);
    EXPECT_EQ(dst[2], 7.5f);
    std::vector<double> d(4, 1.0);
    Vec::SetF64(4, d.data(), -2.0);
    EXPECT_EQ(d[3], -2.0);
    Vec::ZeroF64(4, d.data());
    EXPECT_EQ(d[3], 0.0);
    std::int32_t s[2] = {};
    Vec::SetS32(2, s, -9);
    EXPECT_EQ(s[1], -9);
    std::uint8_t u[4] = {1, 2, 3, 4};
    Vec::SetU8(2, u, 9);
    Vec::MoveU8(3, u, u + 1);
    Vec::CopyU8(1, u + 3, u);
    Vec::ZeroU8(0, nullptr);  // length 0 calls nothing
    EXPECT_EQ(u[0], 3);
    EXPECT_EQ(u[1], 9);
    EXPECT_EQ(u[3], 3);
    // Bad arguments are dropped silently.
    Vec::CopyF32(5, nullptr, dst.data());
    Vec::CopyF64(-1, d.data(), d.data());
    Vec::MoveF64(0, nullptr, nullptr);
}

}  // namespace
