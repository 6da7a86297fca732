// The passes of the portable double transform on W lanes at once (FftDualX87.h). They take
// the stages of the radix pass in the same order with the same roots, so every value is the
// one of the stage-by-stage walk; what changes is that W sub-transforms, or W butterflies,
// share each operation and that the bit reversal, the first two stages, and for the single
// pass the real post-processing, share their sweeps over memory.
//
// The passes are written once and compiled twice by FftPassesX87.cpp: with two lanes for any
// processor, and with four for processors with AVX (its 32-byte registers hold four doubles;
// without fused multiply-adds every operation rounds as before). Each copy lives in its own
// namespace, FFT_X87_COPY, so that nothing compiled for AVX is ever linked in place of the
// other copy. Hence no include guard around the copy: only the shared part is guarded.

#ifndef PRIM_FFT_PASSES_X87_SHARED
#define PRIM_FFT_PASSES_X87_SHARED

#include <Primitives/Prim/Fft/FftComplexX87.h>
#include <Primitives/Prim/Fft/FftKernelsF64X87.h>
#include <Primitives/Prim/Fft/FftSpec.h>
#include <Primitives/Prim/Fft/FftSpecAccess.h>
#include <Primitives/Prim/Fft/FftSplitOrders.h>
#include <Primitives/Prim/Fft/FftTables.h>

#include <array>
#include <bit>
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

inline bool OddOrder(uint32_t count) { return std::countr_zero(count) % 2 != 0; }

constexpr uint32_t LeafLength = 512;
constexpr uint32_t MaxPassLength = 512;  // the longest radix pass: 2^9 values

}  // namespace Prim::FftX87

#endif  // PRIM_FFT_PASSES_X87_SHARED

#ifdef FFT_X87_COPY

#include <Primitives/Prim/Fft/FftDualX87.h>

namespace Prim::FftX87::FFT_X87_COPY {

// Values in planes: value n's lanes at re + W n and im + W n.
struct Planes {
    double* re;
    double* im;
};

inline Lanes LoadAt(Planes p, uint64_t n) { return {LoadVec(p.re + W * n), LoadVec(p.im + W * n)}; }
inline void StoreAt(Planes p, uint64_t n, Lanes d) {
    StoreVec(p.re + W * n, d.re);
    StoreVec(p.im + W * n, d.im);
}

// Planes of up to `Positions` positions for the passes of one call, when they cannot lie in
// the caller's array.
template <uint32_t Positions>
struct Scratch {
    alignas(32) double data[2 * W * Positions];
    Planes For(uint32_t positions) { return {data, data + W * uint64_t{positions}}; }
};

// Where the first sweep finds the lanes of value i.
//
// Gather: the caller's array in natural order, read through the bit reversal: lane l of
// position n is value stride * rev(n) + rev(l) of src (counted in complex values): W
// consecutive values.
struct GatherSource {
    static constexpr bool Reversed = true;
    const double* src;
    uint64_t stride;
    const double* At(uint64_t i) const { return src + 2 * stride * i; }
    static Lanes Get(const double* p) { return LoadRun(p); }
};

// W runs of interleaved values already in bit-reversed order, one per lane.
struct RunsSource {
    static constexpr bool Reversed = false;
    const double* runs[W];
    Lanes Get(uint64_t i) const {
        return PickEach([&](int l) { return runs[l] + 2 * i; });
    }
};

// Values already in planes.
struct PlanesSource {
    static constexpr bool Reversed = false;
    Planes planes;
    Lanes Get(uint64_t i) const { return LoadAt(planes, i); }
};

// Where a pass leaves its results: back in the planes it read, or as W runs of interleaved
// values, one per lane. With two lanes the runs may be the places of the planes themselves:
// position n of both planes holds exactly the two values n of the runs, so a pass turns one
// form into the other in place.
struct PlanesSink {
    static void Put(Planes p, uint64_t n, Lanes d) { StoreAt(p, n, d); }
};

struct RunsSink {
    double* runs[W];
    void Put(Planes, uint64_t n, Lanes d) const {
        ScatterEach([&](int l) { return runs[l] + 2 * n; }, d);
    }
};

// The distance in doubles between the values i and i + groups of a reversing source (the
// others read by position).
template <class Source>
uint64_t GatherStep(const Source& source, uint64_t groups) {
    if constexpr (Source::Reversed)
        return static_cast<uint64_t>(source.At(groups) - source.At(0));
    else
        return groups;
}

// Where a first sweep reads and writes: its source and the planes of its results.
template <class Source>
struct Sweep {
    Source source;
    Planes planes;
};

// The first position of group g of the first sweep. A reversing source is read in its own
// order (group g there feeds group rev(g) of the sweep), so that each of the values a group
// reads comes from a run that the processor sees coming.
template <class Source>
inline uint64_t FirstPosition(uint32_t g, int bits, uint64_t size) {
    return size * (Source::Reversed ? ReverseBits(g, bits) : g);
}

// Group g of the span-4 stage: four consecutive positions, read through the source.
template <bool Inverse, class Source>
__attribute__((always_inline)) inline void FirstGroup4(Sweep<Source> sweep, uint32_t g, int bits, uint64_t step) {
    const Source& source = sweep.source;
    Lanes x0, x1, x2, x3;
    if constexpr (Source::Reversed) {
        // rev(4 rev(g) + c) = g + rev2(c) * groups
        const double* p = source.At(g);
        x0 = Source::Get(p);
        x1 = Source::Get(p + 2 * step);
        x2 = Source::Get(p + step);
        x3 = Source::Get(p + 3 * step);
    } else {
        x0 = source.Get(4 * g);
        x1 = source.Get(4 * g + 1);
        x2 = source.Get(4 * g + 2);
        x3 = source.Get(4 * g + 3);
    }
    Butterfly4<Inverse>(x0, x1, x2, x3);
    const uint64_t n = FirstPosition<Source>(g, bits, 4);
    StoreAt(sweep.planes, n, x0);
    StoreAt(sweep.planes, n + 1, x1);
    StoreAt(sweep.planes, n + 2, x2);
    StoreAt(sweep.planes, n + 3, x3);
}

// Group g of the span-4 and span-8 stages: eight consecutive positions. w1 and w3 are W_8^1
// and W_8^3; W_8^2 = -i needs no product.
template <bool Inverse, class Source>
__attribute__((always_inline)) inline void FirstGroup8(
    Sweep<Source> sweep, uint32_t g, int bits, uint64_t step, Lanes w1, Lanes w3) {
    const Source& source = sweep.source;
    Lanes a0, a1, a2, a3, b0, b1, b2, b3;
    if constexpr (Source::Reversed) {
        // rev(8 rev(g) + c) = g + rev3(c) * groups
        const double* p = source.At(g);
        a0 = Source::Get(p);
        a1 = Source::Get(p + 4 * step);
        a2 = Source::Get(p + 2 * step);
        a3 = Source::Get(p + 6 * step);
        b0 = Source::Get(p + step);
        b1 = Source::Get(p + 5 * step);
        b2 = Source::Get(p + 3 * step);
        b3 = Source::Get(p + 7 * step);
    } else {
        a0 = source.Get(8 * g);
        a1 = source.Get(8 * g + 1);
        a2 = source.Get(8 * g + 2);
        a3 = source.Get(8 * g + 3);
        b0 = source.Get(8 * g + 4);
        b1 = source.Get(8 * g + 5);
        b2 = source.Get(8 * g + 6);
        b3 = source.Get(8 * g + 7);
    }
    Butterfly4<Inverse>(a0, a1, a2, a3);
    Butterfly4<Inverse>(b0, b1, b2, b3);
    const Lanes t1 = Mul<Inverse>(b1, w1);
    const Lanes t3 = Mul<Inverse>(b3, w3);
    // a2 -+ i b2 (forward -i, inverse +i)
    const Lanes minus = {a2.re + b2.im, a2.im - b2.re};
    const Lanes plus = {a2.re - b2.im, a2.im + b2.re};
    const Planes planes = sweep.planes;
    const uint64_t n = FirstPosition<Source>(g, bits, 8);
    StoreAt(planes, n, a0 + b0);
    StoreAt(planes, n + 1, a1 + t1);
    StoreAt(planes, n + 2, Inverse ? plus : minus);
    StoreAt(planes, n + 3, a3 + t3);
    StoreAt(planes, n + 4, a0 - b0);
    StoreAt(planes, n + 5, a1 - t1);
    StoreAt(planes, n + 6, Inverse ? minus : plus);
    StoreAt(planes, n + 7, a3 - t3);
}

// The span-4 stage and, for odd orders, the span-8 radix-2 stage, in one sweep that also
// reads the values from their source: each group of four (eight) positions passes through
// both stages in registers. Several sweeps of the same length (whose sources share cache
// lines) go group by group together. (The sweeps are copied so that their pointers stay in
// registers: a store through one of them could otherwise be taken to change them.)
template <bool Inverse, int N, class Source>
void FirstStages(const Sweep<Source> (&given)[N], uint32_t positions, uint32_t count, const double* twiddles) {
    Sweep<Source> sweeps[N];
    for (int i = 0; i < N; ++i) sweeps[i] = given[i];
    if (!OddOrder(count)) {
        const uint32_t groups = positions / 4;
        const int bits = std::countr_zero(groups);
        const uint64_t step = GatherStep(sweeps[0].source, groups);
        for (uint32_t g = 0; g < groups; ++g) {
#pragma GCC unroll 2
            for (int i = 0; i < N; ++i) FirstGroup4<Inverse>(sweeps[i], g, bits, step);
        }
        return;
    }
    // W_8^1 = (h, -h) is entry count/8 of the table; W_8^2 = -i and W_8^3 = (-h, -h) follow.
    const double h = twiddles[6 * (count / 8)];
    const double hi = twiddles[6 * (count / 8) + 1];
    const Lanes w1 = Broadcast(Cplx{h, hi});
    const Lanes w3 = Broadcast(Cplx{-h, hi});
    const uint32_t groups = positions / 8;
    const int bits = std::countr_zero(groups);
    const uint64_t step = GatherStep(sweeps[0].source, groups);
    for (uint32_t g = 0; g < groups; ++g) {
#pragma GCC unroll 2
        for (int i = 0; i < N; ++i) FirstGroup8<Inverse>(sweeps[i], g, bits, step, w1, w3);
    }
}

template <bool Inverse, class Source>
void FirstStages(Source source, Planes planes, uint32_t positions, uint32_t count, const double* twiddles) {
    const Sweep<Source> sweeps[1] = {{source, planes}};
    FirstStages<Inverse>(sweeps, positions, count, twiddles);
}

// One butterfly of a radix-4 stage from position n of the planes: its four positions are a
// quarter span q apart.
template <bool Inverse, bool Twiddled, class Sink>
__attribute__((always_inline)) inline void Radix4Butterfly(
    Planes planes, uint64_t n, uint64_t q, const Lanes* roots, Sink out) {
    Lanes a = LoadAt(planes, n);
    Lanes b = LoadAt(planes, n + q);
    Lanes c = LoadAt(planes, n + 2 * q);
    Lanes d = LoadAt(planes, n + 3 * q);
    if constexpr (Twiddled) {
        b = Mul<Inverse>(b, roots[1]);
        c = Mul<Inverse>(c, roots[0]);
        d = Mul<Inverse>(d, roots[2]);
    }
    Butterfly4<Inverse>(a, b, c, d);
    out.Put(planes, n, a);
    out.Put(planes, n + q, b);
    out.Put(planes, n + 2 * q, c);
    out.Put(planes, n + 3 * q, d);
}

// The roots of entry w of the radix-4 table, for every lane: W^j, W^2j, W^3j. Table entries
// are 48 bytes from a 32-byte aligned start.
inline void LoadRoots(const double* w, Lanes roots[3]) {
    const double* aligned = static_cast<const double*>(__builtin_assume_aligned(w, 16));
    roots[0] = Broadcast(Load(aligned));
    roots[1] = Broadcast(Load(aligned + 2));
    roots[2] = Broadcast(Load(aligned + 4));
}

// One radix-4 stage of the given span over `positions` values in the planes, every lane
// taking the same roots: W_span^j from entry j * count / span. Butterfly j of every group
// takes the same roots, so the groups are the inner loop; a stage of one group (the last of a
// pass) has none.
template <bool Inverse, class Sink>
void Radix4Stage(Planes planes, uint32_t positions, uint32_t span, uint32_t count, const double* twiddles, Sink out) {
    const uint64_t q = span / 4;
    const uint64_t rootStep = 6 * uint64_t{count / span};
    Lanes roots[3];
    if (span == positions) {
        Radix4Butterfly<Inverse, false>(planes, 0, q, roots, out);
        const double* w = twiddles + rootStep;
        for (uint64_t j = 1; j < q; ++j, w += rootStep) {
            LoadRoots(w, roots);
            Radix4Butterfly<Inverse, true>(planes, j, q, roots, out);
        }
        return;
    }
    const uint64_t end = positions;
    const uint64_t groupStep = span;
    for (uint64_t o = 0; o < end; o += groupStep) Radix4Butterfly<Inverse, false>(planes, o, q, roots, out);
    const double* w = twiddles + rootStep;
    for (uint64_t j = 1; j < q; ++j, w += rootStep) {
        LoadRoots(w, roots);
        for (uint64_t o = j; o < end; o += groupStep) Radix4Butterfly<Inverse, true>(planes, o, q, roots, out);
    }
}

// The radix-4 stages after the first sweep of a pass over W whole vectors.
template <bool Inverse, class Sink>
void LaterStages(Planes planes, uint32_t count, const double* twiddles, Sink sink) {
    uint32_t span = OddOrder(count) ? 32 : 16;
    for (; span < count; span *= 4) Radix4Stage<Inverse>(planes, count, span, count, twiddles, PlanesSink{});
    Radix4Stage<Inverse>(planes, count, count, count, twiddles, sink);
}

// The complete transform of W vectors of `count` values (16 to 512) with the record's radix-4
// twiddle table of that order: the first sweep reads `source`, the stages work in the planes,
// the last one leaves its results through `sink`.
template <bool Inverse, class Source, class Sink>
void RadixLanesPass(Source source, Planes planes, uint32_t count, const double* twiddles, Sink sink) {
    FirstStages<Inverse>(source, planes, count, count, twiddles);
    LaterStages<Inverse>(planes, count, twiddles, sink);
}

// Two such passes whose sources share cache lines (two lanes: the first reads values i and
// i + 1, the second i + 2 and i + 3): their first sweeps go group by group together, so that
// each line is fetched once.
template <bool Inverse, class Sink>
void RadixTwoLanesPasses(GatherSource first, Planes planes0, Sink sink0, GatherSource second, Planes planes1,
    Sink sink1, uint32_t count, const double* twiddles) {
    const Sweep<GatherSource> sweeps[2] = {{first, planes0}, {second, planes1}};
    FirstStages<Inverse>(sweeps, count, count, twiddles);
    LaterStages<Inverse>(planes0, count, twiddles, sink0);
    LaterStages<Inverse>(planes1, count, twiddles, sink1);
}

// The single pass: one vector of `count` values (16 to 512) whose lanes are its W parts
// (value x of part l is value x + l count/W of the vector) until the last stage, which joins
// the parts. Value i of the vector sits at lane i / P, position i % P of the planes, P = count/W.

// Last stage for a butterfly j alone (j = 0 and, with two lanes, j = count/8).
template <bool Inverse>
void LastButterflyAlone(
    Planes planes, double* dst, uint32_t count, uint64_t j, const double* twiddles, const double* post) {
    const uint64_t q = count / 4;
    const uint64_t positions = count / W;
    auto value = [&](uint64_t i) {
        const uint64_t at = W * (i % positions) + i / positions;
        return Cplx{planes.re[at], planes.im[at]};
    };
    Cplx a = value(j), b = value(j + q), c = value(j + 2 * q), d = value(j + 3 * q);
    if (j != 0) {
        const double* w = twiddles + 6 * j;
        b = FftX87::Mul(b, LoadRoot<Inverse>(w + 2));
        c = FftX87::Mul(c, LoadRoot<Inverse>(w));
        d = FftX87::Mul(d, LoadRoot<Inverse>(w + 4));
    }
    const Cplx s0 = a + b, s1 = a - b, s2 = c + d, s3 = c - d;
    const Cplx r = TimesMinusI(s3);
    Cplx x0 = s0 + s2, x1 = Inverse ? s1 - r : s1 + r, x2 = s0 - s2, x3 = Inverse ? s1 + r : s1 - r;
    if (post) {
        if (j == 0) {
            // values q and 3q pair as k = q; value 2q is the middle one.
            PostOne(x1, x3, post + 2 * q, x1, x3);
            x2 = Conj(x2);
        } else {
            // values j, 7j and 3j, 5j (j = count/8)
            PostOne(x0, x3, post + 2 * j, x0, x3);
            PostOne(x1, x2, post + 2 * (j + q), x1, x2);
        }
    }
    Store(dst + 2 * j, x0);
    Store(dst + 2 * (j + q), x1);
    Store(dst + 2 * (j + 2 * q), x2);
    Store(dst + 2 * (j + 3 * q), x3);
}

// The last stage of the single pass. Its lanes take butterflies j, j + 1, ... (W/2 of them)
// and their mirrors q - j, q - j - 1, ...: the outputs of a butterfly and of its mirror are
// the partners k and M - k of the real post-processing (j with M - j from the fourth output
// of q - j, and so on), so they meet by exchanging the halves of the lanes. With four lanes
// the last group reaches j = count/8, which is its own mirror: that butterfly then runs in
// two lanes, which store the same values.
template <bool Inverse, bool WithPost>
void LastStage(Planes planes, double* dst, uint32_t count, const double* twiddles, const double* post) {
    const uint64_t q = count / 4;
    const uint64_t eighth = count / 8;
    constexpr int Half = W / 2;
    LastButterflyAlone<Inverse>(planes, dst, count, 0, twiddles, post);
    if constexpr (W == 2) LastButterflyAlone<Inverse>(planes, dst, count, eighth, twiddles, post);
    for (uint64_t j = 1; j < eighth; j += Half) {
        auto at = [&](int l) { return l < Half ? j + l : q - j - (l - Half); };
        // The four values of each butterfly: with two lanes the halves of the planes hold values
        // (n, n + 2q), with four their quarters (n, n + q, n + 2q, n + 3q).
        Lanes a, b, c, d;
        if constexpr (W == 2) {
            const Lanes re0 = PickEach([&](int l) { return planes.re + 2 * at(l); });
            const Lanes im0 = PickEach([&](int l) { return planes.im + 2 * at(l); });
            const Lanes re1 = PickEach([&](int l) { return planes.re + 2 * (at(l) + q); });
            const Lanes im1 = PickEach([&](int l) { return planes.im + 2 * (at(l) + q); });
            a = {re0.re, im0.re};
            c = {re0.im, im0.im};
            b = {re1.re, im1.re};
            d = {re1.im, im1.im};
        } else {
            const Lanes re0 = PickEach([&](int l) { return planes.re + 4 * at(l); });
            const Lanes im0 = PickEach([&](int l) { return planes.im + 4 * at(l); });
            const Lanes re1 = PickEach([&](int l) { return planes.re + 4 * at(l) + 2; });
            const Lanes im1 = PickEach([&](int l) { return planes.im + 4 * at(l) + 2; });
            a = {re0.re, im0.re};
            b = {re0.im, im0.im};
            c = {re1.re, im1.re};
            d = {re1.im, im1.im};
        }
        b = Mul<Inverse>(b, PickEach([&](int l) { return twiddles + 6 * at(l) + 2; }));
        c = Mul<Inverse>(c, PickEach([&](int l) { return twiddles + 6 * at(l); }));
        d = Mul<Inverse>(d, PickEach([&](int l) { return twiddles + 6 * at(l) + 4; }));
        Butterfly4<Inverse>(a, b, c, d);
        // Lanes: a at values at(l), b at at(l) + q, c at at(l) + 2q, d at at(l) + 3q.
        if constexpr (WithPost) {
            // Value j pairs with M - j = (q - j) + 3q: a meets d with its halves exchanged;
            // likewise b (j + q) meets c (M - j - q = (q - j) + 2q).
            Lanes lo, hi;
            Lanes pq = PickEach([&](int l) { return post + 2 * at(l); });
            PostPair(a, SwapHalves(d), pq.re, pq.im, lo, hi);
            ScatterEach([&](int l) { return dst + 2 * at(l); }, lo);
            ScatterEach([&](int l) { return dst + 2 * (count - at(l)); }, hi);
            pq = PickEach([&](int l) { return post + 2 * (at(l) + q); });
            PostPair(b, SwapHalves(c), pq.re, pq.im, lo, hi);
            ScatterEach([&](int l) { return dst + 2 * (at(l) + q); }, lo);
            ScatterEach([&](int l) { return dst + 2 * (count - q - at(l)); }, hi);
        } else {
            ScatterEach([&](int l) { return dst + 2 * at(l); }, a);
            ScatterEach([&](int l) { return dst + 2 * (at(l) + q); }, b);
            ScatterEach([&](int l) { return dst + 2 * (at(l) + 2 * q); }, c);
            ScatterEach([&](int l) { return dst + 2 * (at(l) + 3 * q); }, d);
        }
    }
}

// The complete transform of one vector of `count` values (16 to 512) into dst, the passes
// working in `planes` (with two lanes they may be dst itself). With a real post-processing
// table (forward only) the last stage also turns the result into the real spectrum's packed
// values 2 .. 2 count - 1, as the real post-processing does.
template <bool Inverse, class Source>
void RadixSinglePass(
    Source source, Planes planes, double* dst, uint32_t count, const double* twiddles, const double* postTable) {
    const uint32_t positions = count / W;
    FirstStages<Inverse>(source, planes, positions, count, twiddles);
    for (uint32_t span = OddOrder(count) ? 32 : 16; span <= count / 4; span *= 4)
        Radix4Stage<Inverse>(planes, positions, span, count, twiddles, PlanesSink{});
    if (postTable)
        LastStage<Inverse, true>(planes, dst, count, twiddles, postTable);
    else
        LastStage<Inverse, false>(planes, dst, count, twiddles, nullptr);
}

// The complete transform of `count` values (16 to 512) given in bit-reversed order in data.
template <bool Inverse>
void RadixInPlace(double* data, uint32_t count, const double* twiddles) {
    const uint64_t part = 2 * uint64_t{count / W};
    RunsSource source;
    for (int l = 0; l < W; ++l) source.runs[l] = data + l * part;
    if constexpr (W == 2) {
        RadixSinglePass<Inverse>(source, Planes{data, data + count}, data, count, twiddles, nullptr);
    } else {
        Scratch<MaxPassLength / W> scratch;
        RadixSinglePass<Inverse>(source, scratch.For(count / W), data, count, twiddles, nullptr);
    }
}

// The complete transform of `count` values (16 to 512) given in natural order at src into
// dst (src may be dst), with the fused post-processing as RadixSinglePass.
template <bool Inverse>
void RadixGathered(const double* src, double* dst, uint32_t count, const double* twiddles, const double* postTable,
    const int32_t* bitRevTable) {
    if constexpr (W == 2) {
        if (src != dst) {
            RadixSinglePass<Inverse>(GatherSource{src, W}, Planes{dst, dst + count}, dst, count, twiddles, postTable);
        } else {
            FftBitRevInPlaceC64(dst, count, bitRevTable);
            RadixSinglePass<Inverse>(
                RunsSource{{dst, dst + count}}, Planes{dst, dst + count}, dst, count, twiddles, postTable);
        }
    } else {
        // The planes are apart from dst, so the first sweep reads src even when it is dst.
        Scratch<MaxPassLength / W> scratch;
        RadixSinglePass<Inverse>(GatherSource{src, W}, scratch.For(count / W), dst, count, twiddles, postTable);
    }
}

// The radix-2 combine stages that join two or four transformed leaves of `length` values,
// interleaved one after another in data, with the quarter-circle roots of the joined length:
// leaf 0 with 1 (and 2 with 3) at span L = length, then 0 with 2 and 1 with 3 at span 2L.
// Column c of a stage takes the root W_2span^c, and -i W_2span^(c - span/2) from c = span/2 on;
// the lanes take W neighbouring columns (LoadRun's order) of every leaf.
template <bool Inverse>
void CombineLeaves(double* data, uint32_t leaves, uint32_t length, const double* roots) {
    const uint64_t h = length / 2;
    double* const leaf[4] = {
        data, data + 2 * uint64_t{length}, data + 4 * uint64_t{length}, data + 6 * uint64_t{length}};
    if (leaves == 2) {
        auto columns = [&]<bool Turned>(uint64_t from) {
            for (uint64_t c = from; c < from + h; c += W) {
                Lanes u = LoadRun(leaf[0] + 2 * c), v = LoadRun(leaf[1] + 2 * c);
                Butterfly2<Inverse, Turned>(u, v, LoadRun(roots + 2 * (c - from)));
                StoreRun(leaf[0] + 2 * c, u);
                StoreRun(leaf[1] + 2 * c, v);
            }
        };
        columns.template operator()<false>(0);
        columns.template operator()<true>(h);
        return;
    }
    auto columns = [&]<bool Turned>(uint64_t from) {
        for (uint64_t c = from; c < from + h; c += W) {
            Lanes x[4];
#pragma GCC unroll 4
            for (int b = 0; b < 4; ++b) x[b] = LoadRun(leaf[b] + 2 * c);
            const Lanes w1 = PickEach([&](int l) { return roots + 4 * (c - from + RunLane(l)); });
            Butterfly2<Inverse, Turned>(x[0], x[1], w1);
            Butterfly2<Inverse, Turned>(x[2], x[3], w1);
            const Lanes w2 = LoadRun(roots + 2 * c);
            Butterfly2<Inverse, false>(x[0], x[2], w2);
            Butterfly2<Inverse, true>(x[1], x[3], w2);
#pragma GCC unroll 4
            for (int b = 0; b < 4; ++b) StoreRun(leaf[b] + 2 * c, x[b]);
        }
    };
    columns.template operator()<false>(0);
    columns.template operator()<true>(h);
}

// The forward combine of four leaves of length L followed by the real post-processing of the
// joined transform (values 2 .. 8L - 1 of the packed layout), in one sweep. The lanes take W/2
// columns c, c + 1, ... (from c = 1 on) and their mirrors L - c, L - c - 1, ...: the partners
// k and 4L - k of the post-processing are then c with 3L + L - c and L - c with 3L + c, so
// leaf 0 meets leaf 3 with the halves of its lanes exchanged, and likewise leaf 1 (L + c)
// meets leaf 2 (2L + L - c). The last group reaches c = L/2, which is its own mirror: it runs
// in two lanes, which store the same values. Column 0 (value 0 is left to the real split, 2L
// is the middle one, L pairs with 3L) goes alone.
inline void CombineLeavesWithPost(double* data, uint32_t length, const double* roots, const double* post) {
    const uint64_t L = length;
    const uint64_t h = L / 2;
    double* const leaf[4] = {data, data + 2 * L, data + 4 * L, data + 6 * L};
    {
        Lanes x[4];
#pragma GCC unroll 4
        for (int b = 0; b < 4; ++b) x[b] = LoadRun(leaf[b]);
        const Lanes w1 = Broadcast(Load(roots));
        Butterfly2<false, false>(x[0], x[1], w1);
        Butterfly2<false, false>(x[2], x[3], w1);
        const Lanes w2 = LoadRun(roots);
        Butterfly2<false, false>(x[0], x[2], w2);
        Butterfly2<false, true>(x[1], x[3], w2);
#pragma GCC unroll 4
        for (int b = 0; b < 4; ++b) Store(leaf[b], Cplx{x[b].re[0], x[b].im[0]});  // column 0 is lane 0
        PostInPlace(data, L, 3 * L, post);
        data[4 * L + 1] = -data[4 * L + 1];
    }
    constexpr int Half = W / 2;
    for (uint64_t c = 1; c <= h; c += Half) {
        auto col = [&](int l) { return l < Half ? c + l : L - c - (l - Half); };
        Lanes x[4];
#pragma GCC unroll 4
        for (int b = 0; b < 4; ++b) x[b] = PickEach([&](int l) { return leaf[b] + 2 * col(l); });
        // Span L: column col below h takes W_2L^col (entry 2 col of the roots of 4L), the others
        // -i W_2L^(col - h).
        const Lanes w1 = PickEach([&](int l) { return roots + 4 * (col(l) < h ? col(l) : col(l) - h); });
        if (c + Half <= h) {
            Butterfly2Turned<false>(x[0], x[1], w1);
            Butterfly2Turned<false>(x[2], x[3], w1);
        } else {
            const Mask turned = MaskEach([&](int l) { return col(l) >= h; });
            Butterfly2Turned<false>(x[0], x[1], w1, &turned);
            Butterfly2Turned<false>(x[2], x[3], w1, &turned);
        }
        // Span 2L: W_4L^col, entry col; leaves 1 and 3 turned.
        const Lanes w2 = PickEach([&](int l) { return roots + 2 * col(l); });
        Butterfly2<false, false>(x[0], x[2], w2);
        Butterfly2<false, true>(x[1], x[3], w2);
        // The partners' lanes: lane l of the exchanged halves holds column col(l ^ Half).
        auto mirror = [&](int l) { return col(l ^ Half); };
        Lanes lo, hi;
        Lanes pq = PickEach([&](int l) { return post + 2 * col(l); });
        PostPair(x[0], SwapHalves(x[3]), pq.re, pq.im, lo, hi);
        ScatterEach([&](int l) { return leaf[0] + 2 * col(l); }, lo);
        ScatterEach([&](int l) { return leaf[3] + 2 * mirror(l); }, hi);
        pq = PickEach([&](int l) { return post + 2 * (L + col(l)); });
        PostPair(x[1], SwapHalves(x[2]), pq.re, pq.im, lo, hi);
        ScatterEach([&](int l) { return leaf[1] + 2 * col(l); }, lo);
        ScatterEach([&](int l) { return leaf[2] + 2 * mirror(l); }, hi);
    }
}

// Rows of the large-order path, W at a time. With the caller's array given, rows rev(q) ..
// for q = 0, W, 2W, ... take values q + rev(l) + rows * rev(n) of it: in natural order the
// lanes of a position are neighbours, W of them a cache line or half of one. Lane l's row is
// then rev(q + rev(l)) = rev(q) + l rows/W. With two lanes, rows q + 2 and q + 3 fill the rest
// of those lines, so two pairs of short rows go together (longer ones keep the planes of one
// pair in the data cache instead); with four the planes lie apart from the rows.
// Without the array the rows are in place, already in bit-reversed order.
template <bool Inverse>
void RowPasses(const FftSpecRealF64* spec, const double* src, double* data, uint32_t rows, uint32_t length) {
    const double* twiddles = FftTable(spec, FftSlotTwiddle);
    const int bits = std::countr_zero(rows);
    const uint64_t rowSize = 2 * uint64_t{length};
    const uint64_t laneRows = rows / W;
    auto row = [&](uint32_t q) { return data + rowSize * ReverseBits(q, bits); };
    if constexpr (W == 2) {
        const uint64_t apart = rowSize * laneRows;
        const uint32_t together = src && rows >= 4 && length <= 256 ? 4 : 2;
        for (uint32_t q = 0; q < rows; q += together) {
            double* first = row(q);
            const Planes planes{first, first + apart};
            const RunsSink sink{{first, first + apart}};
            if (together == 4) {
                double* third = row(q + 2);
                RadixTwoLanesPasses<Inverse>(GatherSource{src + 2 * q, rows}, planes, sink,
                    GatherSource{src + 2 * (q + 2), rows}, Planes{third, third + apart},
                    RunsSink{{third, third + apart}}, length, twiddles);
            } else if (src) {
                RadixLanesPass<Inverse>(GatherSource{src + 2 * q, rows}, planes, length, twiddles, sink);
            } else {
                RadixLanesPass<Inverse>(RunsSource{{first, first + apart}}, planes, length, twiddles, sink);
            }
        }
    } else {
        Scratch<MaxPassLength> scratch;
        const Planes planes = scratch.For(length);
        for (uint32_t q = 0; q < rows; q += W) {
            RunsSink sink;
            if (src) {
                double* first = row(q);
                for (int l = 0; l < W; ++l) sink.runs[l] = first + l * rowSize * laneRows;
                RadixLanesPass<Inverse>(GatherSource{src + 2 * q, rows}, planes, length, twiddles, sink);
            } else {
                RunsSource source;
                for (int l = 0; l < W; ++l) source.runs[l] = sink.runs[l] = data + rowSize * (q + l);
                RadixLanesPass<Inverse>(source, planes, length, twiddles, sink);
            }
        }
    }
    if (FftScaleFlag<Inverse>(spec)) FftScaleF64_x87(spec->factor, data, static_cast<uint32_t>(rowSize * rows));
}

// The blocked path joins two or four leaves (2^10 or 2^11 values). With a real post-processing
// table (forward only) the combine of four leaves also does the real post-processing; the
// result says whether it did. Four lanes need four leaves: two go through the two-lane copy.
template <bool Inverse>
bool BlockedPasses(
    const FftSpecRealF64* spec, const double* src, double* data, uint32_t count, const double* postTable = nullptr) {
    const uint32_t leaves = count / LeafLength;
    if constexpr (W != 2) {
        if (leaves < W) return Baseline::BlockedPasses<Inverse>(spec, src, data, count, postTable);
    }
    const double* roots = FftTable(spec, FftSlotQuarterRoots);
    RowPasses<Inverse>(spec, src, data, leaves, LeafLength);
    if (leaves == 4 && postTable) {
        CombineLeavesWithPost(data, LeafLength, roots, postTable);
        return true;
    }
    CombineLeaves<Inverse>(data, leaves, LeafLength, roots);
    return false;
}

// Columns four at a time, as 4/W sets of W neighbouring columns in the buffer's planes:
// twiddled on the way in, transformed in the buffer and written back. The write-back of one
// group and the gather of the next share their sweep down the rows (the same cache line or
// its neighbour in each row).
template <bool Inverse>
void ColumnPasses(const FftSpecRealF64* spec, double* data, int s, int r, int level, double* buffer) {
    constexpr int Sets = 4 / W;
    const uint32_t rowLength = uint32_t{1} << r;
    const uint32_t rows = uint32_t{1} << s;
    const uint64_t rowStride = 2 * uint64_t{rowLength};
    const double* matrix = FftTable(spec, FftSlotSplitMatrix0 + level);
    const double* columnTwiddles = FftTable(spec, FftSlotSplitTwiddle0 + level);
    Planes set[Sets];
#pragma GCC unroll 4
    for (int i = 0; i < Sets; ++i) {
        set[i].re = buffer + 2 * uint64_t{W} * rows * i;
        set[i].im = set[i].re + uint64_t{W} * rows;
    }
    // Row t's four values at `in` times the matrix's four roots at `roots`, into buffer place t.
    auto gather = [&](uint32_t t, const double* in, const double* roots) {
#pragma GCC unroll 4
        for (int i = 0; i < Sets; ++i)
            StoreAt(set[i], t, Mul<Inverse>(LoadRun(in + 2 * W * i), LoadRun(roots + 2 * W * i)));
    };
    for (uint32_t t = 0; t < rows; ++t, matrix += 8) gather(t, data + rowStride * t, matrix);
    for (uint32_t k = 0; k < rowLength; k += 4) {
#pragma GCC unroll 4
        for (int i = 0; i < Sets; ++i)
            RadixLanesPass<Inverse>(PlanesSource{set[i]}, set[i], rows, columnTwiddles, PlanesSink{});
        const bool more = k + 4 < rowLength;
        double* out = data + 2 * uint64_t{k};
        for (uint32_t l = 0; l < rows; ++l, out += rowStride) {
#pragma GCC unroll 4
            for (int i = 0; i < Sets; ++i) StoreRun(out + 2 * W * i, LoadAt(set[i], l));
            if (more) {
                gather(l, out + 8, matrix);
                matrix += 8;
            }
        }
    }
}

template <bool Inverse>
void SplitPasses(const FftSpecRealF64* spec, const double* src, double* data, int m, int level, double* buffer) {
    const int s = FftSplitOrderX87F64(spec, m);
    const int r = m - s;
    const uint32_t rowLength = uint32_t{1} << r;
    const uint32_t rows = uint32_t{1} << s;
    if (r <= FftX87ThresholdF64) {
        RowPasses<Inverse>(spec, src, data, rows, rowLength);
    } else {
        for (uint32_t t = 0; t < rows; ++t) {
            double* row = data + 2 * uint64_t{rowLength} * t;
            if (FftSplitOrderX87F64(spec, r) != 0)
                SplitPasses<Inverse>(spec, nullptr, row, r, level + 1, buffer);
            else
                BlockedPasses<Inverse>(spec, nullptr, row, rowLength);
        }
    }
    ColumnPasses<Inverse>(spec, data, s, r, level, buffer);
}

// Whether the first sweep of the large-order path can read the caller's array itself: the
// leaves of the blocked path, or the rows of a split whose rows take one radix pass.
inline bool ReadsThroughReversal(const FftSpecRealF64* spec, int m) {
    const int s = FftSplitOrderX87F64(spec, m);
    return s == 0 || m - s <= FftX87ThresholdF64;
}

template <bool Inverse>
void RecursivePasses(const FftSpecRealF64* spec, const double* src, double* data, int m, double* buffer) {
    if (FftSplitOrderX87F64(spec, m) != 0)
        SplitPasses<Inverse>(spec, src, data, m, 0, buffer);
    else
        BlockedPasses<Inverse>(spec, src, data, uint32_t{1} << m);
}

// The large-order path from src in natural order into dst (src unchanged, dst apart from it),
// the bit reversal done on the way where the first passes can read src themselves. Given the
// real post-processing table it may also do the real post-processing; the result says whether
// it did.
inline bool BitRevRecursiveForward(
    const FftSpecRealF64* spec, const double* src, double* dst, int m, double* buffer, const double* postTable) {
    if (FftSplitOrderX87F64(spec, m) == 0) return BlockedPasses<false>(spec, src, dst, uint32_t{1} << m, postTable);
    if (ReadsThroughReversal(spec, m)) {
        RecursivePasses<false>(spec, src, dst, m, buffer);
        return false;
    }
    FftBitRevCopyC64(src, dst, uint32_t{1} << m, FftBitRev(spec));
    RecursivePasses<false>(spec, nullptr, dst, m, buffer);
    return false;
}

// With z = Z_k = (a, c), y = Z_(M-k) = (b, e), D = z - conj y = (a - b, c + e):
// (t, u) = q D + p (-i D); X_k = (t, u) + conj y; X_(M-k) = conj(z - (t, u)). Values k to
// k + W - 1 go together, with M - k to M - k - W + 1, in the lanes of PostPair.
inline void RealPost(double* data, uint32_t half, const double* table) {
    uint32_t k = 1;
    for (; k + W <= half / 2; k += W) {
        auto mirror = [&](int l) { return data + 2 * (half - k - RunLane(l)); };
        const Lanes pq = LoadRun(table + 2 * k);
        Lanes x, y;
        PostPair(LoadRun(data + 2 * k), PickEach(mirror), pq.re, pq.im, x, y);
        StoreRun(data + 2 * k, x);
        ScatterEach(mirror, y);
    }
    for (; k < half / 2; ++k) PostInPlace(data, k, half - k, table);
    data[half + 1] = -data[half + 1];
}

// The complex transform of the M = 2^m values of data, given in bit-reversed order.
template <bool Inverse>
void HalfLength(const FftSpecRealF64* spec, double* data, int m, double* buffer) {
    const uint32_t half = uint32_t{1} << m;
    const double* twiddles = FftTable(spec, FftSlotTwiddle);
    if (m <= FftX87ThresholdF64) {
        if (half >= 16)
            RadixInPlace<Inverse>(data, half, twiddles);
        else if (Inverse)
            FftRadixVectorsInvF64_x87(data, half, 1, twiddles);
        else
            FftRadixVectorsFwdF64_x87(data, half, 1, twiddles);
        if (FftScaleFlag<Inverse>(spec)) FftScaleF64_x87(spec->factor, data, 2 * half);
    } else {
        RecursivePasses<Inverse>(spec, nullptr, data, m, buffer);
    }
}

// The half-length transform of a forward real FFT and its real post-processing. Out of place
// the passes read src through the bit reversal themselves. The single pass of 16 values or more
// does the post-processing in its last stage unless the values are to be scaled in between
// (the blocked path scales its leaves, so its combine of four leaves can do it too).
inline void Forward(const FftSpecRealF64* spec, const double* src, double* dst, int m, double* work) {
    const uint32_t half = uint32_t{1} << m;
    const double* twiddles = FftTable(spec, FftSlotTwiddle);
    const double* post = FftTable(spec, FftSlotRealPost);
    const bool scale = spec->scaleForward != 0;
    if (m <= FftX87ThresholdF64 && half >= 16) {
        RadixGathered<false>(src, dst, half, twiddles, scale ? nullptr : post, FftBitRev(spec));
        if (!scale) return;
        FftScaleF64_x87(spec->factor, dst, 2 * half);
    } else if (m > FftX87ThresholdF64 && src != dst) {
        if (BitRevRecursiveForward(spec, src, dst, m, work, post)) return;
    } else {
        if (src == dst)
            FftBitRevInPlaceC64(dst, half, FftBitRev(spec));
        else
            FftBitRevCopyC64(src, dst, half, FftBitRev(spec));
        HalfLength<false>(spec, dst, m, work);
    }
    RealPost(dst, half, post);
}

// The half-length transform of an inverse real FFT, in place from natural order.
inline void Inverse(const FftSpecRealF64* spec, double* data, int m, double* work) {
    const uint32_t half = uint32_t{1} << m;
    if (W != 2 && m <= FftX87ThresholdF64 && half >= 16) {
        RadixGathered<true>(data, data, half, FftTable(spec, FftSlotTwiddle), nullptr, FftBitRev(spec));
        if (spec->scaleInverse) FftScaleF64_x87(spec->factor, data, 2 * half);
        return;
    }
    FftBitRevInPlaceC64(data, half, FftBitRev(spec));
    HalfLength<true>(spec, data, m, work);
}

}  // namespace Prim::FftX87::FFT_X87_COPY

#endif  // FFT_X87_COPY
