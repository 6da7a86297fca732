#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Window.h>
#include <Primitives/Vec/Window.h>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

// The windows' textbook closed forms, n = 0 .. len - 1.
double Bartlett(double n, double len) {
    const double m = len - 1;
    return n <= m / 2 ? 2 * n / m : 2 - 2 * n / m;
}
double Hann(double n, double len) { return 0.5 - 0.5 * std::cos(2 * pi * n / (len - 1)); }
double Hamming(double n, double len) { return 0.54 - 0.46 * std::cos(2 * pi * n / (len - 1)); }
double Blackman(double n, double len) {
    return 0.42 - 0.5 * std::cos(2 * pi * n / (len - 1)) + 0.08 * std::cos(4 * pi * n / (len - 1));
}

// I0 by its power series, in extended precision.
long double BesselI0(long double x) {
    long double term = 1, sum = 1;
    for (int k = 1; k < 1000 && term > sum * 1e-21L; ++k) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
    }
    return sum;
}
double Kaiser(double n, double len, double beta) {
    const double a = (len - 1) / 2;
    const double r = (n - a) / a;
    return double(BesselI0(beta * std::sqrt(std::max(0.0, 1 - r * r))) / BesselI0(beta));
}

using WindowF32 = std::function<Prim::Status(float*, std::int32_t)>;

struct Case {
    std::string name;
    WindowF32 x87, sse2;
    std::function<double(double, double)> closedForm;
};

std::vector<Case> ShortWindows() {
    return {
        {"Bartlett", Prim::WinBartlettF32_x87, Prim::WinBartlettF32_sse2, Bartlett},
        {"Hann", Prim::WinHannF32_x87, Prim::WinHannF32_sse2, Hann},
        {"Hamming", Prim::WinHammingF32_x87, Prim::WinHammingF32_sse2, Hamming},
        {"Blackman", [](float* x, std::int32_t n) { return Prim::WinBlackmanF32_x87(x, n, -0.16f); },
            [](float* x, std::int32_t n) { return Prim::WinBlackmanF32_sse2(x, n, -0.16f); }, Blackman},
    };
}

std::vector<float> RandomSamples(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> value(0.5f, 2.0f);
    std::vector<float> v(n);
    for (float& x : v) x = std::uniform_int_distribution<int>(0, 1)(rng) ? value(rng) : -value(rng);
    return v;
}

std::vector<std::int32_t> Lengths() {
    std::vector<std::int32_t> lengths;
    for (std::int32_t n = 3; n <= 80; ++n) lengths.push_back(n);
    for (std::int32_t n : {127, 128, 255, 256, 1000, 1001, 2561, 4096, 4097, 32768, 65536, 65537, 100000, 262145}) {
        lengths.push_back(n);
    }
    return lengths;
}

// Random samples windowed in place equal the samples times the closed form,
// to a few float steps, at the front, the back and the untouched middle.
TEST(Window, ShortWindowsFollowTheirClosedFormsForManyLengths) {
    for (const Case& c : ShortWindows()) {
        for (std::int32_t len : Lengths()) {
            const auto original = RandomSamples(std::size_t(len), unsigned(len));
            for (int build = 0; build < 2; ++build) {
                auto x = original;
                ASSERT_EQ((build == 0 ? c.x87 : c.sse2)(x.data(), len), Prim::StatusOk) << c.name << " " << len;
                for (std::int32_t n = 0; n < len; ++n) {
                    const double expected = double(original[std::size_t(n)]) * c.closedForm(n, len);
                    ASSERT_NEAR(x[std::size_t(n)], expected, 3e-7 * std::fabs(original[std::size_t(n)]))
                        << c.name << (build == 0 ? " x87" : " sse2") << " len " << len << " n " << n;
                }
            }
        }
    }
}

std::vector<float> Windowed(const WindowF32& window, std::int32_t len) {
    std::vector<float> x(std::size_t(len), 1.0f);
    EXPECT_EQ(window(x.data(), len), Prim::StatusOk);
    return x;
}

TEST(Window, HandWorkedExamples) {
    const auto cases = ShortWindows();
    for (int build = 0; build < 2; ++build) {
        const auto run = [&](int which, std::int32_t len) {
            return Windowed(build == 0 ? cases[std::size_t(which)].x87 : cases[std::size_t(which)].sse2, len);
        };
        EXPECT_EQ(run(0, 5), (std::vector<float>{0, 0.5f, 1, 0.5f, 0}));
        EXPECT_EQ(run(0, 6), (std::vector<float>{0, 0.4f, 0.8f, 0.8f, 0.4f, 0}));
        const auto hann = run(1, 4);
        EXPECT_EQ(hann[0], 0.0f);
        EXPECT_FLOAT_EQ(hann[1], 0.75f);
        EXPECT_FLOAT_EQ(hann[2], 0.75f);
        EXPECT_EQ(hann[3], 0.0f);
        const auto hamming = run(2, 3);
        EXPECT_FLOAT_EQ(hamming[0], 0.08f);
        EXPECT_EQ(hamming[1], 1.0f);
        EXPECT_FLOAT_EQ(hamming[2], 0.08f);
        const auto blackman = run(3, 5);
        EXPECT_EQ(blackman[0], 0.0f);
        EXPECT_FLOAT_EQ(blackman[1], 0.34f);
        EXPECT_EQ(blackman[2], 1.0f);
        EXPECT_FLOAT_EQ(blackman[3], 0.34f);
        EXPECT_EQ(blackman[4], 0.0f);
        for (int which : {0, 1, 3}) {  // three points: ends cleared, middle kept
            EXPECT_EQ(run(which, 3), (std::vector<float>{0, 1, 0})) << which;
        }
    }
}

TEST(Window, ChecksComeBeforeAnyWrite) {
    for (const Case& c : ShortWindows()) {
        for (const WindowF32& build : {c.x87, c.sse2}) {
            float x[2] = {3, 3};
            EXPECT_EQ(build(nullptr, 0), Prim::StatusNullPointer) << c.name;
            EXPECT_EQ(build(nullptr, 16), Prim::StatusNullPointer) << c.name;
            EXPECT_EQ(build(x, 2), Prim::StatusSizeError) << c.name;
            EXPECT_EQ(build(x, 0), Prim::StatusSizeError) << c.name;
            EXPECT_EQ(build(x, -7), Prim::StatusSizeError) << c.name;
            EXPECT_EQ(x[0], 3.0f);
            EXPECT_EQ(x[1], 3.0f);
        }
    }
    for (auto kaiser : {Prim::WinKaiserF32_x87, Prim::WinKaiserF32_sse2}) {
        float x[1] = {5};
        EXPECT_EQ(kaiser(nullptr, 0, 1.0f), Prim::StatusNullPointer);
        EXPECT_EQ(kaiser(x, 0, 1.0f), Prim::StatusSizeError);
        EXPECT_EQ(kaiser(x, 1, 1e30f), Prim::StatusOk);  // M = 0: the parameter plays no part
        EXPECT_EQ(x[0], 5.0f);
    }
    for (auto kaiser : {Prim::WinKaiserF64_x87, Prim::WinKaiserF64_sse2}) {
        double x[1] = {5};
        EXPECT_EQ(kaiser(nullptr, 1, 1.0f), Prim::StatusNullPointer);
        EXPECT_EQ(kaiser(x, -1, 1.0f), Prim::StatusSizeError);
        EXPECT_EQ(kaiser(x, 1, 3.0f), Prim::StatusOk);
        EXPECT_EQ(x[0], 5.0);
    }
}

// The x87 Bartlett writes zeros at the ends; the SSE2 one multiplies by zero.
TEST(Window, BartlettEndsDifferBetweenTheBuildsOnInfiniteSamples) {
    for (std::int32_t len : {3, 9, 2000}) {
        std::vector<float> x87(std::size_t(len), 1.0f), sse2(std::size_t(len), 1.0f);
        x87.front() = sse2.front() = std::numeric_limits<float>::infinity();
        x87.back() = sse2.back() = std::numeric_limits<float>::quiet_NaN();
        ASSERT_EQ(Prim::WinBartlettF32_x87(x87.data(), len), Prim::StatusOk);
        ASSERT_EQ(Prim::WinBartlettF32_sse2(sse2.data(), len), Prim::StatusOk);
        EXPECT_EQ(x87.front(), 0.0f);
        EXPECT_EQ(x87.back(), 0.0f);
        EXPECT_TRUE(std::isnan(sse2.front()));
        EXPECT_TRUE(std::isnan(sse2.back()));
    }
}

template <class T, class Build>
void CheckKaiser(Build build, const char* name, std::int32_t len, float alpha, double tolerance) {
    const auto samples = RandomSamples(std::size_t(len), unsigned(len) * 3);
    std::vector<T> x(samples.begin(), samples.end());
    ASSERT_EQ(build(x.data(), len, alpha), Prim::StatusOk) << name << " " << len;
    const double beta = double(alpha) * (len - 1) / 2;
    for (std::int32_t n = 0; n < len; ++n) {
        const double expected = double(samples[std::size_t(n)]) * Kaiser(n, len, beta);
        ASSERT_NEAR(double(x[std::size_t(n)]), expected, tolerance * std::fabs(expected) + 1e-30)
            << name << " len " << len << " beta " << beta << " n " << n;
    }
}

TEST(Window, KaiserFollowsItsClosedFormWithinItsApproximation) {
    for (std::int32_t len : {2, 3, 4, 5, 16, 17, 64, 255, 1000, 4097}) {
        for (double beta : {0.5, 3.0, 7.4, 10.0, 15.0, 20.0, 38.0}) {
            const float alpha = float(2 * beta / (len - 1));
            if (std::fabs(double(alpha)) * (len - 1) * 0.5 > 38.0) continue;
            CheckKaiser<float>(Prim::WinKaiserF32_x87, "F32 x87", len, alpha, 2e-6);
            CheckKaiser<float>(Prim::WinKaiserF32_sse2, "F32 sse2", len, alpha, 3e-5);
            CheckKaiser<double>(Prim::WinKaiserF64_x87, "F64 x87", len, alpha, 1.5e-5);
            CheckKaiser<double>(Prim::WinKaiserF64_sse2, "F64 sse2", len, alpha, 1.5e-5);
        }
    }
    // k (M - k) passes 2^31 from about 92,700 points on; the window stays finite and right.
    const float longAlpha = float(2 * 12.0 / 200000);
    CheckKaiser<float>(Prim::WinKaiserF32_x87, "F32 x87", 200001, longAlpha, 2e-6);
    CheckKaiser<float>(Prim::WinKaiserF32_sse2, "F32 sse2", 200001, longAlpha, 3e-5);
    for (auto [len, alpha] :
        {std::pair{1001, float(2 * 100.0 / 1000)}, {1001, float(2 * 300.0 / 1000)}, {200001, longAlpha}}) {
        CheckKaiser<double>(Prim::WinKaiserF64_x87, "F64 x87", len, alpha, 1.5e-5);
        CheckKaiser<double>(Prim::WinKaiserF64_sse2, "F64 sse2", len, alpha, 1.5e-5);
    }
}

TEST(Window, KaiserSpecialCasesAndLimits) {
    for (auto kaiser : {Prim::WinKaiserF32_x87, Prim::WinKaiserF32_sse2}) {
        float two[2] = {1, -3};
        ASSERT_EQ(kaiser(two, 2, 4.0f), Prim::StatusOk);
        const double factor = 1.0 / double(BesselI0(2.0L));
        EXPECT_NEAR(two[0], factor, 1e-6);
        EXPECT_NEAR(two[1], -3 * factor, 3e-6);

        std::vector<float> flat(9, 1.5f);
        ASSERT_EQ(kaiser(flat.data(), 9, 0.0f), Prim::StatusOk);  // rectangular
        for (float x : flat) EXPECT_EQ(x, 1.5f);

        std::vector<float> x(77, 1.0f);
        EXPECT_EQ(kaiser(x.data(), 77, 1.0f), Prim::StatusOk);  // 1 * 76 / 2 = 38 exactly
        std::vector<float> y(77, 1.0f);
        EXPECT_EQ(kaiser(y.data(), 77, std::nextafter(1.0f, 2.0f)), Prim::StatusKaiserAlphaError);
        EXPECT_EQ(kaiser(y.data(), 77, -1.01f), Prim::StatusKaiserAlphaError);
        for (float v : y) EXPECT_EQ(v, 1.0f);
    }
    for (auto kaiser : {Prim::WinKaiserF64_x87, Prim::WinKaiserF64_sse2}) {
        std::vector<double> flat(6, 2.0);
        ASSERT_EQ(kaiser(flat.data(), 6, 0.0f), Prim::StatusOk);
        for (double x : flat) EXPECT_NEAR(x, 2.0, 1e-15);
        std::vector<double> x(617, 1.0);
        EXPECT_EQ(kaiser(x.data(), 617, 1.0f), Prim::StatusOk);  // 308 exactly
        EXPECT_EQ(kaiser(x.data(), 618, 1.0f), Prim::StatusKaiserAlphaError);
        EXPECT_EQ(kaiser(x.data(), 40, -16.0f), Prim::StatusKaiserAlphaError);
    }
}

// The SSE2 32-bit Kaiser computes in single precision: close, not identical.
TEST(Window, KaiserF32BuildsDifferOnlyInTheLastBits) {
    const std::int32_t len = 1001;
    std::vector<float> x87(std::size_t(len), 1.0f), sse2(std::size_t(len), 1.0f);
    Prim::WinKaiserF32_x87(x87.data(), len, 0.03f);
    Prim::WinKaiserF32_sse2(sse2.data(), len, 0.03f);
    int differing = 0;
    for (std::size_t i = 0; i < x87.size(); ++i) {
        EXPECT_NEAR(sse2[i], x87[i], 3e-5 * x87[i]);
        differing += x87[i] != sse2[i];
    }
    EXPECT_GT(differing, 0);
    // The 64-bit window computes alike in both builds.
    std::vector<double> a(std::size_t(len), 1.0), b(std::size_t(len), 1.0);
    Prim::WinKaiserF64_x87(a.data(), len, 0.03f);
    Prim::WinKaiserF64_sse2(b.data(), len, 0.03f);
    EXPECT_EQ(a, b);
}

// The double wrappers window through a float temporary with the bound build.
TEST(Window, VectorLayerWindowsDoublesThroughFloats) {
    const std::int32_t len = 1001;
    std::vector<double> data(static_cast<std::size_t>(len));
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = 1.0 + 1e-3 * double(i) + 1e-12;
    using WrapperFn = std::function<void(std::int32_t, double*)>;
    using PrimFn = std::function<Prim::Status(float*, std::int32_t)>;
    const std::vector<std::pair<WrapperFn, PrimFn>> pairs = {
        {Vec::WinBartlettF64, Prim::WinBartlettF32},
        {Vec::WinHannF64, Prim::WinHannF32},
        {Vec::WinHammingF64, Prim::WinHammingF32},
        {[](std::int32_t n, double* x) { Vec::WinBlackmanF64(n, x, -0.2f); },
            [](float* x, std::int32_t n) { return Prim::WinBlackmanF32(x, n, -0.2f); }},
    };
    for (const auto& [wrapper, prim] : pairs) {
        std::vector<double> windowed = data;
        wrapper(len, windowed.data());
        std::vector<float> expected(data.begin(), data.end());
        ASSERT_EQ(prim(expected.data(), len), Prim::StatusOk);
        for (std::size_t i = 0; i < windowed.size(); ++i) ASSERT_EQ(windowed[i], double(expected[i])) << i;
    }
}

TEST(Window, VectorLayerClampsToTheFloatRangeAndRefusesBadLengths) {
    std::vector<double> x = {3.0, -1e39, 1e300, 5.0, 7.0};
    Vec::WinHannF64(5, x.data());
    EXPECT_EQ(x[0], 0.0);
    EXPECT_EQ(x[1], -double(FLT_MAX) * 0.5);
    EXPECT_EQ(x[2], double(FLT_MAX));  // the middle is not windowed, only clamped
    EXPECT_EQ(x[4], 0.0);

    std::vector<double> untouched = {1.25, 2.5, 3.75};
    Vec::WinHammingF64(0, untouched.data());
    Vec::WinHammingF64(-4, untouched.data());
    Vec::WinBartlettF64(2, untouched.data());  // refused beneath, data widened back unchanged
    EXPECT_EQ(untouched, (std::vector<double>{1.25, 2.5, 3.75}));
    EXPECT_THROW(Vec::WinHannF64(0x40000000, untouched.data()), std::length_error);
    EXPECT_EQ(untouched, (std::vector<double>{1.25, 2.5, 3.75}));
}

}  // namespace
