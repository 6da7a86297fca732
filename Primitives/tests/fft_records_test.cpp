// Real-FFT records on doubles and floats: creation, buffer sizes, release, in both builds.
#include "support/fft_records.h"
#include "support/fft_buffer_sizes.h"

#include <Primitives/Prim/Fft/FftSpec.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace FftTest;

namespace {

using InitF64 = Prim::Status (*)(Prim::FftSpecRealF64**, int32_t, int32_t, int32_t);

template <class B>
int32_t MeasureSize(int order) {
    return BufferSize<B>(Make<B>(order, Prim::FftFlagInverse).get());
}

}  // namespace

TEST(FftSpec, BufferSizesOfBothBuildsAndKindsUpToOrder22) {
    for (int order = 0; order <= 22; ++order) {
        const BufferSizes& want = ExpectedBufferSizes[order];
        EXPECT_EQ(MeasureSize<X87>(order), want.f64X87) << "tag 9 x87, order " << order;
        EXPECT_EQ(MeasureSize<Sse2>(order), want.f64Sse2) << "tag 9 SSE2, order " << order;
        EXPECT_EQ(MeasureSize<X87F32>(order), want.f32X87) << "tag 6 x87, order " << order;
        EXPECT_EQ(MeasureSize<Sse2F32>(order), want.f32Sse2) << "tag 6 SSE2, order " << order;
    }
}

TEST(FftSpec, CreationStatusOrder) {
    Prim::FftSpecRealF64* spec = reinterpret_cast<Prim::FftSpecRealF64*>(0x1234);
    EXPECT_EQ(Prim::FftInitAllocRealF64_x87(nullptr, 31, 3, 1), Prim::StatusNullPointer);
    EXPECT_EQ(Prim::FftInitAllocRealF64_x87(nullptr, -1, 2, 1), Prim::StatusNullPointer);
    EXPECT_EQ(Prim::FftInitAllocRealF64_x87(&spec, 31, 3, 1), Prim::StatusFftOrderError);
    EXPECT_EQ(Prim::FftInitAllocRealF64_x87(&spec, -1, 2, 1), Prim::StatusFftOrderError);
    EXPECT_EQ(Prim::FftInitAllocRealF64_sse2(&spec, 31, 2, 1), Prim::StatusFftOrderError);
    for (int flag : {0, 3, 5, 16, -1}) {
        EXPECT_EQ(Prim::FftInitAllocRealF64_x87(&spec, 5, flag, 1), Prim::StatusFftFlagError) << flag;
        EXPECT_EQ(Prim::FftInitAllocRealF64_sse2(&spec, 5, flag, 1), Prim::StatusFftFlagError) << flag;
    }
    EXPECT_EQ(spec, reinterpret_cast<Prim::FftSpecRealF64*>(0x1234)) << "a failed creation wrote the record pointer";

    Prim::FftSpecRealF32* single = reinterpret_cast<Prim::FftSpecRealF32*>(0x5678);
    EXPECT_EQ(Prim::FftInitAllocRealF32_x87(nullptr, 40, 0, 1), Prim::StatusNullPointer);
    EXPECT_EQ(Prim::FftInitAllocRealF32_x87(&single, 40, 0, 1), Prim::StatusFftOrderError);
    EXPECT_EQ(Prim::FftInitAllocRealF32_sse2(&single, 4, 0, 1), Prim::StatusFftFlagError);
    EXPECT_EQ(single, reinterpret_cast<Prim::FftSpecRealF32*>(0x5678));
}

TEST(FftSpec, TablesBeyondTheAllocatorLimitFailWithNoMemory) {
    // Order 30 needs a sine table of 2^28 + 1 doubles, more than 2^31 - 1 bytes.
    Prim::FftSpecRealF64* spec = reinterpret_cast<Prim::FftSpecRealF64*>(0x1234);
    EXPECT_EQ(Prim::FftInitAllocRealF64_x87(&spec, 30, 2, 1), Prim::StatusNoMemory);
    EXPECT_EQ(Prim::FftInitAllocRealF64_sse2(&spec, 30, 2, 1), Prim::StatusNoMemory);
    // Order 28 builds its sine table, bit reversal and the whole second split level before
    // the level-0 matrix (2^31 bytes) is refused; everything built must be released.
    EXPECT_EQ(Prim::FftInitAllocRealF64_x87(&spec, 28, 2, 1), Prim::StatusNoMemory);
    EXPECT_EQ(spec, reinterpret_cast<Prim::FftSpecRealF64*>(0x1234));
}

TEST(FftSpec, FlagsSetScalingAndFactor) {
    struct Case {
        int order, flag, forward, inverse;
        double factor;
    };
    const Case cases[] = {
        {4, 8, 0, 0, 0.0},
        {10, 4, 1, 1, 1.0 / 32},
        {10, 1, 1, 0, 1.0 / 1024},
        {10, 2, 0, 1, 1.0 / 1024},
        {0, 4, 1, 1, 1.0},
        {5, 4, 1, 1, 1.0 / std::sqrt(32.0)},
    };
    for (const Case& c : cases) {
        for (InitF64 init : {Prim::FftInitAllocRealF64_x87, Prim::FftInitAllocRealF64_sse2}) {
            Prim::FftSpecRealF64* spec = nullptr;
            ASSERT_EQ(init(&spec, c.order, c.flag, 77), Prim::StatusOk);
            SpecF64 owner(spec);
            EXPECT_EQ(spec->tag, Prim::FftTagRealF64);
            EXPECT_EQ(spec->order, c.order);
            EXPECT_EQ(spec->hint, 77);
            EXPECT_EQ(spec->scaleForward, c.forward) << c.order << "/" << c.flag;
            EXPECT_EQ(spec->scaleInverse, c.inverse) << c.order << "/" << c.flag;
            EXPECT_EQ(spec->factor, c.factor) << c.order << "/" << c.flag;
        }
        Prim::FftSpecRealF32* single = nullptr;
        ASSERT_EQ(Prim::FftInitAllocRealF32_x87(&single, c.order, c.flag, 1), Prim::StatusOk);
        SpecF32 owner(single);
        EXPECT_EQ(single->tag, Prim::FftTagRealF32);
        EXPECT_EQ(single->factor, static_cast<float>(c.factor)) << c.order << "/" << c.flag;
    }
}

TEST(FftSpec, QueryAndFreeCheckPointersThenTag) {
    SpecF64 spec = MakeX87(8, 2);
    int32_t size = 99;
    EXPECT_EQ(Prim::FftGetBufSizeRealF64_x87(nullptr, nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(Prim::FftGetBufSizeRealF64_x87(spec.get(), nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(Prim::FftGetBufSizeRealF64_x87(nullptr, &size), Prim::StatusNullPointer);
    EXPECT_EQ(Prim::FftFreeRealF64_x87(nullptr), Prim::StatusNullPointer);
    EXPECT_EQ(Prim::FftFreeRealF32_sse2(nullptr), Prim::StatusNullPointer);

    Prim::FftSpecRealF32* single = nullptr;
    ASSERT_EQ(Prim::FftInitAllocRealF32_sse2(&single, 8, 2, 1), Prim::StatusOk);
    SpecF32 singleOwner(single);
    auto* asDouble = reinterpret_cast<Prim::FftSpecRealF64*>(single);
    EXPECT_EQ(Prim::FftGetBufSizeRealF64_x87(asDouble, &size), Prim::StatusWrongContext);
    EXPECT_EQ(size, 99);
    EXPECT_EQ(Prim::FftFreeRealF64_x87(asDouble), Prim::StatusWrongContext);
    EXPECT_EQ(single->tag, Prim::FftTagRealF32) << "a refused free changed the record";
    EXPECT_EQ(Prim::FftGetBufSizeRealF32_sse2(single, &size), Prim::StatusOk);
    EXPECT_EQ(size, 1040);
    EXPECT_EQ(Prim::FftGetBufSizeRealF32_x87(reinterpret_cast<Prim::FftSpecRealF32*>(spec.get()), &size),
        Prim::StatusWrongContext);

    Prim::FftSpecRealF64* released = spec.release();
    EXPECT_EQ(Prim::FftFreeRealF64_x87(released), Prim::StatusOk);
    Prim::FftSpecRealF32* releasedSingle = singleOwner.release();
    EXPECT_EQ(Prim::FftFreeRealF32_sse2(releasedSingle), Prim::StatusOk);
}
