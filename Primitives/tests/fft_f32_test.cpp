// The real FFT on 32-bit floats, both builds: public transforms, packed cores and packed
// product against long-double references, the checks, the layouts and the work buffer.
#include "support/fft_floats.h"
#include "support/fft_records.h"

#include <Primitives/Prim/Dispatch.h>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace FftTest;

namespace {

constexpr float Sentinel = 12345.678f;
constexpr double Tolerance = 1e-5;  // times the input's 2-norm
const float NaN = std::numeric_limits<float>::quiet_NaN();

template <class Build>
class FftF32 : public ::testing::Test {};
TYPED_TEST_SUITE(FftF32, BothBuildsF32, BuildNames);

// The packed layout that the cores give for a half spectrum.
std::vector<float> Packed(const std::vector<float>& half, uint64_t n) {
    std::vector<float> packed(half.begin(), half.begin() + n);
    if (n > 1) packed[1] = half[n];
    return packed;
}

}  // namespace

TYPED_TEST(FftF32, EveryOrderAndFlagAgainstALongDoubleDft) {
    using B = TypeParam;
    for (int order = 0; order <= 12; ++order) {
        const uint64_t n = uint64_t{1} << order, size = HalfSpectrumSize(order);
        const std::vector<float> x = RandomFloats(n, 300 + order);
        const std::vector<Cplx> bins = DftReference(std::vector<double>(x.begin(), x.end())).Bins(n / 2 + 1);
        const double norm = Norm2(x);
        for (int flag : AllFlags) {
            SCOPED_TRACE(::testing::Message() << "order " << order << ", flag " << flag);
            SpecF32 spec = Make<B>(order, flag);
            int32_t bufSize = -1;
            ASSERT_EQ(B::GetBufSize(spec.get(), &bufSize), Prim::StatusOk);
            std::vector<uint8_t> block(static_cast<size_t>(bufSize) + 1);
            uint8_t* oddBuffer = block.data() + 1;  // used from its next 16-byte boundary
            const double forward = ForwardFactor(order, flag);

            std::vector<float> out(size + 4, Sentinel);
            ASSERT_EQ(B::Forward(x.data(), out.data(), spec.get(), nullptr), Prim::StatusOk);
            for (uint64_t k = 0; k <= n / 2; ++k) {
                ASSERT_NEAR(out[2 * k], bins[k].real() * forward, Tolerance * norm * forward) << "bin " << k;
                ASSERT_NEAR(out[2 * k + 1], bins[k].imag() * forward, Tolerance * norm * forward) << "bin " << k;
            }
            EXPECT_EQ(out[1], 0.0f);
            EXPECT_EQ(out[size - 1], 0.0f);
            for (uint64_t i = size; i < out.size(); ++i) ASSERT_EQ(out[i], Sentinel) << "written past N + 2";

            std::vector<float> inPlace(x);
            inPlace.resize(size + 4, Sentinel);
            ASSERT_EQ(B::Forward(inPlace.data(), inPlace.data(), spec.get(), oddBuffer), Prim::StatusOk);
            EXPECT_EQ(inPlace, out) << "in place, with the caller's buffer";

            std::vector<float> packed(n + 1, Sentinel);
            ASSERT_EQ(B::ForwardCore(x.data(), packed.data(), spec.get(), oddBuffer), Prim::StatusOk);
            EXPECT_EQ(packed[n], Sentinel);
            packed.resize(n);
            EXPECT_EQ(packed, Packed(out, n)) << "forward core";

            // The floats 1 and N + 1 of the inverse's input are never read.
            std::vector<float> spectrum(out.begin(), out.begin() + size);
            spectrum[1] = spectrum[size - 1] = NaN;
            const double gain = forward * InverseFactor(order, flag) * static_cast<double>(n);
            std::vector<float> back(n + 4, Sentinel);
            ASSERT_EQ(B::Inverse(spectrum.data(), back.data(), spec.get(), nullptr), Prim::StatusOk);
            for (uint64_t i = 0; i < n; ++i) ASSERT_NEAR(back[i], x[i] * gain, Tolerance * norm * gain) << "at " << i;
            for (uint64_t i = n; i < back.size(); ++i) ASSERT_EQ(back[i], Sentinel) << "written past N";
            back.resize(n);

            ASSERT_EQ(B::Inverse(spectrum.data(), spectrum.data(), spec.get(), oddBuffer), Prim::StatusOk);
            EXPECT_EQ(std::vector<float>(spectrum.begin(), spectrum.begin() + n), back) << "inverse in place";
            ASSERT_EQ(B::InverseCore(packed.data(), packed.data(), spec.get(), oddBuffer), Prim::StatusOk);
            EXPECT_EQ(packed, back) << "inverse core";
        }
    }
}

TYPED_TEST(FftF32, WorkedExampleOfOrder2) {
    using B = TypeParam;
    SpecF32 spec = Make<B>(2, Prim::FftFlagInverse);
    const std::vector<float> x = {1, 2, 3, 4};
    std::vector<float> half(6), packed(4), back(4);
    ASSERT_EQ(B::Forward(x.data(), half.data(), spec.get(), nullptr), Prim::StatusOk);
    EXPECT_EQ(half, (std::vector<float>{10, 0, -2, 2, -2, 0}));
    ASSERT_EQ(B::ForwardCore(x.data(), packed.data(), spec.get(), nullptr), Prim::StatusOk);
    EXPECT_EQ(packed, (std::vector<float>{10, -2, -2, 2}));
    ASSERT_EQ(B::InverseCore(packed.data(), back.data(), spec.get(), nullptr), Prim::StatusOk);
    EXPECT_EQ(back, x);
}

TYPED_TEST(FftF32, ChecksInOrderAndWritesNothingOnFailure) {
    using B = TypeParam;
    SpecF32 spec = Make<B>(5, Prim::FftFlagInverse);
    SpecF64 otherTag = MakeX87(5, Prim::FftFlagInverse);
    SpecF32 otherBuild = std::is_same_v<B, X87F32> ? Make<Sse2F32>(5, 2) : Make<X87F32>(5, 2);
    Prim::FftSpecRealF32 noMemory = *spec;  // a buffer the allocator refuses
    noMemory.bufSize = 0xFFFFFFFFu;
    const auto* wrongTag = reinterpret_cast<const Prim::FftSpecRealF32*>(otherTag.get());
    std::vector<float> x(34, 1.0f), out(34, Sentinel);
    for (TransformF32 fn : {B::Forward, B::Inverse, B::ForwardCore, B::InverseCore}) {
        EXPECT_EQ(fn(nullptr, nullptr, nullptr, nullptr), Prim::StatusNullPointer);
        EXPECT_EQ(fn(nullptr, nullptr, wrongTag, nullptr), Prim::StatusWrongContext);
        EXPECT_EQ(fn(x.data(), out.data(), otherBuild.get(), nullptr), Prim::StatusWrongContext);
        EXPECT_EQ(fn(nullptr, out.data(), spec.get(), nullptr), Prim::StatusNullPointer);
        EXPECT_EQ(fn(x.data(), nullptr, spec.get(), nullptr), Prim::StatusNullPointer);
        EXPECT_EQ(fn(x.data(), out.data(), &noMemory, nullptr), Prim::StatusNoMemory);
        EXPECT_EQ(out, std::vector<float>(34, Sentinel));
    }
    // Orders 0 to 3, and any record whose size is 0, leave the caller's buffer alone.
    for (int order : {0, 1, 2, 3, 4, 11}) {
        SpecF32 small = Make<B>(order, Prim::FftFlagSqrtBoth);
        int32_t size = 0;
        ASSERT_EQ(B::GetBufSize(small.get(), &size), Prim::StatusOk);
        if (size != 0) continue;
        std::vector<uint8_t> buffer(64, 0xAB);
        std::vector<float> data(4098, 0.5f);
        ASSERT_EQ(B::Forward(data.data(), data.data(), small.get(), buffer.data()), Prim::StatusOk);
        ASSERT_EQ(B::Inverse(data.data(), data.data(), small.get(), buffer.data()), Prim::StatusOk);
        EXPECT_EQ(buffer, std::vector<uint8_t>(64, 0xAB)) << "order " << order;
    }
}

TYPED_TEST(FftF32, PackedProductAndCircularConvolution) {
    using B = TypeParam;
    struct Case {
        std::vector<float> src, dst, want;
    };
    const Case cases[] = {
        {{3}, {4}, {12}},
        {{3, 5}, {4, 2}, {12, 10}},
        {{2, 1, 2}, {3, 3, 4}, {6, -5, 10}},  // (1 + 2i)(3 + 4i) = -5 + 10i
        {{1, 2, 1, 2, 0, 1, 3, 0, 1, 1, 2, -1}, {2, 3, 3, 4, 1, 1, 0.5f, 2, 1, -1, 4, 4},
            {2, 6, -5, 10, -1, 1, 1.5f, 6, 2, 0, 12, 4}},
    };
    for (const Case& c : cases) {
        std::vector<float> dst = c.dst;
        ASSERT_EQ(B::MulPack(c.src.data(), dst.data(), static_cast<int32_t>(dst.size())), Prim::StatusOk);
        EXPECT_EQ(dst, c.want) << "length " << dst.size();
    }
    float one[2] = {1, 1}, kept[2] = {7, 8};
    EXPECT_EQ(B::MulPack(nullptr, kept, 0), Prim::StatusNullPointer);
    EXPECT_EQ(B::MulPack(one, nullptr, 2), Prim::StatusNullPointer);
    EXPECT_EQ(B::MulPack(one, kept, 0), Prim::StatusSizeError);
    EXPECT_EQ(kept[0], 7.0f);
    EXPECT_EQ(kept[1], 8.0f);

    // Forward cores, product, inverse core of a flag-2 record: the circular convolution.
    for (int order : {1, 3, 4, 9, 12, 16}) {
        const uint64_t n = uint64_t{1} << order;
        const std::vector<float> a = RandomFloats(n, 40 + order), h = RandomFloats(n, 80 + order);
        SpecF32 spec = Make<B>(order, Prim::FftFlagInverse);
        std::vector<float> fa(n), fh(n);
        ASSERT_EQ(B::ForwardCore(a.data(), fa.data(), spec.get(), nullptr), Prim::StatusOk);
        ASSERT_EQ(B::ForwardCore(h.data(), fh.data(), spec.get(), nullptr), Prim::StatusOk);
        ASSERT_EQ(B::MulPack(fa.data(), fh.data(), static_cast<int32_t>(n)), Prim::StatusOk);
        ASSERT_EQ(B::InverseCore(fh.data(), fh.data(), spec.get(), nullptr), Prim::StatusOk);
        const double tolerance = Tolerance * Norm2(a) * Norm2(h);
        for (uint64_t i = 0; i < n; i += 1 + n / 64) {
            long double direct = 0.0L;
            for (uint64_t j = 0; j < n; ++j) direct += static_cast<long double>(a[j]) * h[(i - j) & (n - 1)];
            ASSERT_NEAR(fh[i], static_cast<double>(direct), tolerance) << "order " << order << " at " << i;
        }
    }
}

namespace {

// The spectrum of x through build B, after checking that arrays and buffer four bytes off
// their alignment, and the transforms in place, give the very same floats both ways.
template <class B>
std::vector<float> SpectrumWhateverTheAlignment(int order, const std::vector<float>& x) {
    SCOPED_TRACE(::testing::Message() << "order " << order << ", " << BuildNames::GetName<B>(0));
    const uint64_t n = x.size(), size = n + 2;
    SpecF32 spec = Make<B>(order, Prim::FftFlagSqrtBoth);
    FloatsAt src(n, 0), out(size, 0), back(n, 0);
    std::copy(x.begin(), x.end(), src.data());
    EXPECT_EQ(B::Forward(src.data(), out.data(), spec.get(), nullptr), Prim::StatusOk);
    EXPECT_EQ(B::Inverse(out.data(), back.data(), spec.get(), nullptr), Prim::StatusOk);
    FloatsAt buffer(static_cast<uint64_t>(BufferSize<B>(spec.get())) / 4 + 1, 4);
    auto* work = reinterpret_cast<uint8_t*>(buffer.data());
    FloatsAt offSrc(n, 4), offOut(size, 4), offBack(n, 4), same(size, 4);
    std::copy(x.begin(), x.end(), offSrc.data());
    std::copy(x.begin(), x.end(), same.data());
    EXPECT_EQ(B::Forward(offSrc.data(), offOut.data(), spec.get(), work), Prim::StatusOk);
    EXPECT_EQ(offOut.Values(size), out.Values(size));
    EXPECT_EQ(B::Inverse(offOut.data(), offBack.data(), spec.get(), work), Prim::StatusOk);
    EXPECT_EQ(offBack.Values(n), back.Values(n));
    EXPECT_EQ(B::Forward(same.data(), same.data(), spec.get(), nullptr), Prim::StatusOk);
    EXPECT_EQ(same.Values(size), out.Values(size));
    EXPECT_EQ(B::Inverse(same.data(), same.data(), spec.get(), work), Prim::StatusOk);
    EXPECT_EQ(same.Values(n), back.Values(n));
    return out.Values(size);
}

}  // namespace

TEST(FftF32Builds, AgreeWithinRoundingAndIgnoreAlignment) {
    for (int order : {4, 5, 10, 11, 12, 13, 15, 16, 17}) {
        const std::vector<float> x = RandomFloats(uint64_t{1} << order, 500 + order);
        const std::vector<float> x87 = SpectrumWhateverTheAlignment<X87F32>(order, x);
        const std::vector<float> sse2 = SpectrumWhateverTheAlignment<Sse2F32>(order, x);
        const double tolerance = 2e-6 * Norm2(x);
        for (uint64_t i = 0; i < x87.size(); ++i)
            ASSERT_NEAR(x87[i], sse2[i], tolerance) << "builds differ, order " << order << " at " << i;
    }
}

TEST(FftF32Builds, DirectConvolutionKernelAddsTheDirectSums) {
    const std::pair<int32_t, int32_t> lengths[] = {
        {1, 1}, {7, 3}, {8, 1}, {8, 4}, {9, 6}, {33, 7}, {100, 13}, {700, 64}};
    for (auto [lenX, lenH] : lengths) {
        const std::vector<float> x = RandomFloats(lenX, lenX), h = RandomFloats(lenH, 7 * lenH);
        const int32_t lenOut = lenX + lenH - 1;
        for (uint64_t offset : {0, 4, 8, 12}) {
            FloatsAt dst(lenOut + 1, offset, 0.5f);
            Prim::ConvKernelF32_sse2(x.data(), lenX, h.data(), lenH, dst.data());
            for (int32_t o = 0; o < lenOut; ++o) {
                long double direct = 0.5L;
                for (int32_t j = 0; j < lenH; ++j)
                    if (o - j >= 0 && o - j < lenX) direct += static_cast<long double>(x[o - j]) * h[j];
                ASSERT_NEAR(dst.data()[o], static_cast<double>(direct), 1e-6 * (lenH + 1))
                    << lenX << " x " << lenH << ", offset " << offset << " at " << o;
            }
            EXPECT_EQ(dst.data()[lenOut], 0.5f) << "written past the output";
        }
    }
}
