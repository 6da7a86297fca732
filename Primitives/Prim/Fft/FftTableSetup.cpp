#include <Primitives/Prim/Fft/FftTableSetup.h>

#include <Primitives/Prim/Fft/FftMemory.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>
#include <Primitives/Prim/Fft/FftTables.h>

#include <type_traits>

namespace Prim {
namespace {

template <typename T>
constexpr bool IsDouble = std::is_same_v<T, double>;

// The x87 layout of the tables.
template <typename T>
struct X87Build {
    static constexpr int Threshold = IsDouble<T> ? FftX87ThresholdF64 : FftX87ThresholdF32;
    static int32_t* BitRev(int k) { return FftMakeBitRevTable(k); }
    static T* Twiddle(int p, const T* s, int t) { return FftMakeTwiddleX87(p, s, t); }
    static int Split(const FftSpecReal<T>* spec, int p) {
        if constexpr (IsDouble<T>)
            return FftSplitOrderX87F64(spec, p);
        else
            return FftSplitOrderX87F32(p);
    }
    static uint32_t SmallBufSize(int) { return 0; }
    static uint32_t LargeBufBase() { return 16; }
};

template <typename T>
struct Sse2Build {
    static constexpr int Threshold = IsDouble<T> ? FftSse2ThresholdF64 : FftSse2ThresholdF32;
    static int32_t* BitRev(int k) { return FftBitRevTable(k); }
    static T* Twiddle(int p, const T* s, int t) { return FftMakeTwiddleSse2(p, s, t); }
    static FftSse2Split Split(const FftSpecReal<T>* spec, int p) {
        if constexpr (IsDouble<T>)
            return FftSplitSse2F64(spec, p);
        else
            return FftSplitSse2F32(p);
    }
    static uint32_t SmallBufSize(int m) { return static_cast<uint32_t>(sizeof(T) * 2 * (uint64_t{1} << m) + 16); }
    static uint32_t LargeBufBase() { return SmallBufSize(Threshold); }
};

template <typename T>
Status SplitLevelX87(FftSpecReal<T>* spec, int p, const T* sine, int t, int level) {
    using B = X87Build<T>;
    const int d = B::Split(spec, p);
    const int r = p - d;
    if (r > B::Threshold) {
        if (B::Split(spec, r) != 0) {
            Status status = SplitLevelX87(spec, r, sine, t, level + 1);
            if (status != StatusOk) return status;
        } else {
            if (!(spec->tables[FftSlotQuarterRoots] = FftMakeQuarterRoots(r, sine, t))) return StatusNoMemory;
            if (!(spec->tables[FftSlotTwiddle] = B::Twiddle(B::Threshold, sine, t))) return StatusNoMemory;
        }
    } else if (!(spec->tables[FftSlotTwiddle] = B::Twiddle(r, sine, t))) {
        return StatusNoMemory;
    }
    if (!(spec->tables[FftSlotSplitTwiddle0 + level] = B::Twiddle(d, sine, t))) return StatusNoMemory;
    T* matrix = FftAllocArray<T>(2 * (uint64_t{1} << p));
    if (!(spec->tables[FftSlotSplitMatrix0 + level] = matrix)) return StatusNoMemory;

    const uint64_t rowsBytes = 4 * 2 * sizeof(T) * (uint64_t{1} << d);
    T* rows = static_cast<T*>(FftAllocBytes(rowsBytes));
    if (!rows) return StatusNoMemory;
    int32_t* bitRev = FftMakeBitRevTable(d);
    if (!bitRev) {
        FreeDirect(rows);
        return StatusNoMemory;
    }
    FftFillSplitMatrixX87(matrix, p, d, sine, t, rows, bitRev);
    if (rowsBytes > spec->bufSize) spec->bufSize = static_cast<uint32_t>(rowsBytes);
    FreeDirect(rows);
    FreeDirect(bitRev);
    return StatusOk;
}

template <typename T>
Status LargeX87(FftSpecReal<T>* spec, int m, const T* sine, int t) {
    using B = X87Build<T>;
    spec->bufSize = 0;
    if (B::Split(spec, m) != 0) return SplitLevelX87(spec, m, sine, t, 0);
    if (!(spec->tables[FftSlotQuarterRoots] = FftMakeQuarterRoots(m, sine, t))) return StatusNoMemory;
    if (!(spec->tables[FftSlotTwiddle] = B::Twiddle(B::Threshold, sine, t))) return StatusNoMemory;
    return StatusOk;
}

template <typename T>
Status SplitLevelSse2(FftSpecReal<T>* spec, int p, const T* sine, int t, int level) {
    using B = Sse2Build<T>;
    const FftSse2Split split = B::Split(spec, p);
    const int r = p - split.split;
    if (r > B::Threshold) {
        Status status = SplitLevelSse2(spec, r, sine, t, level + 1);
        if (status != StatusOk) return status;
    } else if (!(spec->tables[FftSlotTwiddle] = B::Twiddle(r, sine, t))) {
        return StatusNoMemory;
    }
    T* matrix = FftAllocArray<T>(2 * (uint64_t{1} << p));
    if (!(spec->tables[FftSlotSplitMatrix0 + level] = matrix)) return StatusNoMemory;
    FftFillSplitMatrixSse2(matrix, p, split.split, split.block, sine, t);
    const uint64_t blockBytes = 2 * sizeof(T) * (uint64_t{1} << split.block);
    if (blockBytes > spec->bufSize) spec->bufSize = static_cast<uint32_t>(blockBytes);
    return StatusOk;
}

template <typename T>
Status LargeSse2(FftSpecReal<T>* spec, int m, const T* sine, int t) {
    using B = Sse2Build<T>;
    spec->bufSize = 0;
    if (B::Split(spec, m).split != 0) return SplitLevelSse2(spec, m, sine, t, 0);
    if (!(spec->tables[FftSlotQuarterRoots] = FftMakeQuarterRoots(m, sine, t))) return StatusNoMemory;
    if (!(spec->tables[FftSlotTwiddle] = B::Twiddle(B::Threshold, sine, t))) return StatusNoMemory;
    return StatusOk;
}

template <typename T, typename B, typename Large>
Status InitTables(FftSpecReal<T>* spec, int m, const T* sine, int t, Large large) {
    T* ownSine = nullptr;
    if (!sine) {
        if (!(ownSine = FftMakeSineTable<T>(m))) return StatusNoMemory;
        sine = ownSine;
        t = m;
    }
    Status status = StatusOk;
    if (!(spec->tables[FftSlotBitRev] = B::BitRev(m))) {
        status = StatusNoMemory;
    } else if (m <= B::Threshold) {
        if (!(spec->tables[FftSlotTwiddle] = B::Twiddle(m, sine, t)))
            status = StatusNoMemory;
        else
            spec->bufSize = B::SmallBufSize(m);
    } else {
        status = large(spec, m, sine, t);
        if (status == StatusOk) spec->bufSize += B::LargeBufBase();
    }
    FreeDirect(ownSine);
    return status;
}

}  // namespace

Status FftInitTablesF64_x87(FftSpecRealF64* spec, int m, const double* sine, int t) {
    return InitTables<double, X87Build<double>>(spec, m, sine, t, LargeX87<double>);
}
Status FftInitTablesF64_sse2(FftSpecRealF64* spec, int m, const double* sine, int t) {
    return InitTables<double, Sse2Build<double>>(spec, m, sine, t, LargeSse2<double>);
}
Status FftInitTablesF32_x87(FftSpecRealF32* spec, int m, const float* sine, int t) {
    return InitTables<float, X87Build<float>>(spec, m, sine, t, LargeX87<float>);
}
Status FftInitTablesF32_sse2(FftSpecRealF32* spec, int m, const float* sine, int t) {
    return InitTables<float, Sse2Build<float>>(spec, m, sine, t, LargeSse2<float>);
}

Status FftInitTablesLargeF64_x87(FftSpecRealF64* spec, int m, const double* sine, int t) {
    return LargeX87(spec, m, sine, t);
}
Status FftInitTablesLargeF64_sse2(FftSpecRealF64* spec, int m, const double* sine, int t) {
    return LargeSse2(spec, m, sine, t);
}
Status FftInitTablesLargeF32_x87(FftSpecRealF32* spec, int m, const float* sine, int t) {
    return LargeX87(spec, m, sine, t);
}
Status FftInitTablesLargeF32_sse2(FftSpecRealF32* spec, int m, const float* sine, int t) {
    return LargeSse2(spec, m, sine, t);
}

Status FftInitSplitLevelF64_x87(FftSpecRealF64* spec, int p, const double* sine, int t, int level) {
    return SplitLevelX87(spec, p, sine, t, level);
}
Status FftInitSplitLevelF64_sse2(FftSpecRealF64* spec, int p, const double* sine, int t, int level) {
    return SplitLevelSse2(spec, p, sine, t, level);
}
Status FftInitSplitLevelF32_x87(FftSpecRealF32* spec, int p, const float* sine, int t, int level) {
    return SplitLevelX87(spec, p, sine, t, level);
}
Status FftInitSplitLevelF32_sse2(FftSpecRealF32* spec, int p, const float* sine, int t, int level) {
    return SplitLevelSse2(spec, p, sine, t, level);
}

}  // namespace Prim
