// The SSE2 builds' refinement steps on a scalar model. From estimates across the documented
// bound, both ends included, each step stays within its bound of the correctly rounded
// result, and a known estimate reaches it. From this processor's estimate, whatever it is,
// the code gives exactly what the model gives.
#include "support/prim_vectors.h"

#include <Primitives/Prim/Division.h>
#include <Primitives/Prim/Estimates.h>

#include <gtest/gtest.h>

#include <emmintrin.h>

#include <cmath>
#include <random>

using namespace PrimTest;

namespace {

constexpr long double EstimateError = 1.5L * 0x1p-12L;

float Lane0(__m128 v) { return _mm_cvtss_f32(v); }

// A step refines the estimate y of 1/x (or of 1/sqrt(x)) into its result; n is the dividend
// of the quotient, unused by the others.
struct Step {
    const char* name;
    bool fromSquareRoot;
    long double (*exact)(long double n, long double x);
    float (*model)(float n, float x, float y);
    float (*code)(float n, float x);
    double bound;
    float worst[3];  // n, x and y: an estimate that reaches the bound
};

const Step steps[] = {
    {"reciprocal", false, [](long double, long double a) { return 1 / a; },
        [](float, float a, float y) { return y * (2.0f - a * y); },
        [](float, float a) { return Lane0(Prim::Estimates::Reciprocal(_mm_set1_ps(a))); }, RefinedUlps::Reciprocal,
        {1, 0x1.0021f4p+0f, 0x1.ff8eecp-1f}},
    {"square root", true, [](long double, long double p) { return std::sqrt(p); },
        [](float, float p, float y) {
            const float m = p * y;
            return (3.0f - y * m) * 0.5f * m;
        },
        [](float, float p) { return Lane0(Prim::Estimates::SquareRoot(_mm_set1_ps(p))); }, RefinedUlps::SquareRoot,
        {1, 0x1.595652p+1f, 0x1.379908p-1f}},
    {"reciprocal square root", true, [](long double, long double q) { return 1 / std::sqrt(q); },
        [](float, float q, float y) { return (3.0f - q * y * y) * 0.5f * y; },
        [](float, float q) { return Lane0(Prim::Estimates::ReciprocalSquareRoot(_mm_set1_ps(q))); },
        RefinedUlps::ReciprocalSquareRoot, {1, 0x1.01b476p+0f, 0x1.fe1dep-1f}},
    {"quotient", false, [](long double n, long double d) { return n / d; },
        [](float n, float d, float r) {
            const float e = 1.0f - d * r, q = n * r;
            return q + (q * e + q) * e;
        },
        [](float n, float d) {
            EXPECT_EQ(Prim::Sse2Ops.DivInPlaceF32(&d, &n, 1), Prim::StatusOk);
            return n;
        },
        RefinedUlps::Quotient, {0x1.7703e8p+0f, 0x1.90b38ep+0f, 0x1.471b5ap-1f}},
};

TEST(RefinementSteps, HoldTheirBoundsOverEveryEstimateAndRefineThisProcessorsAsModelled) {
    std::mt19937 rng(43);
    std::uniform_real_distribution<float> significand(1, 4);
    // Each step stops at its first failure; the others still run.
    const auto check = [&](const Step& step) {
        const auto approximated = [&](float x) {
            return step.fromSquareRoot ? 1 / std::sqrt((long double)x) : 1 / (long double)x;
        };
        const auto allowed = [&](float x, float y) { return std::fabs(y / approximated(x) - 1) <= EstimateError; };
        const auto ulps = [&](float n, float x, float y) { return Ulps(step.model(n, x, y), float(step.exact(n, x))); };
        const auto [worstN, worstX, worstY] = step.worst;
        ASSERT_TRUE(allowed(worstX, worstY)) << step.name;
        EXPECT_EQ(ulps(worstN, worstX, worstY), step.bound) << step.name;
        for (int i = 0; i < 3000; ++i) {
            const float n = significand(rng), x = std::ldexp(significand(rng), 60 * (i % 3 - 1));
            for (int k = -8; k <= 8; ++k) {
                float y = float(approximated(x) * (1 + k * EstimateError / 8));
                while (!allowed(x, y)) y = std::nextafter(y, float(approximated(x)));
                ASSERT_LE(ulps(n, x, y), step.bound) << step.name << std::hexfloat << " x " << x << " y " << y;
            }
            const __m128 lanes = _mm_set1_ps(x);
            const float y = Lane0(step.fromSquareRoot ? _mm_rsqrt_ps(lanes) : _mm_rcp_ps(lanes));
            ASSERT_TRUE(allowed(x, y)) << "this processor's estimate " << std::hexfloat << y << " of " << x;
            ASSERT_TRUE(SameBits(step.code(n, x), step.model(n, x, y)))
                << step.name << std::hexfloat << " x " << x << " n " << n << ": " << step.code(n, x);
        }
    };
    for (const Step& step : steps) check(step);
}

}  // namespace
