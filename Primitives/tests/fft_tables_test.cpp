// FFT tables: sine, bit reversal, twiddles, real tables and the split matrices.
#include <Primitives/Prim/Fft/FftTables.h>
#include <Primitives/Prim/Memory.h>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

using namespace Prim;

namespace {

template <typename T>
struct Table {
    T* data;
    explicit Table(T* d) : data(d) {}
    ~Table() { FreeDirect(data); }
    T operator[](size_t i) const { return data[i]; }
};

constexpr double Pi = std::numbers::pi;

// w_L^x = (cos(2 pi x / L), -sin(2 pi x / L)) evaluated directly.
double Re(uint64_t x, uint64_t l) { return std::cos(2 * Pi * static_cast<double>(x % l) / static_cast<double>(l)); }
double Im(uint64_t x, uint64_t l) { return -std::sin(2 * Pi * static_cast<double>(x % l) / static_cast<double>(l)); }

uint64_t Reverse(uint64_t v, int bits) {
    uint64_t r = 0;
    for (int b = 0; b < bits; ++b) r |= ((v >> b) & 1) << (bits - 1 - b);
    return r;
}

}  // namespace

TEST(FftTables, SineTableOfOrder4) {
    Table<double> s(FftMakeSineTable<double>(4));
    EXPECT_EQ(s[0], 0.0);
    EXPECT_EQ(s[1], std::sin(Pi / 8));
    EXPECT_EQ(s[2], std::sin(Pi / 4));
    EXPECT_EQ(s[3], std::cos(Pi / 8));
    EXPECT_EQ(s[4], 1.0);
    Table<float> f(FftMakeSineTable<float>(4));
    EXPECT_EQ(f[3], static_cast<float>(std::cos(Pi / 8)));
}

TEST(FftTables, BitReversalTablesAndPermutation) {
    // {x87 build?, order, the first entries}.
    const std::tuple<bool, int, std::vector<int32_t>> heads[] = {{true, 4, {4, 8, 0, 12, 0}},
        {false, 4, {0, 4, 2, 6, 0}}, {true, 3, {0, 4, 0}}, {false, 3, {0, 2, 0}}, {true, 2, {0, 0}}};
    for (const auto& [x87, k, want] : heads) {
        Table<int32_t> table(x87 ? FftMakeBitRevTable(k) : FftBitRevTable(k));
        EXPECT_EQ(std::vector<int32_t>(table.data, table.data + want.size()), want) << x87 << " order " << k;
    }
    Table<int32_t> x87Order3(FftMakeBitRevTable(3));
    std::vector<float> eight(16);
    for (int i = 0; i < 8; ++i) eight[2 * i] = static_cast<float>(i);
    FftBitRevInPlaceC32(eight.data(), 8, x87Order3.data);
    std::vector<float> order;
    for (int i = 0; i < 8; ++i) order.push_back(eight[2 * i]);
    EXPECT_EQ(order, (std::vector<float>{0, 4, 2, 6, 1, 5, 3, 7}));

    // Every order: the full reversal of the index, and its own inverse.
    for (int k = 2; k <= 14; ++k) {
        const uint32_t count = 1u << k;
        Table<int32_t> table(FftMakeBitRevTable(k));
        std::vector<double> data(2 * count);
        for (uint32_t i = 0; i < count; ++i) {
            data[2 * i] = i;
            data[2 * i + 1] = -static_cast<double>(i);
        }
        FftBitRevInPlaceC64(data.data(), count, table.data);
        for (uint32_t i = 0; i < count; ++i) {
            ASSERT_EQ(data[2 * i], static_cast<double>(Reverse(i, k))) << "order " << k << " index " << i;
            ASSERT_EQ(data[2 * i + 1], -static_cast<double>(Reverse(i, k)));
        }
        FftBitRevInPlaceC64(data.data(), count, table.data);
        for (uint32_t i = 0; i < count; ++i) ASSERT_EQ(data[2 * i], i);
        Table<int32_t> sse2(FftBitRevTable(k));
        for (uint32_t i = 1; i < count / 4; ++i) ASSERT_EQ(sse2[i], static_cast<int32_t>(2 * Reverse(i, k - 2)));
    }
}

TEST(FftTables, TwiddlesQuarterRootsAndRealTablesX87) {
    Table<double> s4(FftMakeSineTable<double>(4));
    Table<double> tw2(FftMakeTwiddleX87(2, s4.data, 4));
    const double second[6] = {0, -1, -1, 0, 0, 1};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(tw2[6 + i], second[i]) << i;  // == ignores the sign of zeros

    Table<double> post(FftMakeRealTablesX87(4, s4.data));
    EXPECT_EQ(post[0], 0.5);
    EXPECT_EQ(post[1], 0.5);
    Table<double> roots(FftMakeRealRootsX87(4, s4.data));

    const int t = 12;
    Table<double> s(FftMakeSineTable<double>(t));
    for (int p : {2, 5, 9, 11}) {
        const uint64_t l = uint64_t{1} << p;
        Table<double> tw(FftMakeTwiddleX87(p, s.data, t));
        for (uint64_t i = 0; i <= l / 4; ++i)
            for (uint64_t k = 1; k <= 3; ++k) {
                ASSERT_NEAR(tw[6 * i + 2 * (k - 1)], Re(k * i, l), 1e-15) << p << " " << i;
                ASSERT_NEAR(tw[6 * i + 2 * (k - 1) + 1], Im(k * i, l), 1e-15) << p << " " << i;
            }
        Table<double> quarter(FftMakeQuarterRoots(p, s.data, t));
        for (uint64_t i = 0; i < l / 4; ++i) {
            ASSERT_NEAR(quarter[2 * i], Re(i, l), 1e-15);
            ASSERT_NEAR(quarter[2 * i + 1], Im(i, l), 1e-15);
        }
    }
    Table<double> post12(FftMakeRealTablesX87(t, s.data));
    Table<double> roots12(FftMakeRealRootsX87(t, s.data));
    for (uint64_t k = 0; k < 1024; ++k) {
        ASSERT_NEAR(post12[2 * k], 0.5 * Re(k, 4096), 1e-15);
        ASSERT_NEAR(post12[2 * k + 1], 0.5 + 0.5 * Im(k, 4096), 1e-15);
        ASSERT_NEAR(roots12[2 * k], Re(k, 4096), 1e-15);
        ASSERT_NEAR(roots12[2 * k + 1], Im(k, 4096), 1e-15);
    }
}

TEST(FftTables, Sse2LayoutsGroupComponents) {
    const int t = 8;
    Table<double> s(FftMakeSineTable<double>(t));
    // Order 5: one radix-4 stage section (s = 5, 8 records), pairs of records by component.
    Table<double> tw(FftMakeTwiddleSse2(5, s.data, t));
    for (uint64_t i = 0; i < 8; i += 2)
        for (uint64_t k = 1; k <= 3; ++k)
            for (uint64_t c = 0; c < 2; ++c) {
                const double* group = tw.data + 12 * (i / 2) + 4 * (k - 1);
                ASSERT_NEAR(group[c], Re(k * (i + c), 32), 1e-15) << i << " " << k << " " << c;
                ASSERT_NEAR(group[2 + c], Im(k * (i + c), 32), 1e-15);
            }
    // Order 6: sections of stages 4 then 6.
    Table<double> tw6(FftMakeTwiddleSse2(6, s.data, t));
    const double* stage6 = tw6.data + 12 * 2;  // the stage-4 section holds 4 records
    EXPECT_NEAR(stage6[12 + 1], Re(3, 64), 1e-15);

    Table<float> sf(FftMakeSineTable<float>(t));
    Table<float> twf(FftMakeTwiddleSse2(4, sf.data, t));
    for (uint64_t c = 0; c < 4; ++c) {
        EXPECT_NEAR(twf[c], Re(c, 16), 1e-7);
        EXPECT_NEAR(twf[4 + c], Im(c, 16), 1e-7);
        EXPECT_NEAR(twf[16 + c], Re(3 * c, 16), 1e-7);
    }

    Table<double> post(FftMakeRealTablesSse2(t, s.data));
    Table<double> roots(FftMakeRealRootsSse2(t, s.data));
    for (uint64_t k = 1; k <= 64; k += 2)
        for (uint64_t c = 0; c < 2; ++c) {
            const uint64_t at = 4 * (k / 2);
            ASSERT_NEAR(post[at + c], 0.5 * Re(k + c, 256), 1e-15);
            ASSERT_NEAR(post[at + 2 + c], 0.5 + 0.5 * Im(k + c, 256), 1e-15);
            ASSERT_NEAR(roots[at + c], Re(k + c, 256), 1e-15);
            ASSERT_NEAR(roots[at + 2 + c], Im(k + c, 256), 1e-15);
        }
    EXPECT_FALSE(std::signbit(roots[1])) << "0 - x keeps a zero positive";
}

TEST(FftTables, SplitMatrices) {
    const int t = 13, p = 12, d = 4;
    Table<double> s(FftMakeSineTable<double>(t));
    const uint64_t l = uint64_t{1} << p, g = uint64_t{1} << d, rows = l / g;
    std::vector<double> matrix(2 * l), block(8 * g);
    Table<int32_t> bitRev(FftMakeBitRevTable(d));
    FftFillSplitMatrixX87(matrix.data(), p, d, s.data, t, block.data(), bitRev.data);
    size_t at = 0;
    for (uint64_t rho0 = 0; rho0 < rows; rho0 += 4)
        for (uint64_t j = 0; j < g; ++j)
            for (uint64_t c = 0; c < 4; ++c, at += 2) {
                const uint64_t exponent = Reverse(j, d) * (rho0 + c);
                ASSERT_NEAR(matrix[at], Re(exponent, l), 1e-15) << rho0 << " " << j << " " << c;
                ASSERT_NEAR(matrix[at + 1], Im(exponent, l), 1e-15);
            }

    // SSE2 matrix of p = 14, d = 4, b = 8: per block of 16 columns, two radix-4 steps.
    const int p2 = 14, d2 = 4, b2 = 8, t2 = 15;
    Table<double> s2(FftMakeSineTable<double>(t2));
    std::vector<double> sse2(2 * (uint64_t{1} << p2));
    FftFillSplitMatrixSse2(sse2.data(), p2, d2, b2, s2.data, t2);
    // First value: stage s = r + 2 = 12, column 0, k = 1: w^0.
    EXPECT_EQ(sse2[0], 1.0);
    // Stage 12, column group g = 2 (columns 2, 3), k = 2: Re w_4096^(4), Re w_4096^(6).
    const double* group = sse2.data() + 3 * 4 * 1 + 4 * 1;
    EXPECT_NEAR(group[0], Re(4, 4096), 1e-15);
    EXPECT_NEAR(group[1], Re(6, 4096), 1e-15);
    EXPECT_NEAR(group[2], Im(4, 4096), 1e-15);
    // Second stage (s = 14) of the first block starts after 8 column pairs x 3 roots x 4 doubles;
    // its sub-column q = 1 covers columns 1024 + g.
    const double* second = sse2.data() + 8 * 12 + 8 * 12;  // q = 1, g = 0
    EXPECT_NEAR(second[0], Re(1024, 16384), 1e-15);
    EXPECT_NEAR(second[1], Re(1025, 16384), 1e-15);
    EXPECT_NEAR(second[3], Im(1025, 16384), 1e-15);
}
