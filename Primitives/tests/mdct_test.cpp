// The MDCT of both builds against long-double sums, inverse after forward, its records,
// its buffers and its refusals.
#include "support/fft_reference.h"
#include "support/prim_vectors.h"

#include <Primitives/Prim/Fft/Mdct.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

using Floats = PrimTest::Placed<float>;

#define MDCT_BUILD(Name, suffix)                                             \
    struct Name {                                                            \
        static constexpr auto InitFwd = &Prim::MdctInitAllocFwdF32##suffix;  \
        static constexpr auto InitInv = &Prim::MdctInitAllocInvF32##suffix;  \
        static constexpr auto FreeFwd = &Prim::MdctFreeFwdF32##suffix;       \
        static constexpr auto FreeInv = &Prim::MdctFreeInvF32##suffix;       \
        static constexpr auto SizeFwd = &Prim::MdctGetBufSizeFwdF32##suffix; \
        static constexpr auto SizeInv = &Prim::MdctGetBufSizeInvF32##suffix; \
        static constexpr auto Fwd = &Prim::MdctFwdF32##suffix;               \
        static constexpr auto Inv = &Prim::MdctInvF32##suffix;               \
    };
MDCT_BUILD(X87, _x87)
MDCT_BUILD(Sse2, _sse2)
#undef MDCT_BUILD

constexpr uint8_t Guard = 0xA5;

// A record of one direction with a work buffer of exactly the reported size, followed by guards.
template <class B>
struct Mdct {
    Mdct(int32_t length, bool isForward) : n(length), forward(isForward) {
        EXPECT_EQ((forward ? B::InitFwd : B::InitInv)(&spec, n), Prim::StatusOk) << n;
        int32_t size = 0;
        EXPECT_EQ((forward ? B::SizeFwd : B::SizeInv)(spec, &size), Prim::StatusOk);
        buffer.assign(size_t(size) + 64, Guard);
        bytes = size_t(size);
    }
    ~Mdct() {
        if (spec) {
            EXPECT_EQ((forward ? B::FreeFwd : B::FreeInv)(spec), Prim::StatusOk);
        }
    }
    Prim::Status Run(float* data) { return (forward ? B::Fwd : B::Inv)(data, spec, buffer.data()); }
    bool GuardsIntact() const {
        return std::all_of(buffer.begin() + long(bytes), buffer.end(), [](uint8_t b) { return b == Guard; });
    }
    int32_t n;
    bool forward;
    Prim::CosSpecF32* spec = nullptr;
    std::vector<uint8_t> buffer;
    size_t bytes = 0;
};

// cos(2 pi / N (n + 1/2 + N/4)(k + 1/2)) = cos(2 pi j / 8N), j = (4n + 2 + N)(2k + 1) mod 8N.
struct Reference {
    explicit Reference(int32_t length) : n(size_t(length)), cosines(8 * n) {
        for (size_t j = 0; j < 8 * n; ++j) cosines[j] = std::cos(2 * std::numbers::pi_v<long double> * j / (8 * n));
    }
    long double Cos(size_t t, size_t k) const { return cosines[(4 * t + 2 + n) * (2 * k + 1) % (8 * n)]; }
    std::vector<long double> Forward(const std::vector<float>& x) const {
        std::vector<long double> out(n / 2);
        for (size_t k = 0; k < n / 2; ++k)
            for (size_t t = 0; t < n; ++t) out[k] += 2 * x[t] * Cos(t, k);
        return out;
    }
    std::vector<long double> Inverse(const std::vector<float>& spectrum) const {
        std::vector<long double> out(n);
        for (size_t t = 0; t < n; ++t)
            for (size_t k = 0; k < n / 2; ++k) out[t] += 2.0L / n * spectrum[k] * Cos(t, k);
        return out;
    }
    size_t n;
    std::vector<long double> cosines;
};

// Single-precision results: within 2e-6 of the largest magnitude expected.
void ExpectNear(const std::vector<float>& got, const std::vector<long double>& want, const char* what, int32_t n) {
    long double peak = 0;
    for (long double v : want) peak = std::max(peak, std::fabs(v));
    for (size_t i = 0; i < want.size(); ++i)
        ASSERT_NEAR(got[i], double(want[i]), 2e-6 * double(peak)) << what << " length " << n << " index " << i;
}

std::vector<float> Random(size_t count, uint32_t seed) {
    const std::vector<double> values = FftTest::RandomSignal(count, seed);
    return {values.begin(), values.end()};
}

template <class B>
class MdctBuild : public testing::Test {};
using Builds = testing::Types<X87, Sse2>;
TYPED_TEST_SUITE(MdctBuild, Builds);

// Each transform aligned (status 0) and 4 bytes off (status 2, the same bits), against the
// long-double sums; the forward leaves the upper half alone; inverse after forward aliases.
TYPED_TEST(MdctBuild, MatchesLongDoubleSumsAtEveryKindOfLength) {
    for (int32_t n : {12, 32, 36, 64, 256, 4096}) {
        const size_t h = size_t(n) / 2;
        Mdct<TypeParam> forward(n, true), inverse(n, false);
        const Reference reference(n);
        const std::vector<float> x = Random(size_t(n), uint32_t(n));
        const std::vector<float> spectrum = Random(h, uint32_t(n) + 1);
        Floats alignedX(x, 0), offsetX(x, 4);
        ASSERT_EQ(forward.Run(alignedX.data()), Prim::StatusOk);
        ASSERT_EQ(forward.Run(offsetX.data()), Prim::StatusMisalignedWarning);
        ASSERT_EQ(alignedX.Values(size_t(n)), offsetX.Values(size_t(n)));
        ExpectNear(alignedX.Values(h), reference.Forward(x), "forward", n);
        EXPECT_TRUE(std::equal(x.begin() + long(h), x.end(), alignedX.data() + h)) << "upper half written, " << n;

        std::vector<float> padded = spectrum;
        padded.resize(size_t(n));
        Floats wideS(padded, 0), wideOffsetS(padded, 4);
        ASSERT_EQ(inverse.Run(wideS.data()), Prim::StatusOk);
        ASSERT_EQ(inverse.Run(wideOffsetS.data()), Prim::StatusMisalignedWarning);
        ASSERT_EQ(wideS.Values(size_t(n)), wideOffsetS.Values(size_t(n)));
        ExpectNear(wideS.Values(size_t(n)), reference.Inverse(spectrum), "inverse", n);

        ASSERT_EQ(inverse.Run(alignedX.data()), Prim::StatusOk);
        std::vector<long double> aliased(static_cast<size_t>(n));
        for (size_t i = 0; i < h; ++i) {
            aliased[i] = (long double)x[i] - x[h - 1 - i];
            aliased[h + i] = (long double)x[h + i] + x[size_t(n) - 1 - i];
        }
        ExpectNear(alignedX.Values(size_t(n)), aliased, "inverse after forward", n);
        EXPECT_TRUE(forward.GuardsIntact()) << "forward wrote past its buffer, " << n;
        EXPECT_TRUE(inverse.GuardsIntact()) << "inverse wrote past its buffer, " << n;
    }
}

TYPED_TEST(MdctBuild, ImpulseOfLengthTwelve) {
    Mdct<TypeParam> forward(12, true);
    std::vector<float> x(12, 0.0f);
    x[0] = 1;
    ASSERT_EQ(forward.Run(x.data()), Prim::StatusOk);
    const double expected[] = {1.2175229, -1.8477591, -0.2610524, 1.9828897, -0.7653669, -1.5867067};
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(x[size_t(k)], expected[k], 1e-6) << k;
    for (size_t i = 6; i < 12; ++i) EXPECT_EQ(x[i], 0.0f) << i;
}

TYPED_TEST(MdctBuild, AcceptsItsLengthsAndReportsBufferSizes) {
    for (int32_t n : {12, 32, 36, 64, 128, 4096}) {
        Mdct<TypeParam> forward(n, true), inverse(n, false);
        EXPECT_EQ(forward.bytes, size_t(12 * n + 15)) << n;
        EXPECT_EQ(inverse.bytes, size_t(8 * n + 15)) << n;
    }
    // A buffer over 2^31 - 1 bytes could not be reported: refused before anything is made.
    for (int32_t n : {0, -4, 16, 24, 48, 96, 100, 1 << 28, 1 << 30}) {
        const Prim::Status expected = n >= (1 << 28) ? Prim::StatusNoMemory : Prim::StatusSizeError;
        for (auto init : {TypeParam::InitFwd, TypeParam::InitInv}) {
            auto* untouched = reinterpret_cast<Prim::CosSpecF32*>(uintptr_t{0x1234});
            EXPECT_EQ(init(&untouched, n), expected) << n;
            EXPECT_EQ(untouched, reinterpret_cast<Prim::CosSpecF32*>(uintptr_t{0x1234}));
            EXPECT_EQ(init(nullptr, n), Prim::StatusNullPointer) << n;
        }
    }
}

TYPED_TEST(MdctBuild, RefusesNullsAndRecordsOfTheOtherDirection) {
    using B = TypeParam;
    Mdct<B> forward(64, true), inverse(64, false);
    const std::vector<float> x = Random(64, 7);
    std::vector<float> data = x;
    EXPECT_EQ(B::Fwd(data.data(), inverse.spec, forward.buffer.data()), Prim::StatusWrongContext);
    EXPECT_EQ(B::Inv(data.data(), forward.spec, inverse.buffer.data()), Prim::StatusWrongContext);
    EXPECT_EQ(B::Fwd(data.data(), forward.spec, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::Fwd(data.data(), inverse.spec, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::Inv(nullptr, inverse.spec, inverse.buffer.data()), Prim::StatusNullPointer);
    EXPECT_EQ(B::Inv(data.data(), nullptr, inverse.buffer.data()), Prim::StatusNullPointer);
    EXPECT_EQ(data, x);

    int32_t size = -1;
    EXPECT_EQ(B::SizeFwd(inverse.spec, &size), Prim::StatusWrongContext);
    EXPECT_EQ(B::SizeInv(forward.spec, &size), Prim::StatusWrongContext);
    EXPECT_EQ(B::SizeFwd(nullptr, &size), Prim::StatusNullPointer);
    EXPECT_EQ(B::SizeInv(inverse.spec, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(size, -1);
    // A refused release frees nothing: the records are released once more, properly.
    EXPECT_EQ(B::FreeFwd(inverse.spec), Prim::StatusWrongContext);
    EXPECT_EQ(B::FreeInv(forward.spec), Prim::StatusWrongContext);
    EXPECT_EQ(B::FreeFwd(nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(B::FreeInv(nullptr), Prim::StatusNullPointer);
}

}  // namespace
