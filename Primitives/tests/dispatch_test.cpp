#include <Primitives/Prim/Arith.h>
#include <Primitives/Prim/ByteCompare.h>
#include <Primitives/Prim/ComplexProduct.h>
#include <Primitives/Prim/Convert.h>
#include <Primitives/Prim/Copy.h>
#include <Primitives/Prim/Dispatch.h>
#include <Primitives/Prim/Division.h>
#include <Primitives/Prim/ExpLnF32.h>
#include <Primitives/Prim/Extremes.h>
#include <Primitives/Prim/Fft/FftRealF32.h>
#include <Primitives/Prim/Fft/FftRealS16.h>
#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Prim/Fft/FftSplitC64.h>
#include <Primitives/Prim/Fft/Mdct.h>
#include <Primitives/Prim/Filter/Convolve.h>
#include <Primitives/Prim/Filter/DotProd.h>
#include <Primitives/Prim/Filter/FirState.h>
#include <Primitives/Prim/Filter/Iir.h>
#include <Primitives/Prim/Filter/Ramp.h>
#include <Primitives/Prim/Filter/Random.h>
#include <Primitives/Prim/Filter/Sample.h>
#include <Primitives/Prim/Filter/Tone.h>
#include <Primitives/Prim/Flip.h>
#include <Primitives/Prim/Image.h>
#include <Primitives/Prim/Interleave.h>
#include <Primitives/Prim/Logarithm.h>
#include <Primitives/Prim/Magnitude.h>
#include <Primitives/Prim/Memory.h>
#include <Primitives/Prim/Normalize.h>
#include <Primitives/Prim/Polar.h>
#include <Primitives/Prim/Reciprocal.h>
#include <Primitives/Prim/ScaledInt.h>
#include <Primitives/Prim/Sum.h>
#include <Primitives/Prim/Threshold.h>
#include <Primitives/Prim/Window.h>

#include <gtest/gtest.h>

namespace {

TEST(Dispatch, BindingTableSelectsSse2OnlyForTypesSixToEight) {
    for (Prim::CpuType type = -3; type <= 40; ++type) {
        const Prim::Build expected = (type >= 6 && type <= 8) ? Prim::Build::Sse2 : Prim::Build::X87;
        EXPECT_EQ(Prim::BuildForCpuType(type), expected) << type;
    }
}

TEST(Dispatch, TableHasOneSlotPerPair) {
    EXPECT_EQ(Prim::VariantSlotCount, 194);
    EXPECT_EQ(Prim::VariantSlot(1), nullptr);
    EXPECT_EQ(Prim::VariantSlot(196), nullptr);
    EXPECT_EQ(Prim::VariantSlot(-5), nullptr);
}

TEST(Dispatch, EntryPointCalledBeforeItsBindingBindsTheSlot) {
    // As if a static initialiser elsewhere ran before this operation's binding.
    const Prim::VariantAddress saved = Prim::VariantTable[int(Prim::Pair::CopyS16) - Prim::FirstPair];
    Prim::VariantTable[int(Prim::Pair::CopyS16) - Prim::FirstPair] = nullptr;
    const auto build = Prim::BoundVariant<Prim::Pair::CopyS16>(&Prim::CopyS16_x87, &Prim::CopyS16_sse2);
    EXPECT_EQ(build, Prim::BoundBuild() == Prim::Build::Sse2 ? &Prim::CopyS16_sse2 : &Prim::CopyS16_x87);
    EXPECT_EQ(Prim::VariantSlot(Prim::Pair::CopyS16), saved);
    std::int16_t a[2] = {1, 2};
    std::int16_t b[2] = {};
    EXPECT_EQ(build(a, b, 2), Prim::StatusOk);
    EXPECT_EQ(b[1], 2);
}

// Every operation built so far sits in the slot of its own pair number, with
// the build the processor's type selects.
TEST(Dispatch, EveryBuiltOperationSitsInItsPairsSlot) {
    struct Slot {
        Prim::Pair pair;
        Prim::VariantAddress x87;
        Prim::VariantAddress sse2;
    };
#define SLOT(op)                                                                 \
    Slot {                                                                       \
        Prim::Pair::op, reinterpret_cast<Prim::VariantAddress>(&Prim::op##_x87), \
            reinterpret_cast<Prim::VariantAddress>(&Prim::op##_sse2)             \
    }
    const Slot slots[] = {SLOT(AddConstInPlaceF32), SLOT(AddConstInPlaceF64), SLOT(AddConstInPlaceScaledS32),
        SLOT(AddInPlaceF32), SLOT(AddInPlaceF64), SLOT(AddInPlaceScaledS16), SLOT(AddConstF32), SLOT(AddConstScaledS32),
        SLOT(AddF32), SLOT(AddF64), SLOT(AddProductF32), SLOT(SubConstInPlaceF32), SLOT(SubConstInPlaceF64),
        SLOT(SubConstRevInPlaceF32), SLOT(SubConstRevInPlaceF64), SLOT(SubInPlaceF32), SLOT(SubInPlaceF64),
        SLOT(MulConstInPlaceF32), SLOT(MulConstInPlaceF64), SLOT(MulConstInPlaceScaledS16), SLOT(MulConstF32),
        SLOT(MulConstF64), SLOT(MulInPlaceF32), SLOT(MulInPlaceF64), SLOT(MulInPlaceC32), SLOT(MulInPlaceC64),
        SLOT(MulF32), SLOT(MulC32), SLOT(DivConstInPlaceF32), SLOT(DivConstInPlaceF64), SLOT(DivInPlaceF32),
        SLOT(DivInPlaceF64), SLOT(DivConstRevF32), SLOT(InterleaveS16), SLOT(InterleaveF32), SLOT(DeinterleaveS16),
        SLOT(DeinterleaveF32), SLOT(LnInPlaceF32), SLOT(LnF64), SLOT(NormalizeF32), SLOT(NormalizeF64),
        SLOT(ThresholdLtGtInPlaceF32), SLOT(MaxF32), SLOT(MaxF64), SLOT(MinF32), SLOT(MinF64), SLOT(SumF32),
        SLOT(MaxIndexF32), SLOT(MinIndexF32), SLOT(MaxEveryInPlaceF32), SLOT(MinEveryInPlaceF32), SLOT(AbsF32),
        SLOT(AbsF64), SLOT(AbsInPlaceF32), SLOT(AbsInPlaceF64), SLOT(MagnitudeC32), SLOT(MagnitudeSplitF64),
        SLOT(PowerSpectrumC32), SLOT(FlipInPlaceF32), SLOT(FlipInPlaceF64), SLOT(FlipF32), SLOT(FlipF64),
        SLOT(InvThreshInPlaceF32), SLOT(InvThreshInPlaceF64), SLOT(InvThreshInPlaceC32), SLOT(InvThreshInPlaceC64),
        SLOT(ThresholdLtInPlaceF32), SLOT(ThresholdLtInPlaceF64), SLOT(ThresholdGtInPlaceF32),
        SLOT(ThresholdGtInPlaceF64), SLOT(ExpF32), SLOT(LnF32), SLOT(PolarToCartC32), SLOT(CartToPolarC32),
        SLOT(NormL2F32), SLOT(WinBartlettF32), SLOT(WinHannF32), SLOT(WinHammingF32), SLOT(WinBlackmanF32),
        SLOT(WinKaiserF32), SLOT(WinKaiserF64), SLOT(FirInitAllocF32), SLOT(FirInitAllocF64),
        SLOT(FirMultirateInitAllocF32), SLOT(FirMultirateInitAllocF64), SLOT(FirGetDelayLineF32),
        SLOT(FirGetDelayLineF64), SLOT(FirSetDelayLineF32), SLOT(FirSetDelayLineF64), SLOT(FirFreeF32),
        SLOT(FirFreeF64), SLOT(FirOneF32), SLOT(FirOneF64), SLOT(FirF32), SLOT(FirInPlaceF32), SLOT(FirF64),
        SLOT(FirInPlaceF64), SLOT(ImageSetU8C4), SLOT(ImageAddConstU8C4), SLOT(ImagePremulAlphaU8C4),
        SLOT(FftInitAllocRealS16), SLOT(FftGetBufSizeRealS16), SLOT(FftForwardRealS16), SLOT(FftInverseRealS16),
        SLOT(FftFreeRealS16), SLOT(ConvolveF32), SLOT(ConvolveF64), SLOT(DotProdF32), SLOT(DotProdF64),
        SLOT(UpSampleF32), SLOT(UpSampleF64), SLOT(DownSampleF32), SLOT(DownSampleF64), SLOT(RampF32), SLOT(ToneF32),
        SLOT(RandUniformInitAllocF32), SLOT(RandUniformF32), SLOT(RandUniformFreeF32), SLOT(RandGaussInitAllocF32),
        SLOT(RandGaussF32), SLOT(RandGaussFreeF32), SLOT(IirInitAllocF32), SLOT(IirInitAllocF64),
        SLOT(IirInitAllocBiquadF32), SLOT(IirInitAllocBiquadF64), SLOT(IirSetTapsF64), SLOT(IirGetDelayLineF32),
        SLOT(IirGetDelayLineF64), SLOT(IirSetDelayLineF32), SLOT(IirSetDelayLineF64), SLOT(IirFreeF32),
        SLOT(IirFreeF64), SLOT(IirOneF32), SLOT(IirOneF64), SLOT(IirF32), SLOT(IirF64), SLOT(IirInPlaceF32),
        SLOT(IirInPlaceF64), SLOT(FftInitAllocSplitC64), SLOT(FftGetBufSizeSplitC64), SLOT(FftForwardSplitC64),
        SLOT(FftInverseSplitC64), SLOT(FftFreeSplitC64), SLOT(MdctInitAllocFwdF32), SLOT(MdctInitAllocInvF32),
        SLOT(MdctFreeFwdF32), SLOT(MdctFreeInvF32), SLOT(MdctGetBufSizeFwdF32), SLOT(MdctGetBufSizeInvF32),
        SLOT(MdctFwdF32), SLOT(MdctInvF32), SLOT(CopyU8), SLOT(CopyS16), SLOT(CopyF32), SLOT(CopyF64), SLOT(MoveU8),
        SLOT(MoveS16), SLOT(MoveF32), SLOT(MoveF64), SLOT(SetU8), SLOT(SetS16), SLOT(SetS32), SLOT(SetF32),
        SLOT(SetF64), SLOT(ZeroU8), SLOT(ZeroS16), SLOT(ZeroF32), SLOT(ZeroF64), SLOT(ConvertU8ToF32),
        SLOT(ConvertS16ToF32), SLOT(ConvertS16ToF64), SLOT(ConvertS32ToF32), SLOT(ConvertS32ToF64),
        SLOT(ConvertF32ToU8), SLOT(ConvertF32ToS16), SLOT(ConvertF32ToS32), SLOT(ConvertF64ToS32),
        SLOT(ConvertF32ToF64), SLOT(ConvertF64ToF32), SLOT(EqualU8), SLOT(FftInitAllocRealF64),
        SLOT(FftGetBufSizeRealF64), SLOT(FftForwardRealF64), SLOT(FftInverseRealF64), SLOT(FftFreeRealF64),
        SLOT(FftInitAllocRealF32), SLOT(FftGetBufSizeRealF32), SLOT(FftForwardRealF32), SLOT(FftInverseRealF32),
        SLOT(FftFreeRealF32)};
#undef SLOT
    const bool sse2 = Prim::BoundBuild() == Prim::Build::Sse2;
    for (const Slot& slot : slots) {
        EXPECT_NE(slot.x87, slot.sse2) << int(slot.pair);
        EXPECT_EQ(Prim::VariantSlot(slot.pair), sse2 ? slot.sse2 : slot.x87) << "pair " << int(slot.pair);
    }
    // The memory operations have one build, whatever the processor.
    EXPECT_EQ(Prim::VariantSlot(Prim::Pair::AllocU8), reinterpret_cast<Prim::VariantAddress>(&Prim::AllocU8Direct));
    EXPECT_EQ(Prim::VariantSlot(Prim::Pair::AllocF32), reinterpret_cast<Prim::VariantAddress>(&Prim::AllocF32Direct));
    EXPECT_EQ(Prim::VariantSlot(Prim::Pair::AllocF64), reinterpret_cast<Prim::VariantAddress>(&Prim::AllocF64Direct));
    EXPECT_EQ(Prim::VariantSlot(Prim::Pair::Free), reinterpret_cast<Prim::VariantAddress>(&Prim::FreeDirect));
}

}  // namespace
