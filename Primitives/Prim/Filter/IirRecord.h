#pragma once
// Tags, kinds and area sizes of the recursive-filter records, shared by the set-up and the
// filtering of both builds.
#include <Primitives/Prim/Filter/Iir.h>

#include <cstddef>
#include <cstdint>

namespace Prim::IirRecord {

enum class Kind { Direct, Cascade, Other };

template <class T>
struct Tags;
template <>
struct Tags<float> {
    static constexpr std::uint32_t direct = IirTagDirectF32, cascade = IirTagCascadeF32;
    static constexpr std::int64_t sampleTableWidth = 8;
};
template <>
struct Tags<double> {
    static constexpr std::uint32_t direct = IirTagDirectF64, cascade = IirTagCascadeF64;
    static constexpr std::int64_t sampleTableWidth = 6;
};

template <class T>
Kind KindOf(const IirState<T>& s) {
    if (s.tag == Tags<T>::direct) return Kind::Direct;
    if (s.tag == Tags<T>::cascade) return Kind::Cascade;
    return Kind::Other;
}

// Lanes of a vector register, the width of the SSE2 tables' entries.
template <class T>
inline constexpr std::int64_t Lanes = 16 / sizeof(T);

// Element counts of the areas after the record, for a direct form of order `size` or a cascade
// of `size` sections; the SSE2 tables are empty for the x87 build.
template <class T>
struct Areas {
    std::int64_t taps, dly, tapTable, blockTable, sampleTable, work;

    Areas(Kind kind, std::int64_t size, bool sse2) {
        const bool direct = kind == Kind::Direct;
        taps = direct ? 2 * size + 1 : 5 * size;
        dly = direct ? size + 1 : 2 * size;
        tapTable = !sse2 ? 0 : direct ? Lanes<T> * (size + 1) : 3 * Lanes<T> * size;
        blockTable = !sse2 ? 0 : direct ? 4 * size + 12 : 20 * size;
        sampleTable = sse2 && !direct ? Tags<T>::sampleTableWidth * size : 0;
        work = sse2 ? IirWorkLength : 0;
    }

    static std::int64_t Bytes(std::int64_t count) { return (count * std::int64_t{sizeof(T)} + 15) & ~std::int64_t{15}; }
    static std::int64_t RecordBytes() { return (std::int64_t{sizeof(IirState<T>)} + 15) & ~std::int64_t{15}; }

    std::int64_t TotalBytes() const {
        return RecordBytes() + Bytes(taps) + Bytes(dly) + Bytes(tapTable) + Bytes(blockTable) + Bytes(sampleTable) +
            Bytes(work);
    }
};

}  // namespace Prim::IirRecord
