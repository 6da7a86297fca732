#include <Primitives/Prim/Fft/FftPassesX87.h>

#include <bit>

namespace Prim::FftX87 {
namespace {

bool OddOrder(uint32_t count) { return std::countr_zero(count) % 2 != 0; }

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
    double* re;
    double* im;
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
    Dual x0, x1, x2, x3;
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
    StoreDual(sweep.re, sweep.im, n, x0);
    StoreDual(sweep.re, sweep.im, n + 1, x1);
    StoreDual(sweep.re, sweep.im, n + 2, x2);
    StoreDual(sweep.re, sweep.im, n + 3, x3);
}

// Group g of the span-4 and span-8 stages: eight consecutive positions. w1 and w3 are W_8^1
// and W_8^3; W_8^2 = -i needs no product.
template <bool Inverse, class Source>
__attribute__((always_inline)) inline void FirstGroup8(
    Sweep<Source> sweep, uint32_t g, int bits, uint64_t step, Dual w1, Dual w3) {
    const Source& source = sweep.source;
    Dual a0, a1, a2, a3, b0, b1, b2, b3;
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
    const Dual t1 = Mul<Inverse>(b1, w1);
    const Dual t3 = Mul<Inverse>(b3, w3);
    // a2 -+ i b2 (forward -i, inverse +i)
    const Dual minus = {a2.re + b2.im, a2.im - b2.re};
    const Dual plus = {a2.re - b2.im, a2.im + b2.re};
    double* re = sweep.re;
    double* im = sweep.im;
    const uint64_t n = FirstPosition<Source>(g, bits, 8);
    StoreDual(re, im, n, a0 + b0);
    StoreDual(re, im, n + 1, a1 + t1);
    StoreDual(re, im, n + 2, Inverse ? plus : minus);
    StoreDual(re, im, n + 3, a3 + t3);
    StoreDual(re, im, n + 4, a0 - b0);
    StoreDual(re, im, n + 5, a1 - t1);
    StoreDual(re, im, n + 6, Inverse ? minus : plus);
    StoreDual(re, im, n + 7, a3 - t3);
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
    const Dual w1 = Broadcast(Cplx{h, hi});
    const Dual w3 = Broadcast(Cplx{-h, hi});
    const uint32_t groups = positions / 8;
    const int bits = std::countr_zero(groups);
    const uint64_t step = GatherStep(sweeps[0].source, groups);
    for (uint32_t g = 0; g < groups; ++g) {
#pragma GCC unroll 2
        for (int i = 0; i < N; ++i) FirstGroup8<Inverse>(sweeps[i], g, bits, step, w1, w3);
    }
}

template <bool Inverse, class Source>
void FirstStages(Source source, double* re, double* im, uint32_t positions, uint32_t count, const double* twiddles) {
    const Sweep<Source> sweeps[1] = {{source, re, im}};
    FirstStages<Inverse>(sweeps, positions, count, twiddles);
}

// One butterfly of a radix-4 stage from position r, i of the planes: its four positions are a
// quarter span q apart.
template <bool Inverse, bool Twiddled, class Sink>
__attribute__((always_inline)) inline void Radix4Butterfly(
    double* r, double* i, uint64_t q, const Dual* roots, Sink out) {
    const uint64_t distance = 2 * q;
    Dual a = {Load(r), Load(i)};
    Dual b = {Load(r + distance), Load(i + distance)};
    Dual c = {Load(r + 2 * distance), Load(i + 2 * distance)};
    Dual d = {Load(r + 3 * distance), Load(i + 3 * distance)};
    if constexpr (Twiddled) {
        b = Mul<Inverse>(b, roots[1]);
        c = Mul<Inverse>(c, roots[0]);
        d = Mul<Inverse>(d, roots[2]);
    }
    Butterfly4<Inverse>(a, b, c, d);
    out.Put(r, i, a);
    out.Put(r + distance, i + distance, b);
    out.Put(r + 2 * distance, i + 2 * distance, c);
    out.Put(r + 3 * distance, i + 3 * distance, d);
}

// The roots of entry w of the radix-4 table, for both lanes: W^j, W^2j, W^3j. Table entries
// are 48 bytes from a 32-byte aligned start.
inline void LoadRoots(const double* w, Dual roots[3]) {
    const double* aligned = static_cast<const double*>(__builtin_assume_aligned(w, 16));
    roots[0] = Broadcast(Load(aligned));
    roots[1] = Broadcast(Load(aligned + 2));
    roots[2] = Broadcast(Load(aligned + 4));
}

// One radix-4 stage of the given span over `positions` values in the planes, both lanes
// taking the same roots: W_span^j from entry j * count / span. Butterfly j of every group
// takes the same roots, so the groups are the inner loop; a stage of one group (the last of a
// pass) has none.
template <bool Inverse, class Sink>
void Radix4Stage(
    double* re, double* im, uint32_t positions, uint32_t span, uint32_t count, const double* twiddles, Sink out) {
    const uint64_t q = span / 4;
    const uint64_t rootStep = 6 * uint64_t{count / span};
    Dual roots[3];
    if (span == positions) {
        Radix4Butterfly<Inverse, false>(re, im, q, roots, out);
        const double* w = twiddles + rootStep;
        for (uint64_t j = 1; j < q; ++j, w += rootStep) {
            LoadRoots(w, roots);
            Radix4Butterfly<Inverse, true>(re + 2 * j, im + 2 * j, q, roots, out);
        }
        return;
    }
    const uint64_t end = 2 * uint64_t{positions};
    const uint64_t groupStep = 2 * uint64_t{span};
    for (uint64_t o = 0; o < end; o += groupStep) Radix4Butterfly<Inverse, false>(re + o, im + o, q, roots, out);
    const double* w = twiddles + rootStep;
    for (uint64_t j = 1; j < q; ++j, w += rootStep) {
        LoadRoots(w, roots);
        for (uint64_t o = 2 * j; o < end; o += groupStep) Radix4Butterfly<Inverse, true>(re + o, im + o, q, roots, out);
    }
}

// Last stage of the single pass for a butterfly j alone (j = 0 and j = count/8): lane 0 of
// the planes' positions j and j + q holds values j and j + q, lane 1 values j + 2q, j + 3q.
template <bool Inverse>
void LastButterflyAlone(double* data, uint32_t count, uint64_t j, const double* twiddles, const double* post) {
    const uint64_t q = count / 4;
    double* re = data;
    double* im = data + count;
    const Cplx p0 = Load(re + 2 * j), p1 = Load(im + 2 * j);
    const Cplx p2 = Load(re + 2 * (j + q)), p3 = Load(im + 2 * (j + q));
    Cplx a = Low(p0, p1), b = Low(p2, p3), c = High(p0, p1), d = High(p2, p3);
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
    Store(data + 2 * j, x0);
    Store(data + 2 * (j + q), x1);
    Store(data + 2 * (j + 2 * q), x2);
    Store(data + 2 * (j + 3 * q), x3);
}

// The last stage of the single pass: butterfly j reads lane 0 and lane 1 of positions j and
// j + q. Butterflies j and q - j go together, one per lane; their outputs are also the
// partners k and M - k of the real post-processing (j with M - j from the fourth output of
// q - j, and so on).
template <bool Inverse, bool WithPost>
void LastStage(double* data, uint32_t count, const double* twiddles, const double* post) {
    const uint64_t q = count / 4;
    const uint64_t eighth = count / 8;
    LastButterflyAlone<Inverse>(data, count, 0, twiddles, post);
    LastButterflyAlone<Inverse>(data, count, eighth, twiddles, post);
    // The quarters of the values: value h q + n at v_h + 2n.
    double* const v0 = data;
    double* const v1 = data + 2 * q;
    double* const v2 = data + 4 * q;
    double* const v3 = data + 6 * q;
    for (uint64_t j = 1; j < eighth; ++j) {
        const uint64_t k = q - j;
        const Cplx p0 = Load(v0 + 2 * j), p1 = Load(v0 + 2 * k), p2 = Load(v2 + 2 * j), p3 = Load(v2 + 2 * k);
        const Cplx p4 = Load(v1 + 2 * j), p5 = Load(v1 + 2 * k), p6 = Load(v3 + 2 * j), p7 = Load(v3 + 2 * k);
        Dual a = {Low(p0, p1), Low(p2, p3)}, c = {High(p0, p1), High(p2, p3)};
        Dual b = {Low(p4, p5), Low(p6, p7)}, d = {High(p4, p5), High(p6, p7)};
        const double* wj = twiddles + 6 * j;
        const double* wk = twiddles + 6 * k;
        b = Mul<Inverse>(b, Zip(Load(wj + 2), Load(wk + 2)));
        c = Mul<Inverse>(c, Zip(Load(wj), Load(wk)));
        d = Mul<Inverse>(d, Zip(Load(wj + 4), Load(wk + 4)));
        Butterfly4<Inverse>(a, b, c, d);
        // Lanes: a at j, k; b at j + q, k + q; c at j + 2q, k + 2q; d at j + 3q, k + 3q.
        if constexpr (WithPost) {
            // Value j pairs with M - j = k + 3q, value k with j + 3q: z = a takes lanes (k, j)
            // to meet d; likewise b with c (j + q with k + 2q, k + q with j + 2q).
            const Cplx ej = Load(post + 2 * j), ek = Load(post + 2 * k);
            const Cplx fj = Load(post + 2 * (j + q)), fk = Load(post + 2 * (k + q));
            Dual lo, hi;
            PostPair(SwapLanes(a), d, Low(ek, ej), High(ek, ej), lo, hi);
            StoreLanes(v0 + 2 * k, v0 + 2 * j, lo);
            StoreLanes(v3 + 2 * j, v3 + 2 * k, hi);
            PostPair(SwapLanes(b), c, Low(fk, fj), High(fk, fj), lo, hi);
            StoreLanes(v1 + 2 * k, v1 + 2 * j, lo);
            StoreLanes(v2 + 2 * j, v2 + 2 * k, hi);
        } else {
            StoreLanes(v0 + 2 * j, v0 + 2 * k, a);
            StoreLanes(v1 + 2 * j, v1 + 2 * k, b);
            StoreLanes(v2 + 2 * j, v2 + 2 * k, c);
            StoreLanes(v3 + 2 * j, v3 + 2 * k, d);
        }
    }
}

// u + t and u - t with t = w l, t turned by -i (forward; +i inverse) in the second half of a
// span, as the generic combine stages round them.
template <bool Inverse, bool Turned>
inline void Butterfly2(Dual& u, Dual& l, Dual w) {
    const Dual t = Mul<Inverse>(l, w);
    if constexpr (!Turned) {
        l = u - t;
        u = u + t;
    } else {
        const Dual minus = {u.re + t.im, u.im - t.re};  // u - i t
        const Dual plus = {u.re - t.im, u.im + t.re};  // u + i t
        u = Inverse ? plus : minus;
        l = Inverse ? minus : plus;
    }
}

// Lanes (x, y) of the duals at columns c and c + 1 as the duals of x and of y at the two columns.
inline void Transpose(Dual at0, Dual at1, Dual& x, Dual& y) {
    x = {Low(at0.re, at1.re), Low(at0.im, at1.im)};
    y = {High(at0.re, at1.re), High(at0.im, at1.im)};
}

inline void StoreColumns(double* p, Dual d) { StoreLanes(p, p + 2, d); }

// Two leaves in one pair of planes: one stage of span L, columns c, c + 1 in the lanes.
template <bool Inverse, bool Turned>
void CombineTwoLeaves(double* first, double* second, uint64_t from, uint64_t to, const double* roots) {
    const uint64_t half = to - from;  // columns of the second half take the roots of the first
    for (uint64_t c = from; c < to; c += 2) {
        Dual u, l;
        Transpose(LoadDual(first, second, c), LoadDual(first, second, c + 1), u, l);
        const uint64_t e = Turned ? c - half : c;
        Butterfly2<Inverse, Turned>(u, l, Zip(Load(roots + 2 * e), Load(roots + 2 * e + 2)));
        StoreColumns(first + 2 * c, u);
        StoreColumns(second + 2 * c, l);
    }
}

// Columns c0 and c1 of four leaves in the planes (0, 2) and (1, 3). The stage of span L joins
// leaf 0 with 1 and 2 with 3 in the lanes (column c with W_2L^c, turned from c = L/2 on, W_2L^e
// being entry 2e of the roots of 4L); the stage of span 2L joins 0 with 2 and 1 with 3 (the
// latter turned) with the two columns in the lanes. a, x, b, y: leaves 0, 1, 2, 3.
template <bool Inverse, bool Turned0, bool Turned1>
__attribute__((always_inline)) inline void FourColumns(double* const leaf[4], uint64_t c0, uint64_t c1, uint64_t h,
    const double* roots, Dual& a, Dual& x, Dual& b, Dual& y) {
    Dual u0 = LoadDual(leaf[0], leaf[2], c0), v0 = LoadDual(leaf[1], leaf[3], c0);
    Dual u1 = LoadDual(leaf[0], leaf[2], c1), v1 = LoadDual(leaf[1], leaf[3], c1);
    Butterfly2<Inverse, Turned0>(u0, v0, Broadcast(Load(roots + 4 * (Turned0 ? c0 - h : c0))));
    Butterfly2<Inverse, Turned1>(u1, v1, Broadcast(Load(roots + 4 * (Turned1 ? c1 - h : c1))));
    Transpose(u0, u1, a, b);
    Transpose(v0, v1, x, y);
    const Dual w = Zip(Load(roots + 2 * c0), Load(roots + 2 * c1));
    Butterfly2<Inverse, false>(a, b, w);
    Butterfly2<Inverse, true>(x, y, w);
}

template <bool Inverse, bool Turned>
void CombineFourLeaves(double* const leaf[4], uint64_t from, uint64_t to, uint64_t h, const double* roots) {
    for (uint64_t c = from; c < to; c += 2) {
        Dual a, x, b, y;
        FourColumns<Inverse, Turned, Turned>(leaf, c, c + 1, h, roots, a, x, b, y);
        StoreColumns(leaf[0] + 2 * c, a);
        StoreColumns(leaf[1] + 2 * c, x);
        StoreColumns(leaf[2] + 2 * c, b);
        StoreColumns(leaf[3] + 2 * c, y);
    }
}

// The forward combine of four leaves of length L with the real post-processing in its last
// stage: columns c and L - c go together in the lanes of the stage of span 2L, so that the
// partners k and 4L - k of the post-processing meet (c with 3L + L - c, and so on).
void CombineFourLeavesWithPost(double* const leaf[4], uint64_t length, const double* roots, const double* post) {
    const uint64_t h = length / 2;
    for (uint64_t c = 1; c < h; ++c) {
        const uint64_t d = length - c;
        Dual a, x, b, y;
        FourColumns<false, false, true>(leaf, c, d, h, roots, a, x, b, y);
        // a holds values c, d; x values L + c, L + d; b 2L + c, 2L + d; y 3L + c, 3L + d.
        // c pairs with 3L + d and d with 3L + c: a with its lanes exchanged meets y; likewise
        // x (L + d with 2L + c, L + c with 2L + d) meets b.
        Dual lo, hi;
        const Cplx pc = Load(post + 2 * c), pd = Load(post + 2 * d);
        PostPair(SwapLanes(a), y, Low(pd, pc), High(pd, pc), lo, hi);
        StoreLanes(leaf[0] + 2 * d, leaf[0] + 2 * c, lo);
        StoreLanes(leaf[3] + 2 * c, leaf[3] + 2 * d, hi);
        const Cplx qc = Load(post + 2 * (length + c)), qd = Load(post + 2 * (length + d));
        PostPair(SwapLanes(x), b, Low(qd, qc), High(qd, qc), lo, hi);
        StoreLanes(leaf[1] + 2 * d, leaf[1] + 2 * c, lo);
        StoreLanes(leaf[2] + 2 * c, leaf[2] + 2 * d, hi);
    }
    // Columns 0 and L/2: value 0 is left to the real split, 2L is the middle one; L pairs with
    // 3L, L/2 with 3L + L/2 and L + L/2 with 2L + L/2.
    Dual a, x, b, y;
    FourColumns<false, false, true>(leaf, 0, h, h, roots, a, x, b, y);
    StoreLanes(leaf[0], leaf[0] + 2 * h, a);
    StoreLanes(leaf[1], leaf[1] + 2 * h, x);
    StoreLanes(leaf[2], leaf[2] + 2 * h, b);
    StoreLanes(leaf[3], leaf[3] + 2 * h, y);
    double* data = leaf[0];
    PostInPlace(data, length, 3 * length, post);
    PostInPlace(data, h, 4 * length - h, post);
    PostInPlace(data, length + h, 3 * length - h, post);
    data[4 * length + 1] = -data[4 * length + 1];
}

}  // namespace

template <bool Inverse>
void CombineLeaves(double* data, uint32_t leaves, uint32_t leafLength, const double* quarterRoots) {
    const uint64_t length = leafLength;
    if (leaves == 2) {
        double* second = data + 2 * length;
        CombineTwoLeaves<Inverse, false>(data, second, 0, length / 2, quarterRoots);
        CombineTwoLeaves<Inverse, true>(data, second, length / 2, length, quarterRoots);
        return;
    }
    double* const leaf[4] = {data, data + 2 * length, data + 4 * length, data + 6 * length};
    CombineFourLeaves<Inverse, false>(leaf, 0, length / 2, length / 2, quarterRoots);
    CombineFourLeaves<Inverse, true>(leaf, length / 2, length, length / 2, quarterRoots);
}

namespace {

// The radix-4 stages after the first sweep of a pair pass.
template <bool Inverse, class Sink>
void LaterStages(double* re, double* im, uint32_t count, const double* twiddles, Sink sink) {
    uint32_t span = OddOrder(count) ? 32 : 16;
    for (; span < count; span *= 4) Radix4Stage<Inverse>(re, im, count, span, count, twiddles, PlanesSink{});
    Radix4Stage<Inverse>(re, im, count, count, count, twiddles, sink);
}

}  // namespace

template <bool Inverse, class Source, class Sink>
void RadixPairPass(Source source, double* re, double* im, uint32_t count, const double* twiddles, Sink sink) {
    FirstStages<Inverse>(source, re, im, count, count, twiddles);
    LaterStages<Inverse>(re, im, count, twiddles, sink);
}

template <bool Inverse, class Sink>
void RadixQuadPass(GatherSource first, double* re0, double* im0, GatherSource second, double* re1, double* im1,
    uint32_t count, const double* twiddles, Sink sink) {
    const Sweep<GatherSource> sweeps[2] = {{first, re0, im0}, {second, re1, im1}};
    FirstStages<Inverse>(sweeps, count, count, twiddles);
    LaterStages<Inverse>(re0, im0, count, twiddles, sink);
    LaterStages<Inverse>(re1, im1, count, twiddles, sink);
}

template <bool Inverse, class Source>
void RadixSinglePass(Source source, double* data, uint32_t count, const double* twiddles, const double* postTable) {
    double* re = data;
    double* im = data + count;
    FirstStages<Inverse>(source, re, im, count / 2, count, twiddles);
    for (uint32_t span = OddOrder(count) ? 32 : 16; span <= count / 4; span *= 4)
        Radix4Stage<Inverse>(re, im, count / 2, span, count, twiddles, PlanesSink{});
    if (postTable)
        LastStage<Inverse, true>(data, count, twiddles, postTable);
    else
        LastStage<Inverse, false>(data, count, twiddles, nullptr);
}

template void RadixPairPass<false>(GatherSource, double*, double*, uint32_t, const double*, InterleavedSink);
template void RadixPairPass<true>(GatherSource, double*, double*, uint32_t, const double*, InterleavedSink);
template void RadixPairPass<false>(PlanesSource, double*, double*, uint32_t, const double*, InterleavedSink);
template void RadixPairPass<true>(PlanesSource, double*, double*, uint32_t, const double*, InterleavedSink);
template void RadixPairPass<false>(GatherSource, double*, double*, uint32_t, const double*, PlanesSink);
template void RadixPairPass<true>(GatherSource, double*, double*, uint32_t, const double*, PlanesSink);
template void RadixPairPass<false>(PlanesSource, double*, double*, uint32_t, const double*, PlanesSink);
template void RadixPairPass<true>(PlanesSource, double*, double*, uint32_t, const double*, PlanesSink);
template void RadixQuadPass<false>(
    GatherSource, double*, double*, GatherSource, double*, double*, uint32_t, const double*, InterleavedSink);
template void RadixQuadPass<true>(
    GatherSource, double*, double*, GatherSource, double*, double*, uint32_t, const double*, InterleavedSink);
template void RadixQuadPass<false>(
    GatherSource, double*, double*, GatherSource, double*, double*, uint32_t, const double*, PlanesSink);
template void RadixQuadPass<true>(
    GatherSource, double*, double*, GatherSource, double*, double*, uint32_t, const double*, PlanesSink);
template void RadixPairPass<false>(DualSource, double*, double*, uint32_t, const double*, PlanesSink);
template void RadixPairPass<true>(DualSource, double*, double*, uint32_t, const double*, PlanesSink);
void CombineLeavesWithPost(double* data, uint32_t leafLength, const double* quarterRoots, const double* postTable) {
    const uint64_t length = leafLength;
    double* const leaf[4] = {data, data + 2 * length, data + 4 * length, data + 6 * length};
    CombineFourLeavesWithPost(leaf, length, quarterRoots, postTable);
}

template void CombineLeaves<false>(double*, uint32_t, uint32_t, const double*);
template void CombineLeaves<true>(double*, uint32_t, uint32_t, const double*);
template void RadixSinglePass<false>(GatherSource, double*, uint32_t, const double*, const double*);
template void RadixSinglePass<true>(GatherSource, double*, uint32_t, const double*, const double*);
template void RadixSinglePass<false>(PlanesSource, double*, uint32_t, const double*, const double*);
template void RadixSinglePass<true>(PlanesSource, double*, uint32_t, const double*, const double*);

}  // namespace Prim::FftX87
