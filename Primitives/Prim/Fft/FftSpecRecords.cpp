#include <Primitives/Prim/Fft/FftSpec.h>

#include <Primitives/Prim/BuildServices.h>
#include <Primitives/Prim/Fft/FftMemory.h>
#include <Primitives/Prim/Fft/FftSplitC64.h>
#include <Primitives/Prim/Fft/FftTableSetup.h>
#include <Primitives/Prim/Fft/FftTables.h>

#include <cmath>
#include <type_traits>

namespace Prim {
namespace {

template <typename T>
constexpr int32_t TagOf = std::is_same_v<T, double> ? FftTagRealF64 : FftTagRealF32;

template <typename T>
void SpecFree(FftSpecReal<T>* spec) {
    if (!spec) return;
    for (void*& table : spec->tables) {
        FreeDirect(table);
        table = nullptr;
    }
    spec->tag = 0;
    FreeDirect(spec);
}

// What differs between the builds when a record is created: the tables' layout.
template <typename T, Build B>
struct Create : BuildServices<T, B> {
    static constexpr auto Tables =
        PickFor<T, B>(&FftInitTablesF32_x87, &FftInitTablesF32_sse2, &FftInitTablesF64_x87, &FftInitTablesF64_sse2);
    static constexpr auto RealTables = Pick<B>(&FftMakeRealTablesX87<T>, &FftMakeRealTablesSse2<T>);
    static constexpr auto RealRoots = Pick<B>(&FftMakeRealRootsX87<T>, &FftMakeRealRootsSse2<T>);
};

// A zeroed record with its tag, order, hint and the scaling of the creation flag.
template <typename T, typename B>
Status NewRecord(FftSpecReal<T>** out, int32_t tag, int32_t order, int32_t flag, int32_t hint) {
    auto* spec = static_cast<FftSpecReal<T>*>(FftAllocBytes(sizeof(FftSpecReal<T>)));
    if (!spec) return StatusNoMemory;
    B::ZeroBytes(reinterpret_cast<uint8_t*>(spec), static_cast<int32_t>(sizeof(FftSpecReal<T>)));
    spec->tag = tag;
    spec->order = order;
    spec->hint = hint;
    spec->build = B::fftBuild;
    const double n = std::ldexp(1.0, order);
    switch (flag) {
    case FftFlagNoScale: break;
    case FftFlagSqrtBoth:
        spec->scaleForward = spec->scaleInverse = 1;
        spec->factor = static_cast<T>(1.0 / std::sqrt(n));
        break;
    case FftFlagForward:
        spec->scaleForward = 1;
        spec->factor = static_cast<T>(1.0 / n);
        break;
    case FftFlagInverse:
        spec->scaleInverse = 1;
        spec->factor = static_cast<T>(1.0 / n);
        break;
    default: SpecFree(spec); return StatusFftFlagError;
    }
    *out = spec;
    return StatusOk;
}

template <typename T, typename B>
Status InitAlloc(FftSpecReal<T>** specOut, int32_t order, int32_t flag, int32_t hint) {
    if (!specOut) return StatusNullPointer;
    if (order < 0 || order > FftMaxOrder) return StatusFftOrderError;
    FftSpecReal<T>* spec = nullptr;
    if (Status status = NewRecord<T, B>(&spec, TagOf<T>, order, flag, hint); status != StatusOk) return status;
    if (order <= 3) {
        *specOut = spec;
        return StatusOk;
    }
    T* sine = FftMakeSineTable<T>(order);
    if (!sine) {
        SpecFree(spec);
        return StatusNoMemory;
    }
    Status status = B::Tables(spec, order - 1, sine, order);
    if (status == StatusOk) {
        spec->tables[FftSlotRealPost] = B::RealTables(order, sine);
        if (spec->tables[FftSlotRealPost]) spec->tables[FftSlotRealRoots] = B::RealRoots(order, sine);
        if (!spec->tables[FftSlotRealRoots]) status = StatusNoMemory;
    }
    FreeDirect(sine);
    if (status != StatusOk) {
        SpecFree(spec);
        return status;
    }
    *specOut = spec;
    return StatusOk;
}

// The split-complex record: the tables of the full order, none up to order 3.
template <typename B>
Status InitAllocSplit(
    FftSpecRealF64** specOut, int32_t order, int32_t flag, int32_t hint, const FftSplitTable* splits) {
    if (!specOut) return StatusNullPointer;
    if (order < 0 || order > FftMaxOrder) return StatusFftOrderError;
    FftSpecRealF64* spec = nullptr;
    if (Status status = NewRecord<double, B>(&spec, FftTagSplitC64, order, flag, hint); status != StatusOk)
        return status;
    spec->splits = splits;
    if (order > 3) {
        if (Status status = B::Tables(spec, order, nullptr, 0); status != StatusOk) {
            SpecFree(spec);
            return status;
        }
    }
    *specOut = spec;
    return StatusOk;
}

template <typename T>
Status GetBufSize(const FftSpecReal<T>* spec, int32_t* size, int32_t tag = TagOf<T>) {
    if (!size || !spec) return StatusNullPointer;
    if (spec->tag != tag) return StatusWrongContext;
    *size = static_cast<int32_t>(spec->bufSize);
    return StatusOk;
}

template <typename T>
Status FreeReal(FftSpecReal<T>* spec, int32_t tag = TagOf<T>) {
    if (!spec) return StatusNullPointer;
    if (spec->tag != tag) return StatusWrongContext;
    SpecFree(spec);
    return StatusOk;
}

}  // namespace

void FftSpecFreeF64(FftSpecRealF64* spec) { SpecFree(spec); }
void FftSpecFreeF32(FftSpecRealF32* spec) { SpecFree(spec); }

Status FftInitAllocRealF64_x87(FftSpecRealF64** spec, int32_t order, int32_t flag, int32_t hint) {
    return InitAlloc<double, Create<double, Build::X87>>(spec, order, flag, hint);
}
Status FftInitAllocRealF64_sse2(FftSpecRealF64** spec, int32_t order, int32_t flag, int32_t hint) {
    return InitAlloc<double, Create<double, Build::Sse2>>(spec, order, flag, hint);
}
Status FftInitAllocRealF32_x87(FftSpecRealF32** spec, int32_t order, int32_t flag, int32_t hint) {
    return InitAlloc<float, Create<float, Build::X87>>(spec, order, flag, hint);
}
Status FftInitAllocRealF32_sse2(FftSpecRealF32** spec, int32_t order, int32_t flag, int32_t hint) {
    return InitAlloc<float, Create<float, Build::Sse2>>(spec, order, flag, hint);
}

// The two builds check and answer alike; only their tables differ.
Status FftGetBufSizeRealF64_x87(const FftSpecRealF64* spec, int32_t* size) { return GetBufSize(spec, size); }
Status FftGetBufSizeRealF64_sse2(const FftSpecRealF64* spec, int32_t* size) { return GetBufSize(spec, size); }
Status FftGetBufSizeRealF32_x87(const FftSpecRealF32* spec, int32_t* size) { return GetBufSize(spec, size); }
Status FftGetBufSizeRealF32_sse2(const FftSpecRealF32* spec, int32_t* size) { return GetBufSize(spec, size); }
Status FftFreeRealF64_x87(FftSpecRealF64* spec) { return FreeReal(spec); }
Status FftFreeRealF64_sse2(FftSpecRealF64* spec) { return FreeReal(spec); }
Status FftFreeRealF32_x87(FftSpecRealF32* spec) { return FreeReal(spec); }
Status FftFreeRealF32_sse2(FftSpecRealF32* spec) { return FreeReal(spec); }

Status FftInitAllocSplitC64_x87(FftSpecSplitC64** spec, int32_t order, int32_t flag, int32_t hint) {
    return InitAllocSplit<Create<double, Build::X87>>(spec, order, flag, hint, nullptr);
}
Status FftInitAllocSplitC64_sse2(FftSpecSplitC64** spec, int32_t order, int32_t flag, int32_t hint) {
    return InitAllocSplit<Create<double, Build::Sse2>>(spec, order, flag, hint, nullptr);
}
Status FftInitAllocSplitC64WithSplits_x87(
    FftSpecSplitC64** spec, int32_t order, int32_t flag, int32_t hint, const FftSplitTable* splits) {
    return InitAllocSplit<Create<double, Build::X87>>(spec, order, flag, hint, splits);
}
Status FftInitAllocSplitC64WithSplits_sse2(
    FftSpecSplitC64** spec, int32_t order, int32_t flag, int32_t hint, const FftSplitTable* splits) {
    return InitAllocSplit<Create<double, Build::Sse2>>(spec, order, flag, hint, splits);
}
Status FftGetBufSizeSplitC64_x87(const FftSpecSplitC64* spec, int32_t* size) {
    return GetBufSize(spec, size, FftTagSplitC64);
}
Status FftGetBufSizeSplitC64_sse2(const FftSpecSplitC64* spec, int32_t* size) {
    return GetBufSize(spec, size, FftTagSplitC64);
}
Status FftFreeSplitC64_x87(FftSpecSplitC64* spec) { return FreeReal(spec, FftTagSplitC64); }
Status FftFreeSplitC64_sse2(FftSpecSplitC64* spec) { return FreeReal(spec, FftTagSplitC64); }

}  // namespace Prim
