#pragma once
// The radix passes of the portable double transform on two lanes at once (FftDualX87.h).
// They take the stages of the radix pass in the same order with the same roots, so every
// value is the one of the stage-by-stage walk; what changes is that two sub-transforms, or
// two butterflies, share each operation and that the bit reversal, the first two stages, and
// for the single pass the real post-processing, share their sweeps over memory.

#include <Primitives/Prim/Fft/FftDualX87.h>

#include <array>
#include <cstdint>

namespace Prim::FftX87 {

inline constexpr std::array<uint8_t, 256> ReversedBytes = [] {
    std::array<uint8_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = 0;
        for (int b = 0; b < 8; ++b) r |= ((i >> b) & 1u) << (7 - b);
        table[i] = static_cast<uint8_t>(r);
    }
    return table;
}();

// Reverses the low `bits` bits of x (bits up to 16).
inline uint32_t ReverseBits(uint32_t x, int bits) {
    const uint32_t both = uint32_t{ReversedBytes[x & 255]} << 8 | ReversedBytes[(x >> 8) & 255];
    return both >> (16 - bits);
}

// Where the first sweep finds the two lanes of value i.
//
// Gather: the caller's array in natural order, read through the bit reversal: lane 0 of
// position n is value stride * rev(n) of src (counted in complex values), lane 1 the value
// right after it.
struct GatherSource {
    static constexpr bool Reversed = true;
    const double* src;
    uint64_t stride;
    const double* At(uint64_t i) const { return src + 2 * stride * i; }
    static Dual Get(const double* p) { return Zip(Load(p), Load(p + 2)); }
};

// Two runs of interleaved values already in bit-reversed order, turned into planes in place.
struct PlanesSource {
    static constexpr bool Reversed = false;
    const double* lane0;
    const double* lane1;
    Dual Get(uint64_t i) const { return Zip(Load(lane0 + 2 * i), Load(lane1 + 2 * i)); }
};

// Values already in planes.
struct DualSource {
    static constexpr bool Reversed = false;
    const double* re;
    const double* im;
    Dual Get(uint64_t i) const { return LoadDual(re, im, i); }
};

// Where a pass leaves its results: back in the planes it read, or in the same places as two
// runs of interleaved values (lane 0 in the first plane's run, lane 1 in the second's). Put
// receives the places of a position in the planes.
struct PlanesSink {
    static void Put(double* re, double* im, Dual d) {
        Store(re, d.re);
        Store(im, d.im);
    }
};

struct InterleavedSink {
    static void Put(double* re, double* im, Dual d) { StoreLanes(re, im, d); }
};

// The complete transform of two vectors of `count` values (16 to 512) with the record's
// radix-4 twiddle table of that order: the first sweep reads `source`, the stages work in the
// planes (re, im), the last one leaves its results through `sink`.
template <bool Inverse, class Source, class Sink>
void RadixPairPass(Source source, double* re, double* im, uint32_t count, const double* twiddles, Sink sink);

// Two pair passes whose sources share cache lines (the first reads values i and i + 1, the
// second i + 2 and i + 3): their first sweeps go group by group together, so that each line
// is fetched once.
template <bool Inverse, class Sink>
void RadixQuadPass(GatherSource first, double* re0, double* im0, GatherSource second, double* re1, double* im1,
    uint32_t count, const double* twiddles, Sink sink);

// The complete transform of one vector of `count` values (16 to 512) in data: lanes pair value
// x with value x + count/2 until the last stage, whose butterflies go two by two. With a real
// post-processing table (forward only) the last stage also turns the result into the real
// spectrum's packed values 2 .. 2 count - 1, as the real post-processing does.
template <bool Inverse, class Source>
void RadixSinglePass(Source source, double* data, uint32_t count, const double* twiddles, const double* postTable);

// The radix-2 combine stages that join two or four transformed leaves of `leafLength` values
// (the blocked path), with the quarter-circle roots of the joined length. The leaves come in
// planes as RadixPairPass leaves them with a PlanesSink from leaves rev(q), rev(q + 1): leaves
// 0 and 1, or 0 and 2 and then 1 and 3. The result is interleaved.
template <bool Inverse>
void CombineLeaves(double* data, uint32_t leaves, uint32_t leafLength, const double* quarterRoots);
// The forward combine of four leaves followed by the real post-processing of the joined
// transform (values 2 .. 8 leafLength - 1 of the packed layout), in one sweep.
void CombineLeavesWithPost(double* data, uint32_t leafLength, const double* quarterRoots, const double* postTable);

}  // namespace Prim::FftX87
