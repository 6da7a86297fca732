// Reciprocals with a magnitude threshold, both builds, against long-double
// reciprocals, with each build's treatment of -0 and of a NaN threshold.
#include "support/prim_vectors.h"

#include <Primitives/Prim/Reciprocal.h>

#include <gtest/gtest.h>

#include <complex>

using namespace PrimTest;

namespace {

class Reciprocal : public testing::TestWithParam<TestBuild> {};

// The rule for one real element, in long double.
long double RealReference(long double x, long double t) {
    if (t > 0 && std::fabs(x) <= t) return (x < 0 ? -1 : 1) / t;
    return 1 / x;
}

// The rule for one complex value: 1/z, or the phase of 1/z with magnitude 1/t.
std::complex<long double> ComplexReference(long double re, long double im, long double t) {
    const long double p = re * re + im * im;
    if (t > 0 && p < t * t) {
        const long double d = std::sqrt(p) * t;
        return {re / d, -im / d};
    }
    return {re / p, -im / p};
}

// The SSE2 parts of 1/z stay within 4.43 * 2^-23 |1/z| over every estimate. Under the threshold
// the refined reciprocal square root of p T^2 errs by up to 5.85 * 2^-24; half the four roundings
// that form p T^2 and the product's rounding add 3 * 2^-24. Above it, the refined reciprocal
// of p (4.74 * 2^-24) and the roundings add less.
constexpr long double RefinedPartError = 4.43;

TEST_P(Reciprocal, AgainstLongDoubleReciprocals) {
    const TestBuild& b = GetParam();
    for (std::size_t n : {1, 3, 4, 5, 8, 11, 16, 37}) {
        for (double t : {0.0, 0.75, 3e-3}) {
            for (std::size_t offset : {0, 4, 8, 12}) {
                const auto values = Spread<float>(2 * n, unsigned(n + offset), 12);
                Placed<float> real(values, offset), complex(values, offset & 8);
                Placed<double> realD(std::vector<double>(values.begin(), values.end()), offset & 8);
                Placed<double> complexD(std::vector<double>(values.begin(), values.end()), 8 - (offset & 8));
                const auto len = std::int32_t(n);
                ASSERT_EQ(b.InvThreshInPlaceF32(real.data(), len, float(t)), Prim::StatusOk);
                ASSERT_EQ(b.InvThreshInPlaceF64(realD.data(), len, t), Prim::StatusOk);
                ASSERT_EQ(b.InvThreshInPlaceC32(complex.data(), len, float(t)), Prim::StatusOk);
                ASSERT_EQ(b.InvThreshInPlaceC64(complexD.data(), len, t), Prim::StatusOk);
                for (std::size_t i = 0; i < n; ++i) {
                    const long double want = RealReference(values[i], (long double)float(t));
                    ASSERT_LE(Ulps(real[i], float(want)), b.sse2 ? RefinedUlps::Reciprocal : 1)
                        << values[i] << " t " << t;
                    ASSERT_LE(Ulps(realD[i], double(RealReference(values[i], t))), 4) << values[i] << " t " << t;
                    // Complex parts: against the magnitude of 1/z.
                    const auto z = ComplexReference(values[2 * i], values[2 * i + 1], (long double)float(t));
                    const long double tolerance = std::abs(z) * (b.sse2 ? RefinedPartError : 1) * 0x1p-23L;
                    ASSERT_LE(std::fabs(complex[2 * i] - z.real()), tolerance) << i << " t " << t;
                    ASSERT_LE(std::fabs(complex[2 * i + 1] - z.imag()), tolerance) << i << " t " << t;
                    const auto zd = ComplexReference(values[2 * i], values[2 * i + 1], t);
                    ASSERT_LE(std::fabs(complexD[2 * i] - zd.real()), std::abs(zd) * 0x1p-50L) << i;
                    ASSERT_LE(std::fabs(complexD[2 * i + 1] - zd.imag()), std::abs(zd) * 0x1p-50L) << i;
                }
            }
        }
    }
}

TEST_P(Reciprocal, WorkedCasesZerosAndRefusals) {
    const TestBuild& b = GetParam();
    // On a 16-byte boundary, 2 and -4 share a group of four with the zero, which the SSE2 build
    // divides exactly; at other alignments they may fall in groups without it and take the
    // refined estimate. The zero, the subnormals and -0 are divided exactly wherever they lie.
    for (std::size_t offset : {0, 4, 8, 12}) {
        Placed<float> v({2, 0, -4, 1e-40f, -1e-40f, -0.0f}, offset);
        ASSERT_EQ(b.InvThreshInPlaceF32(v.data(), 6, 0.0f), Prim::StatusZeroElementWarning);
        const double refined = b.sse2 && offset != 0 ? RefinedUlps::Reciprocal : 0;
        EXPECT_LE(Ulps(v[0], 0.5f), refined) << offset;
        EXPECT_EQ(v[1], Inf<float>);
        EXPECT_LE(Ulps(v[2], -0.25f), refined) << offset;
        EXPECT_EQ(v[3], Inf<float>);  // a subnormal's reciprocal overflows, with its sign
        EXPECT_EQ(v[4], -Inf<float>);
        EXPECT_EQ(v[5], b.sse2 ? -Inf<float> : Inf<float>);  // -0 keeps its sign in SSE2 only
    }
    double d[] = {0.25, -0.25, 0, 4, -0.0};
    ASSERT_EQ(b.InvThreshInPlaceF64(d, 5, 0.5), Prim::StatusOk);
    EXPECT_EQ(std::vector<double>(d, d + 4), (std::vector<double>{2, -2, 2, 0.25}));
    EXPECT_EQ(d[4], b.sse2 ? -2.0 : 2.0);
    double zero[] = {1, 0, 0};
    ASSERT_EQ(b.InvThreshInPlaceF64(zero, 3, 0.0), Prim::StatusZeroElementWarning);

    float z[] = {0, 0, 0.6f, 0.8f, 3, 4};
    ASSERT_EQ(b.InvThreshInPlaceC32(z, 1, 0.0f), Prim::StatusZeroElementWarning);
    EXPECT_EQ(z[0], Inf<float>);
    EXPECT_EQ(z[1], 0.0f);
    z[0] = 0;
    ASSERT_EQ(b.InvThreshInPlaceC32(z, 3, 2.0f), Prim::StatusOk);
    EXPECT_EQ(z[0], 0.5f);  // (1/T, 0)
    EXPECT_NEAR(z[2], 0.3f, 1e-6f);
    EXPECT_NEAR(z[3], -0.4f, 1e-6f);
    EXPECT_NEAR(z[4], 0.12f, 1e-7f);
    EXPECT_NEAR(z[5], -0.16f, 1e-7f);
    double zd[] = {0, 0, 0.6, 0.8};
    ASSERT_EQ(b.InvThreshInPlaceC64(zd, 2, 0.0), Prim::StatusZeroElementWarning);
    EXPECT_EQ(zd[0], Inf<double>);
    EXPECT_NEAR(zd[2], 0.6, 1e-15);

    float f = 3;
    double g = 3;
    EXPECT_EQ(b.InvThreshInPlaceF32(&f, 1, -1.0f), Prim::StatusNegativeLevel);
    EXPECT_EQ(b.InvThreshInPlaceC64(&g, 0, -1.0), Prim::StatusSizeError);
    EXPECT_EQ(b.InvThreshInPlaceF64(nullptr, 0, -1.0), Prim::StatusNullPointer);
    EXPECT_EQ(f, 3.0f);
    // A NaN threshold: the x87 real and C64 builds run as with 0, the others refuse it.
    EXPECT_EQ(b.InvThreshInPlaceF32(&f, 1, Nan<float>), b.sse2 ? Prim::StatusNegativeLevel : Prim::StatusOk);
    EXPECT_EQ(b.InvThreshInPlaceC32(&f, 0, Nan<float>), Prim::StatusSizeError);
    double pair[] = {2, 0};
    EXPECT_EQ(b.InvThreshInPlaceC64(pair, 1, Nan<double>), b.sse2 ? Prim::StatusNegativeLevel : Prim::StatusOk);
    EXPECT_EQ(pair[0], b.sse2 ? 2.0 : 0.5);
    float complexPair[] = {2, 0};
    EXPECT_EQ(b.InvThreshInPlaceC32(complexPair, 1, Nan<float>), Prim::StatusNegativeLevel);
}

INSTANTIATE_TEST_SUITE_P(Builds, Reciprocal, testing::ValuesIn(TestBuilds), BuildName());

}  // namespace
