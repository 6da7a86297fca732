#include "support/prim_vectors.h"

#include <Primitives/Prim/Arith.h>
#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Vec/Arith.h>

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

using PrimTest::Placed;
using PrimTest::SameBits;
constexpr float nanF = std::numeric_limits<float>::quiet_NaN();
constexpr float infF = std::numeric_limits<float>::infinity();

using Call = std::function<Prim::Status(const void*, const void*, void*, std::int32_t)>;

// Every operation as a call on (a, b, destination, len) with the constant taken from b[0].
template <class T>
Call AsCall(Prim::Status (*fn)(T, T*, std::int32_t)) {
    return [=](const void*, const void* b, void* d, std::int32_t n) {
        return fn(static_cast<const T*>(b)[0], static_cast<T*>(d), n);
    };
}
template <class T>
Call AsCall(Prim::Status (*fn)(const T*, T*, std::int32_t)) {
    return [=](const void* a, const void*, void* d, std::int32_t n) {
        return fn(static_cast<const T*>(a), static_cast<T*>(d), n);
    };
}
template <class T>
Call AsCall(Prim::Status (*fn)(const T*, const T*, T*, std::int32_t)) {
    return [=](const void* a, const void* b, void* d, std::int32_t n) {
        return fn(static_cast<const T*>(a), static_cast<const T*>(b), static_cast<T*>(d), n);
    };
}
template <class T>
Call AsCall(Prim::Status (*fn)(const T*, T, T*, std::int32_t)) {
    return [=](const void* a, const void* b, void* d, std::int32_t n) {
        return fn(static_cast<const T*>(a), static_cast<const T*>(b)[0], static_cast<T*>(d), n);
    };
}

struct Operation {
    std::string name;
    Call x87, sse2;
    std::function<double(double a, double b, double d, double constant)> expected;
    bool isDouble;
};

#define OPERATION(op, result)                                                   \
    Operation {                                                                 \
#op, AsCall(Prim::op##_x87), AsCall(Prim::op##_sse2),                         \
            [](double a, double b, double x, double c) {                              \
                (void)a, (void)b, (void)x, (void)c;                                   \
                return result;                                                        \
            },                                                                        \
            std::string_view(#op).ends_with("F64") \
    }

std::vector<Operation> AllOperations() {
    return {OPERATION(AddConstInPlaceF32, x + c), OPERATION(AddConstInPlaceF64, x + c),
        OPERATION(SubConstInPlaceF32, x - c), OPERATION(SubConstInPlaceF64, x - c),
        OPERATION(SubConstRevInPlaceF32, c - x), OPERATION(SubConstRevInPlaceF64, c - x),
        OPERATION(MulConstInPlaceF32, x * c), OPERATION(MulConstInPlaceF64, x * c), OPERATION(AddInPlaceF32, a + x),
        OPERATION(AddInPlaceF64, a + x), OPERATION(SubInPlaceF32, x - a), OPERATION(SubInPlaceF64, x - a),
        OPERATION(MulInPlaceF32, a * x), OPERATION(MulInPlaceF64, a * x), OPERATION(AddF32, a + b),
        OPERATION(MulF32, a * b), OPERATION(AddF64, a + b), OPERATION(AddConstF32, a + c),
        OPERATION(MulConstF32, a * c), OPERATION(MulConstF64, a * c)};
}

// One operation on floats done in double and rounded to float is the correctly
// rounded float result (double carries more than twice the float precision).
float RoundedF32(double exact) { return static_cast<float>(exact); }

TEST(Arith, EveryOperationChecksPointersThenLengthAndWritesNothing) {
    for (const Operation& op : AllOperations()) {
        for (auto* build : {&op.x87, &op.sse2}) {
            double a[4] = {1, 2, 3, 4}, b[4] = {2, 2, 2, 2}, dst[4] = {7, 7, 7, 7};
            EXPECT_EQ((*build)(a, b, nullptr, 0), Prim::StatusNullPointer) << op.name;
            EXPECT_EQ((*build)(a, b, nullptr, 4), Prim::StatusNullPointer) << op.name;
            EXPECT_EQ((*build)(a, b, dst, 0), Prim::StatusSizeError) << op.name;
            EXPECT_EQ((*build)(a, b, dst, -3), Prim::StatusSizeError) << op.name;
            for (double x : dst) EXPECT_EQ(x, 7.0) << op.name;
        }
    }
    // A null source is refused too, before the length.
    float dst[2] = {};
    EXPECT_EQ(Prim::AddInPlaceF32_x87(nullptr, dst, 0), Prim::StatusNullPointer);
    EXPECT_EQ(Prim::AddInPlaceF32_sse2(nullptr, dst, 0), Prim::StatusNullPointer);
    EXPECT_EQ(Prim::AddF32_sse2(dst, nullptr, dst, 2), Prim::StatusNullPointer);
    EXPECT_EQ(Prim::AddProductF32_x87(dst, dst, nullptr, 2), Prim::StatusNullPointer);
}

// Correctly rounded element results in both builds, bit for bit, for lengths
// around the vector thresholds and every 4-byte offset from a 16-byte boundary.
TEST(Arith, BothBuildsGiveTheCorrectlyRoundedResultAtEveryAlignment) {
    for (const Operation& op : AllOperations()) {
        const std::size_t size = op.isDouble ? 8 : 4;
        for (std::int32_t len : {1, 4, 5, 6, 10, 11, 12, 19, 33, 100}) {
            for (std::size_t offset = 0; offset < 16; offset += size) {
                const auto n = static_cast<std::size_t>(len);
                const auto va = PrimTest::Spread<double>(n, 1 + len), vb = PrimTest::Spread<double>(n, 2 + len),
                           vd = PrimTest::Spread<double>(n, 3 + len);
                Placed<double> a(n, offset & 8), b(n, (offset + 8) & 8), dx(n, offset & 8), ds(n, (16 - offset) & 8);
                Placed<float> fa(n, offset), fb(n, (offset + 4) % 16), fdx(n, offset), fds(n, (12 + offset) % 16);
                for (std::size_t i = 0; i < n; ++i) {
                    a[i] = va[i];
                    b[i] = vb[i];
                    dx[i] = ds[i] = vd[i];
                    fa[i] = float(va[i]);
                    fb[i] = float(vb[i]);
                    fdx[i] = fds[i] = float(vd[i]);
                }
                if (op.isDouble) {
                    ASSERT_EQ(op.x87(a.data(), b.data(), dx.data(), len), Prim::StatusOk) << op.name;
                    ASSERT_EQ(op.sse2(a.data(), b.data(), ds.data(), len), Prim::StatusOk) << op.name;
                } else {
                    ASSERT_EQ(op.x87(fa.data(), fb.data(), fdx.data(), len), Prim::StatusOk) << op.name;
                    ASSERT_EQ(op.sse2(fa.data(), fb.data(), fds.data(), len), Prim::StatusOk) << op.name;
                }
                for (std::size_t i = 0; i < n; ++i) {
                    if (op.isDouble) {
                        const double want = op.expected(va[i], vb[i], vd[i], vb[0]);
                        ASSERT_TRUE(SameBits(dx[i], want)) << op.name << " x87 len " << len << " i " << i;
                        ASSERT_TRUE(SameBits(ds[i], want)) << op.name << " sse2 len " << len << " i " << i;
                    } else {
                        const float want = RoundedF32(op.expected(fa[i], fb[i], float(vd[i]), fb[0]));
                        ASSERT_TRUE(SameBits(fdx[i], want)) << op.name << " x87 len " << len << " i " << i;
                        ASSERT_TRUE(SameBits(fds[i], want)) << op.name << " sse2 len " << len << " i " << i;
                    }
                }
            }
        }
    }
}

TEST(Arith, SpecialConstantsAvoidArithmetic) {
    for (auto mul : {Prim::MulConstInPlaceF32_x87, Prim::MulConstInPlaceF32_sse2}) {
        const float negZero = -0.0f;
        const float payload = std::bit_cast<float>(0x7FC12345u);
        std::vector<float> v(20, 3.0f);
        v[0] = payload;
        v[1] = negZero;
        EXPECT_EQ(mul(1.0f, v.data(), 20), Prim::StatusOk);
        EXPECT_EQ(std::bit_cast<std::uint32_t>(v[0]), 0x7FC12345u);
        EXPECT_TRUE(std::signbit(v[1]));
        EXPECT_EQ(mul(nanF, v.data(), 20), Prim::StatusOk);  // unordered counts as 1.0
        EXPECT_EQ(std::bit_cast<std::uint32_t>(v[0]), 0x7FC12345u);

        std::vector<float> w = {-3.0f, infF, nanF};
        EXPECT_EQ(mul(-0.0f, w.data(), 3), Prim::StatusOk);
        for (float x : w) EXPECT_EQ(std::bit_cast<std::uint32_t>(x), 0u);
    }
    for (auto mul : {Prim::MulConstF64_x87, Prim::MulConstF64_sse2}) {
        const double src[3] = {std::bit_cast<double>(0x7FF8000000ABCDEFull), -0.0, 5.0};
        double dst[3] = {};
        EXPECT_EQ(mul(src, 1.0, dst, 3), Prim::StatusOk);
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameBits(dst[i], src[i]));
        EXPECT_EQ(mul(src, 0.0, dst, 3), Prim::StatusOk);
        for (double x : dst) EXPECT_EQ(std::bit_cast<std::uint64_t>(x), 0u);
    }
    for (auto mul : {Prim::MulConstInPlaceF64_x87, Prim::MulConstInPlaceF64_sse2}) {
        double v[2] = {2.0, -7.5};
        EXPECT_EQ(mul(std::nan(""), v, 2), Prim::StatusOk);
        EXPECT_EQ(v[0], 2.0);
        EXPECT_EQ(v[1], -7.5);
    }
    for (auto add : {Prim::AddConstInPlaceF32_x87, Prim::AddConstInPlaceF32_sse2}) {
        float v[1] = {-0.0f};
        EXPECT_EQ(add(0.0f, v, 1), Prim::StatusOk);
        EXPECT_TRUE(std::signbit(v[0]));  // no addition made
        EXPECT_EQ(add(nanF, v, 1), Prim::StatusOk);
        EXPECT_TRUE(std::signbit(v[0]));
    }
    for (auto sub : {Prim::SubConstInPlaceF64_x87, Prim::SubConstInPlaceF64_sse2}) {
        double v[1] = {-0.0};
        EXPECT_EQ(sub(-0.0, v, 1), Prim::StatusOk);
        EXPECT_TRUE(std::signbit(v[0]));
    }
    for (auto add : {Prim::AddConstF32_x87, Prim::AddConstF32_sse2}) {
        const float src[3] = {std::bit_cast<float>(0x7FA00001u), -0.0f, 1.5f};  // a signalling NaN too
        float dst[3] = {};
        EXPECT_EQ(add(src, 0.0f, dst, 3), Prim::StatusOk);
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameBits(dst[i], src[i]));
    }
    // The reversed subtraction has no special case: 0 - x.
    for (auto rev : {Prim::SubConstRevInPlaceF32_x87, Prim::SubConstRevInPlaceF32_sse2}) {
        float v[4] = {0.0f, -0.0f, 2.5f, -1.0f};
        EXPECT_EQ(rev(0.0f, v, 4), Prim::StatusOk);
        EXPECT_FALSE(std::signbit(v[0]));
        EXPECT_FALSE(std::signbit(v[1]));
        EXPECT_EQ(v[2], -2.5f);
        EXPECT_EQ(v[3], 1.0f);
    }
}

// The x87 build rounds the product-sum once, the SSE2 build rounds the product first.
TEST(Arith, AddProductRoundsOnceInTheX87BuildAndTwiceInTheSse2Build) {
    const float a = 1.0f + std::ldexp(1.0f, -12);
    for (std::int32_t len : {1, 16}) {
        std::vector<float> s1(len, a), s2(len, a), x87(len, -1.0f), sse2(len, -1.0f);
        ASSERT_EQ(Prim::AddProductF32_x87(s1.data(), s2.data(), x87.data(), len), Prim::StatusOk);
        ASSERT_EQ(Prim::AddProductF32_sse2(s1.data(), s2.data(), sse2.data(), len), Prim::StatusOk);
        for (std::int32_t i = 0; i < len; ++i) {
            // exact: 2^-11 + 2^-24; the float product loses the 2^-24 (a tie, to even).
            EXPECT_EQ(x87[i], std::ldexp(1.0f, -11) + std::ldexp(1.0f, -24));
            EXPECT_EQ(sse2[i], std::ldexp(1.0f, -11));
        }
    }
}

// srcDst one element past src1: element i uses what element i - 1 wrote.
TEST(Arith, AddProductWithOverlapComputesElementsInOrder) {
    for (auto build : {Prim::AddProductF32_x87, Prim::AddProductF32_sse2}) {
        const std::int32_t len = 40;
        std::vector<float> buffer(len + 1), src2(len);
        for (std::int32_t i = 0; i <= len; ++i) buffer[i] = 1.0f + 0.25f * float(i % 5);
        for (std::int32_t i = 0; i < len; ++i) src2[i] = (i % 3 == 0) ? 2.0f : 0.5f;
        std::vector<float> expected(buffer);
        for (std::int32_t i = 0; i < len; ++i) expected[i + 1] = expected[i + 1] + expected[i] * src2[i];
        ASSERT_EQ(build(buffer.data(), src2.data(), buffer.data() + 1, len), Prim::StatusOk);
        for (std::int32_t i = 0; i <= len; ++i) EXPECT_EQ(buffer[i], expected[i]) << i;
    }
}

TEST(Arith, EntryPointsAndVectorLayerRunTheBoundBuild) {
    std::vector<float> src = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::vector<float> acc(12, 0.5f);
    Vec::AddF32(12, src.data(), acc.data());
    for (int i = 0; i < 12; ++i) EXPECT_EQ(acc[i], src[i] + 0.5f);
    Vec::MulConstF32(12, acc.data(), 2.0f);
    for (int i = 0; i < 12; ++i) EXPECT_EQ(acc[i], 2.0f * (src[i] + 0.5f));
    Vec::MulConstF32(0, acc.data(), 0.0f);  // refused, nothing written
    EXPECT_EQ(acc[0], 3.0f);
    Vec::MulConstF32(12, nullptr, 2.0f);  // refused silently

    std::vector<double> d = {1.5, -2.0, 4.0}, e = {2.0, 3.0, 0.25};
    Vec::AddF64(3, d.data(), e.data());
    EXPECT_EQ(e, (std::vector<double>{3.5, 1.0, 4.25}));
    Vec::MulF64(3, d.data(), e.data());
    EXPECT_EQ(e, (std::vector<double>{5.25, -2.0, 17.0}));
    Vec::MulConstF64(3, e.data(), 0.0);
    EXPECT_EQ(e, (std::vector<double>{0.0, 0.0, 0.0}));
    Vec::MulConstF64(-1, e.data(), 4.0);
}

}  // namespace
