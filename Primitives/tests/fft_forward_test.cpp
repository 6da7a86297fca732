// The forward real FFT on doubles, both builds, against a plain long-double DFT.
#include "support/fft_records.h"
#include "support/fft_reference.h"

#include <Primitives/Prim/Fft/FftSpec.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

using namespace FftTest;

namespace {

constexpr double Sentinel = 12345.678;
constexpr double Eps = std::numeric_limits<double>::epsilon();

double Norm2(const std::vector<double>& x) {
    long double sum = 0.0L;
    for (double v : x) sum += static_cast<long double>(v) * v;
    return static_cast<double>(std::sqrt(sum));
}

// Runs the transform into an array with guard values past the N+2 doubles it may write.
struct Outcome {
    std::vector<double> out;
    Prim::Status status;
};

enum class Mode { Separate, InPlace };

template <class B>
Outcome Forward(const std::vector<double>& x, const Prim::FftSpecRealF64* spec, int order, Mode mode, uint8_t* buffer) {
    const uint64_t size = HalfSpectrumSize(order);
    Outcome run{std::vector<double>(size + 8, Sentinel), Prim::StatusOk};
    if (mode == Mode::InPlace) {
        std::copy(x.begin(), x.end(), run.out.begin());
        run.status = B::Forward(run.out.data(), run.out.data(), spec, buffer);
    } else {
        run.status = B::Forward(x.data(), run.out.data(), spec, buffer);
    }
    return run;
}

void ExpectLayout(const std::vector<double>& out, int order) {
    const uint64_t size = HalfSpectrumSize(order);
    EXPECT_EQ(out[1], 0.0);
    EXPECT_FALSE(std::signbit(out[1]));
    EXPECT_EQ(out[size - 1], 0.0);
    for (uint64_t i = size; i < out.size(); ++i)
        ASSERT_EQ(out[i], Sentinel) << "written past the half spectrum at " << i << ", order " << order;
}

void ExpectBins(const std::vector<double>& out, const std::vector<uint64_t>& bins, const DftReference& reference,
    double factor, double tolerance, const char* what) {
    for (uint64_t k : bins) {
        const Cplx expected = reference.Bin(k) * static_cast<long double>(factor);
        const double re = out[2 * k], im = out[2 * k + 1];
        EXPECT_NEAR(re, static_cast<double>(expected.real()), tolerance) << what << " bin " << k;
        EXPECT_NEAR(im, static_cast<double>(expected.imag()), tolerance) << what << " bin " << k;
    }
}

std::vector<uint64_t> BinsToCheck(int order) {
    const uint64_t n = uint64_t{1} << order;
    std::vector<uint64_t> bins;
    if (order <= 12) {
        for (uint64_t k = 0; k <= n / 2; ++k) bins.push_back(k);
        return bins;
    }
    for (uint64_t k : {uint64_t{0}, uint64_t{1}, uint64_t{2}, uint64_t{3}, n / 8 + 1, n / 4 - 1, n / 4, n / 4 + 5,
             n / 3, n / 2 - 1, n / 2})
        bins.push_back(k);
    return bins;
}

template <class B>
void CheckAgainstDft(int firstOrder, int lastOrder) {
    std::vector<uint8_t> block(1 << 19);
    for (int order = firstOrder; order <= lastOrder; ++order) {
        const uint64_t n = uint64_t{1} << order;
        const std::vector<double> x = RandomSignal(n, 1000 + order);
        const DftReference reference(x);
        const std::vector<uint64_t> bins = BinsToCheck(order);
        const double scaleOfError = Norm2(x) * Eps * 2.0 * (order + 1);
        for (int flag : AllFlags) {
            SpecF64 spec = Make<B>(order, flag);
            ASSERT_TRUE(spec);
            int32_t bufSize = -1;
            ASSERT_EQ(B::GetBufSize(spec.get(), &bufSize), Prim::StatusOk);
            ASSERT_LE(bufSize + 1, static_cast<int32_t>(block.size()));
            const double factor = ForwardFactor(order, flag);
            const double tolerance = scaleOfError * factor;
            uint8_t* odd = block.data() + 1;

            Outcome separate = Forward<B>(x, spec.get(), order, Mode::Separate, nullptr);
            ASSERT_EQ(separate.status, Prim::StatusOk);
            ExpectLayout(separate.out, order);
            ExpectBins(separate.out, bins, reference, factor, tolerance, "out of place");

            Outcome inPlace = Forward<B>(x, spec.get(), order, Mode::InPlace, odd);
            ASSERT_EQ(inPlace.status, Prim::StatusOk);
            ExpectLayout(inPlace.out, order);
            EXPECT_EQ(inPlace.out, separate.out) << "in place with an odd buffer, order " << order;

            if (order <= 12) {
                Outcome withBuffer = Forward<B>(x, spec.get(), order, Mode::Separate, odd);
                EXPECT_EQ(withBuffer.out, separate.out) << "odd buffer, order " << order;
            }
            if (::testing::Test::HasFailure()) return;  // one failing order is enough to read
        }
    }
}

template <class B>
class FftForward : public FftCopies<B> {};
TYPED_TEST_SUITE(FftForward, BothBuilds, BuildNames);

}  // namespace

TYPED_TEST(FftForward, EveryBinAgainstLongDoubleDftUpToOrder12) { CheckAgainstDft<TypeParam>(0, 12); }

TYPED_TEST(FftForward, SpotBinsAgainstLongDoubleDftFromOrder13To20) { CheckAgainstDft<TypeParam>(13, 20); }

TYPED_TEST(FftForward, ClosedFormSpectraAtLargeOrders) {
    using B = TypeParam;
    for (int order : {13, 14, 16, 17, 19, 20}) {
        const uint64_t n = uint64_t{1} << order;
        const uint64_t k0 = n / 8 + 3;
        // 0.5 + cos(2 pi k0 n / N) - 0.25 sin(2 pi 3 k0 n / N): three known lines.
        std::vector<double> x(n);
        for (uint64_t j = 0; j < n; ++j) {
            const long double phase =
                2.0L * std::numbers::pi_v<long double> * static_cast<long double>((k0 * j) % n) / n;
            const long double phase3 =
                2.0L * std::numbers::pi_v<long double> * static_cast<long double>((3 * k0 * j) % n) / n;
            x[j] = static_cast<double>(0.5L + std::cos(phase) - 0.25L * std::sin(phase3));
        }
        SpecF64 spec = Make<B>(order, Prim::FftFlagInverse);
        Outcome run = Forward<B>(x, spec.get(), order, Mode::Separate, nullptr);
        ASSERT_EQ(run.status, Prim::StatusOk);
        const double tolerance = Eps * (order + 1) * static_cast<double>(n) / 4.0;  // peaks are N/2
        double worst = 0.0;
        for (uint64_t k = 0; k <= n / 2; ++k) {
            double re = 0.0, im = 0.0;
            if (k == 0) re = 0.5 * n;
            if (k == k0) re = 0.5 * n;
            if (k == 3 * k0) im = 0.125 * n;
            worst = std::max({worst, std::abs(run.out[2 * k] - re), std::abs(run.out[2 * k + 1] - im)});
        }
        EXPECT_LT(worst, tolerance) << "order " << order;
    }
}

TYPED_TEST(FftForward, WorkedExamples) {
    using B = TypeParam;
    struct Case {
        int order, flag;
        std::vector<double> x, want;
    };
    for (const Case& c : std::vector<Case>{{2, Prim::FftFlagInverse, {1, 2, 3, 4}, {10, 0, -2, 2, -2, 0}},
             {2, Prim::FftFlagForward, {1, 2, 3, 4}, {2.5, 0, -0.5, 0.5, -0.5, 0}},
             {1, Prim::FftFlagInverse, {3, 5}, {8, 0, -2, 0}}}) {
        SpecF64 spec = Make<B>(c.order, c.flag);
        std::vector<double> out(c.want.size());
        ASSERT_EQ(B::Forward(c.x.data(), out.data(), spec.get(), nullptr), Prim::StatusOk);
        EXPECT_EQ(out, c.want) << "order " << c.order << " flag " << c.flag;
    }
    {
        SpecF64 spec = Make<B>(3, Prim::FftFlagInverse);
        const double x[8] = {0, 1, 0, 0, 0, 0, 0, 0};
        double out[10];
        ASSERT_EQ(B::Forward(x, out, spec.get(), nullptr), Prim::StatusOk);
        const double r = 0.707107;
        const double expected[10] = {1, 0, r, -r, 0, -1, -r, -r, -1, 0};
        for (int i = 0; i < 10; ++i) EXPECT_NEAR(out[i], expected[i], 5e-7) << i;
    }
    {
        SpecF64 spec = Make<B>(4, Prim::FftFlagInverse);
        double x[16];
        for (int i = 0; i < 16; ++i) x[i] = i;
        double out[18];
        ASSERT_EQ(B::Forward(x, out, spec.get(), nullptr), Prim::StatusOk);
        const double im[8] = {0, 40.218716, 19.313708, 11.972846, 8, 5.345429, 3.313708, 1.591299};
        EXPECT_NEAR(out[0], 120, 1e-12);
        EXPECT_EQ(out[1], 0.0);
        for (int k = 1; k < 8; ++k) {
            EXPECT_NEAR(out[2 * k], -8, 1e-12) << k;
            EXPECT_NEAR(out[2 * k + 1], im[k], 5e-7) << k;
        }
        EXPECT_NEAR(out[16], -8, 1e-12);
        EXPECT_EQ(out[17], 0.0);
    }
    {
        SpecF64 spec = Make<B>(0, Prim::FftFlagNoScale);
        const double x[1] = {7};
        double out[3] = {Sentinel, Sentinel, Sentinel};
        ASSERT_EQ(B::Forward(x, out, spec.get(), nullptr), Prim::StatusOk);
        EXPECT_EQ(out[0], 7);
        EXPECT_EQ(out[1], 0.0);
        EXPECT_EQ(out[2], Sentinel);
    }
}

TYPED_TEST(FftForward, EdgeImaginaryPartsAreZeroEvenForInfinitiesAndNaNs) {
    using B = TypeParam;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int order : {0, 1, 2, 3, 4, 9, 11, 13}) {
        const uint64_t n = uint64_t{1} << order;
        std::vector<double> x = RandomSignal(n, 7);
        x[0] = inf;
        x[n - 1] = nan;
        SpecF64 spec = Make<B>(order, Prim::FftFlagSqrtBoth);
        Outcome run = Forward<B>(x, spec.get(), order, Mode::Separate, nullptr);
        ASSERT_EQ(run.status, Prim::StatusOk);
        ExpectLayout(run.out, order);
    }
}

TYPED_TEST(FftForward, ScalesExactlyOnceOnTheLargeOrderPath) {
    using B = TypeParam;
    for (int order : {10, 11, 12, 13, 15, 20}) {
        const uint64_t n = uint64_t{1} << order;
        std::vector<double> ones(n, 1.0);
        SpecF64 spec = Make<B>(order, Prim::FftFlagForward);
        Outcome run = Forward<B>(ones, spec.get(), order, Mode::Separate, nullptr);
        EXPECT_NEAR(run.out[0], 1.0, 1e-12) << "order " << order;
        EXPECT_NEAR(run.out[2], 0.0, 1e-12) << "order " << order;
    }
}

TYPED_TEST(FftForward, CallersBlockOfExactlyTheReportedSizeAtAnOddAddress) {
    using B = TypeParam;
    // The block ends exactly where the reported size ends (the sanitizer build catches a
    // write past it); the result is the one computed with a buffer of the transform's own.
    for (int order : {11, 12, 13, 15, 22}) {  // 22: two split levels
        const uint64_t n = uint64_t{1} << order;
        SpecF64 spec = Make<B>(order, Prim::FftFlagSqrtBoth);
        int32_t size = 0;
        ASSERT_EQ(B::GetBufSize(spec.get(), &size), Prim::StatusOk);
        ASSERT_GT(size, 0);
        std::vector<uint8_t> heap(static_cast<size_t>(size) + 1);
        uint8_t* block = heap.data() + 1;
        const std::vector<double> x = RandomSignal(n, 31 + order);
        Outcome own = Forward<B>(x, spec.get(), order, Mode::Separate, nullptr);
        Outcome caller = Forward<B>(x, spec.get(), order, Mode::Separate, block);
        ASSERT_EQ(caller.status, Prim::StatusOk);
        EXPECT_EQ(caller.out, own.out) << "order " << order;
        std::vector<double> back(n);
        ASSERT_EQ(B::Inverse(own.out.data(), back.data(), spec.get(), block), Prim::StatusOk);
        for (uint64_t i = 0; i < n; i += n / 64) ASSERT_NEAR(back[i], x[i], 1e-12) << "order " << order << " at " << i;
    }
}

TYPED_TEST(FftForward, StatusOrderAndNothingWrittenOnError) {
    using B = TypeParam;
    SpecF64 spec = Make<B>(5, Prim::FftFlagInverse);
    std::vector<double> x(32, 1.0), out(34, Sentinel);
    EXPECT_EQ(B::Forward(nullptr, nullptr, nullptr, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::Forward(x.data(), out.data(), nullptr, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::Forward(nullptr, out.data(), spec.get(), nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::Forward(x.data(), nullptr, spec.get(), nullptr), Prim::StatusNullPointer);

    // A 32-bit-float record (tag 6), and a record whose tag was changed, are the wrong context
    // even with null data pointers.
    Prim::FftSpecRealF32* single = nullptr;
    ASSERT_EQ(Prim::FftInitAllocRealF32_x87(&single, 5, Prim::FftFlagInverse, 1), Prim::StatusOk);
    SpecF32 singleOwner(single);
    const auto* wrongKind = reinterpret_cast<const Prim::FftSpecRealF64*>(single);
    EXPECT_EQ(B::Forward(nullptr, out.data(), wrongKind, nullptr), Prim::StatusWrongContext);
    EXPECT_EQ(B::Forward(x.data(), out.data(), wrongKind, nullptr), Prim::StatusWrongContext);
    spec->tag = 8;
    EXPECT_EQ(B::Forward(x.data(), out.data(), spec.get(), nullptr), Prim::StatusWrongContext);
    spec->tag = Prim::FftTagRealF64;

    // A record laid out by the other build is refused, by the transforms and the cores.
    SpecF64 other =
        std::is_base_of_v<X87, B> ? Make<Sse2>(5, Prim::FftFlagInverse) : Make<X87>(5, Prim::FftFlagInverse);
    EXPECT_EQ(B::Forward(x.data(), out.data(), other.get(), nullptr), Prim::StatusWrongContext);
    EXPECT_EQ(B::Inverse(x.data(), out.data(), other.get(), nullptr), Prim::StatusWrongContext);
    EXPECT_EQ(B::ForwardCore(x.data(), out.data(), other.get(), nullptr), Prim::StatusWrongContext);
    EXPECT_EQ(B::InverseCore(x.data(), out.data(), other.get(), nullptr), Prim::StatusWrongContext);

    for (double v : out) EXPECT_EQ(v, Sentinel);
}
