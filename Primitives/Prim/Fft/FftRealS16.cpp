// Records and transforms of the real FFT on 16-bit samples, both builds.
#include <Primitives/Prim/Fft/FftRealS16.h>

#include <Primitives/Prim/BuildServices.h>
#include <Primitives/Prim/Convert.h>
#include <Primitives/Prim/Fft/FftBitRevPoints.h>
#include <Primitives/Prim/Fft/FftKernelsS16.h>
#include <Primitives/Prim/Fft/FftMemory.h>
#include <Primitives/Prim/Fft/FftTables.h>
#include <Primitives/Prim/Fft/FftWorkBuffer.h>

#include <limits>

namespace Prim {
namespace {

// The fixed-point path of each build, and the float FFT, clearing and conversions it nests.
template <Build B>
struct S16Build : BuildServices<float, B> {
    static constexpr int32_t FixedMaxOrder = Pick<B>(FftS16FixedMaxOrderX87, FftS16FixedMaxOrderSse2);
    static constexpr FftS16Rounding Rounding = Pick<B>(FftS16RoundingX87, FftS16RoundingSse2);
    static constexpr auto ToFloat = OpsOf<B>.ConvertS16ToF32;
    static constexpr auto ToS16 = OpsOf<B>.ConvertF32ToS16;
};

void SpecFree(FftSpecRealS16* spec) {
    FftSpecFreeF32(spec->nested);
    FreeDirect(spec->bitRev);
    FreeDirect(spec->twiddleHalf);
    FreeDirect(spec->twiddleFull);
    spec->tag = 0;
    FreeDirect(spec);
}

// The work buffer: N + 2 words and room to align their start.
uint64_t OwnBufferBytes(int order) { return (uint64_t{4} << order) + 24; }

Status FixedTables(FftSpecRealS16* spec, int order) {
    int16_t* sine = FftMakeSineTableS16(order);
    if (!sine) return StatusNoMemory;
    spec->bitRev = FftMakeBitRevTable(order - 1);
    spec->twiddleHalf = FftMakeTwiddleS16(order - 1, sine, order);
    spec->twiddleFull = FftMakeTwiddleS16(order, sine, order);
    FreeDirect(sine);
    if (!spec->bitRev || !spec->twiddleHalf || !spec->twiddleFull) return StatusNoMemory;
    spec->ownTables = 1;
    return StatusOk;
}

template <class B>
Status NestedRecord(FftSpecRealS16* spec, int order, int32_t flag, uint64_t* bytes) {
    Status status = B::FftInit(&spec->nested, order, flag, 0);
    if (status != StatusOk) {
        spec->nested = nullptr;
        return status;
    }
    int32_t nestedSize = 0;
    B::FftBufSize(spec->nested, &nestedSize);
    *bytes += static_cast<uint64_t>(nestedSize);
    return StatusOk;
}

template <class B>
Status InitAlloc(FftSpecRealS16** specOut, int32_t order, int32_t flag, int32_t hint) {
    if (!specOut) return StatusNullPointer;
    if (order < 0 || order > FftMaxOrder) return StatusFftOrderError;
    auto* spec = static_cast<FftSpecRealS16*>(FftAllocBytes(sizeof(FftSpecRealS16)));
    if (!spec) return StatusNoMemory;
    B::ZeroBytes(reinterpret_cast<uint8_t*>(spec), static_cast<int32_t>(sizeof(FftSpecRealS16)));
    spec->tag = FftTagRealS16;
    spec->order = order;
    spec->hint = hint;
    spec->build = B::fftBuild;
    switch (flag) {
    case FftFlagNoScale: break;
    case FftFlagForward: spec->shiftForward = order; break;
    case FftFlagInverse: spec->shiftInverse = order; break;
    case FftFlagSqrtBoth:
        spec->shiftForward = spec->shiftInverse = order / 2;
        spec->halfStep = order & 1;
        break;
    default: SpecFree(spec); return StatusFftFlagError;
    }
    if (order > 0) {
        // Sizes are reported in 32 bits: a record whose buffer would not fit is refused.
        constexpr uint64_t largest = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
        uint64_t bytes = OwnBufferBytes(order);
        const bool fixed = (hint == 0 || hint == 1) && order <= B::FixedMaxOrder;
        Status status = StatusNoMemory;
        if (bytes <= largest) status = fixed ? FixedTables(spec, order) : NestedRecord<B>(spec, order, flag, &bytes);
        if (status == StatusOk && bytes > largest) status = StatusNoMemory;
        if (status != StatusOk) {
            SpecFree(spec);
            return status;
        }
        spec->bufSize = static_cast<int32_t>(bytes);
    }
    *specOut = spec;
    return StatusOk;
}

inline int32_t WrapSum(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapDifference(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

template <class B>
void FixedForward(const int16_t* src, int16_t* dst, const FftSpecRealS16* spec, int32_t scale, int32_t* w) {
    const int order = spec->order;
    const uint32_t n = uint32_t{1} << order;
    const uint32_t half = n / 2;
    const int headroom = 16 - order;
    FftLoadS16ToS32(src, w, n, headroom);
    if (half > 1) {
        FftRadix4S32(w, half, spec->twiddleHalf, B::Rounding);
        FftBitRevInPlaceS32(w, half, spec->bitRev);
        FftRealPostS32(w, half, spec->twiddleFull, B::Rounding);
    }
    const int32_t a = w[0], b = w[1];
    w[0] = WrapSum(a, b);
    w[1] = WrapDifference(a, b);
    if (spec->halfStep) FftScaleInvSqrt2S32(w, n);
    FftStoreS32ToS16(w, dst, n, int64_t{spec->shiftForward} + scale + headroom);
    dst[n] = dst[1];
    dst[n + 1] = 0;
    dst[1] = 0;
}

template <class B>
void FixedInverse(const int16_t* src, int16_t* dst, const FftSpecRealS16* spec, int32_t scale, int32_t* w) {
    const int order = spec->order;
    const uint32_t n = uint32_t{1} << order;
    const uint32_t half = n / 2;
    const int headroom = 16 - order;
    FftLoadS16ToS32(src, w, n + 1, headroom);
    const int32_t x0 = w[0], xHalf = w[n];
    w[0] = WrapSum(x0, xHalf);
    w[1] = WrapDifference(x0, xHalf);
    if (half > 1) {
        FftRealPreInvS32(w, half, spec->twiddleFull, B::Rounding);
        FftRadix4S32(w, half, spec->twiddleHalf, B::Rounding);
    }
    if (spec->halfStep) FftScaleInvSqrt2S32(w, n);
    FftBitRevInPlaceS32(w, half, spec->bitRev);
    FftStoreS32ToS16(w, dst, n, int64_t{spec->shiftInverse} + scale + headroom);
}

template <class B, bool Inverse>
Status Transform(const int16_t* src, int16_t* dst, const FftSpecRealS16* spec, int32_t scale, uint8_t* buffer) {
    if (!spec) return StatusNullPointer;
    if (spec->tag != FftTagRealS16 || spec->build != B::fftBuild) return StatusWrongContext;
    if (!src || !dst) return StatusNullPointer;
    if (spec->order == 0) {
        dst[0] = FftNarrowS32ToS16(src[0], scale);
        if (!Inverse) dst[1] = 0;
        return StatusOk;
    }
    FftWorkBuffer work(buffer, static_cast<uint32_t>(spec->bufSize));
    if (work.Failed()) return StatusNoMemory;
    const int32_t n = int32_t{1} << spec->order;
    if (spec->ownTables) {
        auto* words = reinterpret_cast<int32_t*>(work.Data());
        if (Inverse)
            FixedInverse<B>(src, dst, spec, scale, words);
        else
            FixedForward<B>(src, dst, spec, scale, words);
        return StatusOk;
    }
    // The nested transform runs in place on N + 2 floats; its own buffer follows them.
    auto* floats = reinterpret_cast<float*>(work.Data());
    auto* nestedBuffer = reinterpret_cast<uint8_t*>(floats + n + 2);
    B::ToFloat(src, floats, Inverse ? n + 2 : n, 0);
    const Status status = Inverse ? B::FftInverse(floats, floats, spec->nested, nestedBuffer)
                                  : B::FftForward(floats, floats, spec->nested, nestedBuffer);
    if (status != StatusOk) return status;
    B::ToS16(floats, dst, Inverse ? n : n + 2, RoundModeNearest, scale);
    return StatusOk;
}

Status GetBufSize(const FftSpecRealS16* spec, int32_t* size) {
    if (!spec || !size) return StatusNullPointer;
    if (spec->tag != FftTagRealS16) return StatusWrongContext;
    *size = spec->bufSize;
    return StatusOk;
}

Status Free(FftSpecRealS16* spec) {
    if (!spec) return StatusNullPointer;
    if (spec->tag != FftTagRealS16) return StatusWrongContext;
    SpecFree(spec);
    return StatusOk;
}

}  // namespace

Status FftInitAllocRealS16_x87(FftSpecRealS16** spec, int32_t order, int32_t flag, int32_t hint) {
    return InitAlloc<S16Build<Build::X87>>(spec, order, flag, hint);
}
Status FftInitAllocRealS16_sse2(FftSpecRealS16** spec, int32_t order, int32_t flag, int32_t hint) {
    return InitAlloc<S16Build<Build::Sse2>>(spec, order, flag, hint);
}
Status FftGetBufSizeRealS16_x87(const FftSpecRealS16* spec, int32_t* size) { return GetBufSize(spec, size); }
Status FftGetBufSizeRealS16_sse2(const FftSpecRealS16* spec, int32_t* size) { return GetBufSize(spec, size); }
Status FftForwardRealS16_x87(
    const int16_t* src, int16_t* dst, const FftSpecRealS16* spec, int32_t scale, uint8_t* buffer) {
    return Transform<S16Build<Build::X87>, false>(src, dst, spec, scale, buffer);
}
Status FftForwardRealS16_sse2(
    const int16_t* src, int16_t* dst, const FftSpecRealS16* spec, int32_t scale, uint8_t* buffer) {
    return Transform<S16Build<Build::Sse2>, false>(src, dst, spec, scale, buffer);
}
Status FftInverseRealS16_x87(
    const int16_t* src, int16_t* dst, const FftSpecRealS16* spec, int32_t scale, uint8_t* buffer) {
    return Transform<S16Build<Build::X87>, true>(src, dst, spec, scale, buffer);
}
Status FftInverseRealS16_sse2(
    const int16_t* src, int16_t* dst, const FftSpecRealS16* spec, int32_t scale, uint8_t* buffer) {
    return Transform<S16Build<Build::Sse2>, true>(src, dst, spec, scale, buffer);
}
Status FftFreeRealS16_x87(FftSpecRealS16* spec) { return Free(spec); }
Status FftFreeRealS16_sse2(FftSpecRealS16* spec) { return Free(spec); }

}  // namespace Prim
