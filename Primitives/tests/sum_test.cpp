#include "support/prim_vectors.h"

#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Sum.h>
#include <Primitives/Vec/Sum.h>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

template <class T>
using Placed = PrimTest::Placed<T>;
using PrimTest::SameBits;

// Values of very different magnitudes and both signs, so that any change in
// the order of the additions shows in the total.
std::vector<float> Spread(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-12, 24);
    std::vector<float> v(n);
    for (float& x : v) x = static_cast<float>(std::ldexp(mantissa(rng), exponent(rng)));
    return v;
}

// The accumulation orders, written out element by element.
float ReferenceX87(const std::vector<float>& v) {
    const std::size_t m = v.size() / 4 * 4;
    double e = 0, o = 0;
    for (std::size_t i = 0; i < m; ++i) (i % 2 == 0 ? e : o) += v[i];
    double s = e + o;
    for (std::size_t i = m; i < v.size(); ++i) s += v[i];
    return float(s);
}

float ReferenceAccurate(const std::vector<float>& v) {
    const long n = long(v.size());
    const long blocks = n / 8;
    double s[8] = {};
    const auto mod8 = [](long x) { return ((x % 8) + 8) % 8; };
    for (long k = 0; k < blocks; ++k) {
        for (long j = 0; j < 8; ++j) s[mod8(j - k)] += v[std::size_t(8 * k + j)];
    }
    for (long i = 8 * blocks; i < n; ++i) s[mod8(-blocks)] += v[std::size_t(i)];
    double t[8];
    for (long p = 0; p < 8; ++p) t[p] = s[mod8(p - blocks)];
    return float(((t[7] + t[3]) + (t[5] + t[1])) + ((t[6] + t[2]) + (t[4] + t[0])));
}

float ReferenceFast(const std::vector<float>& v, bool aligned) {
    double total = 0;
    if (!aligned) {
        for (float x : v) total += x;
        return float(total);
    }
    for (std::size_t start = 0; start < v.size(); start += 32768) {
        const std::size_t b = std::min<std::size_t>(32768, v.size() - start);
        float p[16] = {};
        const std::size_t full = 16 * (b / 16);
        for (std::size_t t = 0; t < full; ++t) p[t % 16] += v[start + t];
        float l[4];
        for (int i = 0; i < 4; ++i) l[i] = (p[i] + p[8 + i]) + (p[4 + i] + p[12 + i]);
        std::size_t t = full;
        while (b - t >= 4) {
            for (int i = 0; i < 4; ++i) l[i] += v[start + t + std::size_t(i)];
            t += 4;
        }
        if (b - t >= 2) {
            l[0] += v[start + t];
            l[1] += v[start + t + 1];
            t += 2;
        }
        if (b - t == 1) l[0] += v[start + t];
        const float a = l[0] + l[2];
        const float c = l[1] + l[3];
        total += a;
        total += c;
    }
    return float(total);
}

TEST(Sum, ChecksPointersThenLength) {
    float x[2] = {1, 2};
    float sum = 42.0f;
    for (auto build : {Prim::SumF32_x87, Prim::SumF32_sse2}) {
        EXPECT_EQ(build(nullptr, 2, &sum, 0), Prim::StatusNullPointer);
        EXPECT_EQ(build(x, 2, nullptr, 0), Prim::StatusNullPointer);
        EXPECT_EQ(build(nullptr, 0, &sum, 1), Prim::StatusNullPointer);
        EXPECT_EQ(build(x, 0, &sum, 0), Prim::StatusSizeError);
        EXPECT_EQ(build(x, -5, &sum, 1), Prim::StatusSizeError);
        EXPECT_EQ(sum, 42.0f);
    }
}

TEST(Sum, SmallCasesFromTheRules) {
    for (auto build : {Prim::SumF32_x87, Prim::SumF32_sse2}) {
        for (int hint : {0, 1, 7}) {
            const float one[1] = {0.1f};
            float sum = 0;
            ASSERT_EQ(build(one, 1, &sum, hint), Prim::StatusOk);
            EXPECT_TRUE(SameBits(sum, 0.1f));
        }
    }
    // Even and odd running sums in double are exact here.
    const float v[4] = {1e8f, 1.0f, -1e8f, 1.0f};
    float sum = 0;
    ASSERT_EQ(Prim::SumF32_x87(v, 4, &sum, 0), Prim::StatusOk);
    EXPECT_EQ(sum, 2.0f);
}

// Every build and path adds in its own order, reproduced to the bit, for
// lengths around the block sizes and every float alignment.
TEST(Sum, EachPathAddsInItsOwnOrder) {
    int ordersDiffered = 0;
    for (std::size_t n : {2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 63, 100, 1001, 32767, 32768, 32769, 70001}) {
        const auto v = Spread(n, unsigned(n));
        for (std::size_t offset : {0, 4, 8, 12}) {
            Placed<float> f(v, offset);
            const auto len = std::int32_t(n);
            float x87 = 0, accurate = 0, fast = 0, other = 0;
            ASSERT_EQ(Prim::SumF32_x87(f.data(), len, &x87, 1), Prim::StatusOk);
            ASSERT_EQ(Prim::SumF32_sse2(f.data(), len, &accurate, 0), Prim::StatusOk);
            ASSERT_EQ(Prim::SumF32_sse2(f.data(), len, &fast, 1), Prim::StatusOk);
            ASSERT_EQ(Prim::SumF32_sse2(f.data(), len, &other, -3), Prim::StatusOk);
            EXPECT_TRUE(SameBits(x87, ReferenceX87(v))) << n << " " << offset;
            EXPECT_TRUE(SameBits(accurate, ReferenceAccurate(v))) << n << " " << offset;
            EXPECT_TRUE(SameBits(other, accurate)) << n << " " << offset;
            EXPECT_TRUE(SameBits(fast, ReferenceFast(v, offset == 0))) << n << " " << offset;
            ordersDiffered += !SameBits(x87, accurate) || !SameBits(accurate, fast);
        }
    }
    EXPECT_GT(ordersDiffered, 10);  // the data tell the orders apart
}

TEST(Sum, VectorLayerReturnsTheSumOrZeroOnRefusal) {
    const std::vector<float> v = {0.5f, 0.25f, 1.0f, -2.0f, 4.0f};
    EXPECT_EQ(Vec::SumF32(5, v.data()), 3.75f);
    EXPECT_EQ(Vec::SumF32(5, nullptr), 0.0f);
    EXPECT_EQ(Vec::SumF32(0, v.data()), 0.0f);
    EXPECT_EQ(Vec::SumF32(-1, v.data()), 0.0f);
}

// Dot products: the x87 builds round a double-precision sum once; the SSE2
// builds follow their partial-sum layouts, reproduced here literally.
float ReferenceDotF32Sse2(const float* a, const float* b, std::size_t n) {
    if (n <= 15) {
        float even = 0, odd = 0;
        std::size_t q = 0;
        for (; q < n / 2; ++q) {
            even += a[2 * q] * b[2 * q];
            odd += a[2 * q + 1] * b[2 * q + 1];
        }
        if (n % 2 == 1) odd += a[n - 1] * b[n - 1];
        return odd + even;
    }
    const auto at = [](const float* p) { return reinterpret_cast<std::uintptr_t>(p); };
    if (at(b) % 4 != 0 && at(a) % 4 == 0) std::swap(a, b);
    float p[16] = {};
    std::size_t i = 0;
    while (i < n && at(b + i) % 16 != 0) {
        p[0] += a[i] * b[i];
        ++i;
    }
    const std::size_t offset = at(a + i) % 16;
    const std::size_t group = offset == 0 ? 16 : (offset == 4 || offset == 12) ? 8 : 12;
    while (n - i >= group) {
        for (std::size_t t = 0; t < group; ++t) p[t] += a[i + t] * b[i + t];
        i += group;
    }
    while (n - i >= 2) {
        p[0] += a[i] * b[i];
        p[1] += a[i + 1] * b[i + 1];
        i += 2;
    }
    if (i < n) p[0] += a[i] * b[i];
    float l[4];
    for (int k = 0; k < 4; ++k) l[k] = (p[k] + p[4 + k]) + (p[8 + k] + p[12 + k]);
    return (l[1] + l[3]) + (l[0] + l[2]);
}

double ReferenceDotF64Sse2(const double* a, const double* b, std::size_t n) {
    const auto at = [](const double* p) { return reinterpret_cast<std::uintptr_t>(p); };
    if (at(b) % 8 != 0 && at(a) % 8 == 0) std::swap(a, b);
    double p[8] = {};
    std::size_t i = 0;
    while (i < n && at(b + i) % 16 != 0) {
        p[0] += a[i] * b[i];
        ++i;
    }
    if (at(a + i) % 16 == 0) {
        while (n - i >= 8) {
            for (std::size_t t = 0; t < 8; ++t) p[t] += a[i + t] * b[i + t];
            i += 8;
        }
        while (n - i >= 2) {
            p[0] += a[i] * b[i];
            p[1] += a[i + 1] * b[i + 1];
            i += 2;
        }
        if (i < n) p[0] += a[i] * b[i];
    } else {
        while (n - i >= 6) {
            for (std::size_t t = 0; t < 6; ++t) p[t] += a[i + t] * b[i + t];
            i += 6;
        }
        for (; i < n; ++i) p[0] += a[i] * b[i];
    }
    double l[2];
    for (int k = 0; k < 2; ++k) l[k] = (p[k] + p[2 + k]) + (p[4 + k] + p[6 + k]);
    return l[0] + l[1];
}

TEST(DotProduct, EachBuildAddsInItsOwnOrder) {
    for (std::size_t n : {1, 2, 3, 14, 15, 16, 17, 23, 31, 32, 47, 100, 257}) {
        const auto va = Spread(n, unsigned(n) + 100), vb = Spread(n, unsigned(n) + 200);
        std::vector<double> da(va.begin(), va.end()), db(vb.begin(), vb.end());
        for (auto& x : da) x *= 1.0 + 1e-9;  // give the doubles bits beyond a float's
        for (std::size_t offA : {0, 4, 8, 12}) {
            for (std::size_t offB : {0, 4, 8, 12}) {
                Placed<float> a(va, offA), b(vb, offB);
                const auto len = std::int32_t(n);
                double exact = 0;
                for (std::size_t i = 0; i < n; ++i) exact += double(va[i]) * double(vb[i]);
                float x87 = 0, sse2 = 0;
                Prim::DotProdKernelF32_x87(a.data(), b.data(), len, &x87);
                Prim::DotProdKernelF32_sse2(a.data(), b.data(), len, &sse2);
                EXPECT_TRUE(SameBits(x87, float(exact))) << n;
                EXPECT_TRUE(SameBits(sse2, ReferenceDotF32Sse2(a.data(), b.data(), n)))
                    << n << " offsets " << offA << " " << offB;
                if (offA % 8 == 0 && offB % 8 == 0) {
                    Placed<double> c(da, offA), d(db, offB);
                    double x87d = 0, sse2d = 0, exactD = 0;
                    for (std::size_t i = 0; i < n; ++i) exactD += da[i] * db[i];
                    Prim::DotProdKernelF64_x87(c.data(), d.data(), len, &x87d);
                    Prim::DotProdKernelF64_sse2(c.data(), d.data(), len, &sse2d);
                    EXPECT_EQ(x87d, exactD) << n;
                    EXPECT_EQ(sse2d, ReferenceDotF64Sse2(c.data(), d.data(), n)) << n << " " << offA << " " << offB;
                }
            }
        }
    }
}

}  // namespace
