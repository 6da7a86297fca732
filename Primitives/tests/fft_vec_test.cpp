// The real-FFT functions of the vector layer and their dispatch slots.
#include "support/fft_records.h"
#include "support/fft_reference.h"

#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Vec/Fft.h>
#include <Primitives/Vec/Memory.h>

#include <gtest/gtest.h>

#include <vector>

using namespace FftTest;

TEST(FftVec, CreationAsksForInverseScalingAndHint1) {
    Prim::FftSpecRealF64* spec = nullptr;
    Vec::FftInitAllocRealF64(&spec, 10);
    ASSERT_NE(spec, nullptr);
    EXPECT_EQ(spec->scaleForward, 0);
    EXPECT_EQ(spec->scaleInverse, 1);
    EXPECT_EQ(spec->factor, 1.0 / 1024);
    EXPECT_EQ(spec->hint, 1);
    Vec::FftFreeRealF64(spec);

    Prim::FftSpecRealF32* single = nullptr;
    Vec::FftInitAllocRealF32(&single, 12);
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(single->scaleInverse, 1);
    EXPECT_EQ(single->hint, 1);
    int32_t size = -1;
    Vec::FftGetBufSizeRealF32(single, &size);
    EXPECT_EQ(size, Prim::BoundBuild() == Prim::Build::Sse2 ? 16400 : 16);
    Vec::FftFreeRealF32(single);
}

TEST(FftVec, FailuresLeaveANullRecordAndASizeOfZero) {
    auto* garbage = reinterpret_cast<Prim::FftSpecRealF64*>(0x5a5a5a5a);
    Prim::FftSpecRealF64* spec = garbage;
    Vec::FftInitAllocRealF64(&spec, 31);
    EXPECT_EQ(spec, nullptr);
    spec = garbage;
    Vec::FftInitAllocRealF64(&spec, -3);
    EXPECT_EQ(spec, nullptr);
    Vec::FftInitAllocRealF64(nullptr, 5);  // refused, no crash

    int32_t size = 12345;
    Vec::FftGetBufSizeRealF64(spec, &size);
    EXPECT_EQ(size, 0);
    Vec::FftGetBufSizeRealF64(spec, nullptr);

    Prim::FftSpecRealF32* single = reinterpret_cast<Prim::FftSpecRealF32*>(0x5a5a5a5a);
    Vec::FftInitAllocRealF32(&single, 40);
    EXPECT_EQ(single, nullptr);
    size = 12345;
    Vec::FftGetBufSizeRealF32(single, &size);
    EXPECT_EQ(size, 0);

    // The transform of the null record is refused harmlessly.
    std::vector<double> x(32, 1.0), out(34, 5.0);
    Vec::FftTransformF64(x.data(), out.data(), spec, nullptr);
    EXPECT_EQ(out, std::vector<double>(34, 5.0));
    Vec::FftFreeRealF64(nullptr);
    Vec::FftFreeRealF32(nullptr);
}

TEST(FftVec, TransformAsTheApplicationCallsIt) {
    for (int order : {5, 10, 11, 14, 16}) {
        const uint64_t n = uint64_t{1} << order;
        Prim::FftSpecRealF64* spec = nullptr;
        Vec::FftInitAllocRealF64(&spec, order);
        ASSERT_NE(spec, nullptr);
        int32_t size = -1;
        Vec::FftGetBufSizeRealF64(spec, &size);
        uint8_t* buffer = Vec::AllocU8(size);  // null for a size of 0
        const std::vector<double> x = RandomSignal(n, 42);
        std::vector<double> viaVec(n + 2), direct(n + 2);
        Vec::FftTransformF64(x.data(), viaVec.data(), spec, buffer);
        ASSERT_EQ(Prim::FftForwardRealF64_x87(x.data(), direct.data(), spec, nullptr), Prim::StatusOk);
        EXPECT_EQ(viaVec, direct) << "order " << order;
        Vec::Free(buffer);
        Vec::FftFreeRealF64(spec);
    }
}
