#include <Primitives/Prim/Fft/FftPassesX87.h>

#include <bit>

namespace Prim::FftX87 {
namespace {

bool OddOrder(uint32_t count) { return std::countr_zero(count) % 2 != 0; }

// The distance in doubles between the values i and i + groups of a reading source.
template <class Source>
uint64_t GatherStep(const Source& source, uint64_t groups) {
    if constexpr (Source::Reversed)
        return static_cast<uint64_t>(source.At(groups) - source.At(0));
    else
        return groups;
}

// The span-4 stage and, for odd orders, the span-8 radix-2 stage, in one sweep that also
// reads the values from their source: each group of four (eight) positions passes through
// both stages in registers.
template <bool Inverse, class Source>
void FirstStages(Source source, double* re, double* im, uint32_t positions, uint32_t count, const double* twiddles) {
    if (!OddOrder(count)) {
        const uint32_t groups = positions / 4;
        const int bits = std::countr_zero(groups);
        const uint64_t step = GatherStep(source, groups);
        for (uint32_t g = 0; g < groups; ++g) {
            Dual x0, x1, x2, x3;
            if constexpr (Source::Reversed) {
                // rev(4g + c) = rev(g) + rev2(c) * groups
                const double* p = source.At(ReverseBits(g, bits));
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
            const uint64_t n = 4 * uint64_t{g};
            StoreDual(re, im, n, x0);
            StoreDual(re, im, n + 1, x1);
            StoreDual(re, im, n + 2, x2);
            StoreDual(re, im, n + 3, x3);
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
    const uint64_t step = GatherStep(source, groups);
    for (uint32_t g = 0; g < groups; ++g) {
        Dual a0, a1, a2, a3, b0, b1, b2, b3;
        if constexpr (Source::Reversed) {
            // rev(8g + c) = rev(g) + rev3(c) * groups
            const double* p = source.At(ReverseBits(g, bits));
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
        const uint64_t n = 8 * uint64_t{g};
        StoreDual(re, im, n, a0 + b0);
        StoreDual(re, im, n + 1, a1 + t1);
        StoreDual(re, im, n + 2, Inverse ? plus : minus);
        StoreDual(re, im, n + 3, a3 + t3);
        StoreDual(re, im, n + 4, a0 - b0);
        StoreDual(re, im, n + 5, a1 - t1);
        StoreDual(re, im, n + 6, Inverse ? minus : plus);
        StoreDual(re, im, n + 7, a3 - t3);
    }
}

// Butterfly j of every group of a radix-4 stage: the four positions are `distance` doubles
// apart in each plane, the groups `groupStep` doubles apart up to `end`.
template <bool Inverse, bool Twiddled, class Sink>
inline void Radix4Column(double* re, double* im, uint64_t j, uint64_t q, uint64_t end, uint64_t groupStep,
    const Dual* roots, Sink out) {
    const uint64_t distance = 2 * q;
    for (uint64_t o = 2 * j; o < end; o += groupStep) {
        double* r = re + o;
        double* i = im + o;
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
        const uint64_t n = o / 2;
        out.Put(r, i, n, a);
        out.Put(r + distance, i + distance, n + q, b);
        out.Put(r + 2 * distance, i + 2 * distance, n + 2 * q, c);
        out.Put(r + 3 * distance, i + 3 * distance, n + 3 * q, d);
    }
}

// One radix-4 stage of the given span over `positions` values in the planes, both lanes
// taking the same roots: W_span^j from entry j * count / span.
template <bool Inverse, class Sink>
void Radix4Stage(double* re, double* im, uint32_t positions, uint32_t span, uint32_t count, const double* twiddles,
    Sink out) {
    const uint64_t q = span / 4;
    const uint64_t rootStep = 6 * uint64_t{count / span};
    const uint64_t end = 2 * uint64_t{positions};
    const uint64_t groupStep = 2 * uint64_t{span};
    Radix4Column<Inverse, false>(re, im, 0, q, end, groupStep, nullptr, out);
    const double* w = twiddles + rootStep;
    for (uint64_t j = 1; j < q; ++j, w += rootStep) {
        const Dual roots[3] = {Broadcast(Load(w)), Broadcast(Load(w + 2)), Broadcast(Load(w + 4))};
        Radix4Column<Inverse, true>(re, im, j, q, end, groupStep, roots, out);
    }
}

// The real post-processing of Z_k = z and Z_(M-k) = y into X_k = lo and X_(M-k) = hi, as
// FftRealPostF64_x87 rounds it: D = z - conj y, (t, u) = q D - i p D, X_k = (t, u) + conj y,
// X_(M-k) = conj(z - (t, u)).
inline void PostPair(Dual z, Dual y, Cplx p, Cplx q, Dual& lo, Dual& hi) {
    const Cplx dr = z.re - y.re, di = z.im + y.im;
    const Cplx t = dr * q + di * p;
    const Cplx u = di * q - dr * p;
    lo = {t + y.re, u - y.im};
    hi = {z.re - t, -(z.im - u)};
}

inline Cplx Conj(Cplx v) { return v * Cplx{1.0, -1.0}; }

inline void PostOne(Cplx z, Cplx y, const double* pq, Cplx& lo, Cplx& hi) {
    const Cplx yc = Conj(y);
    const Cplx d = z - yc;
    const Cplx tu = d * Cplx{pq[1], pq[1]} + TimesMinusI(d) * Cplx{pq[0], pq[0]};
    lo = tu + yc;
    hi = Conj(z - tu);
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
    // Pointers by quarter: value v of quarter h at quarters[h] + 2v.
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
            // a pairs with d (j with M - j = k + 3q), b with c (j + q with M - j - q = k + 2q).
            const Cplx ej = Load(post + 2 * j), ek = Load(post + 2 * k);
            const Cplx fj = Load(post + 2 * (j + q)), fk = Load(post + 2 * (k + q));
            Dual lo, hi;
            PostPair(a, SwapLanes(d), Low(ej, ek), High(ej, ek), lo, hi);
            a = lo;
            d = SwapLanes(hi);
            PostPair(b, SwapLanes(c), Low(fj, fk), High(fj, fk), lo, hi);
            b = lo;
            c = SwapLanes(hi);
        }
        Store(v0 + 2 * j, Lane0(a));
        Store(v0 + 2 * k, Lane1(a));
        Store(v1 + 2 * j, Lane0(b));
        Store(v1 + 2 * k, Lane1(b));
        Store(v2 + 2 * j, Lane0(c));
        Store(v2 + 2 * k, Lane1(c));
        Store(v3 + 2 * j, Lane0(d));
        Store(v3 + 2 * k, Lane1(d));
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

inline void StoreColumns(double* p, Dual d) {
    Store(p, Lane0(d));
    Store(p + 2, Lane1(d));
}

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

// Four leaves in the planes (0, 2) and (1, 3): the stage of span L joins 0 with 1 and 2 with 3
// in the lanes; the stage of span 2L joins 0 with 2 and 1 with 3, columns c, c + 1 in the lanes.
template <bool Inverse, bool Turned>
void CombineFourLeaves(double* const leaf[4], uint64_t from, uint64_t to, const double* roots) {
    const uint64_t half = to - from;
    for (uint64_t c = from; c < to; c += 2) {
        Dual u0 = LoadDual(leaf[0], leaf[2], c), u1 = LoadDual(leaf[0], leaf[2], c + 1);
        Dual v0 = LoadDual(leaf[1], leaf[3], c), v1 = LoadDual(leaf[1], leaf[3], c + 1);
        const uint64_t e = Turned ? c - half : c;  // W_2L^e is entry 2e of the roots of 4L
        Butterfly2<Inverse, Turned>(u0, v0, Broadcast(Load(roots + 4 * e)));
        Butterfly2<Inverse, Turned>(u1, v1, Broadcast(Load(roots + 4 * e + 4)));
        Dual a, b, x, y;
        Transpose(u0, u1, a, b);
        Transpose(v0, v1, x, y);
        const Dual w = Zip(Load(roots + 2 * c), Load(roots + 2 * c + 2));
        Butterfly2<Inverse, false>(a, b, w);
        Butterfly2<Inverse, true>(x, y, w);
        StoreColumns(leaf[0] + 2 * c, a);
        StoreColumns(leaf[2] + 2 * c, b);
        StoreColumns(leaf[1] + 2 * c, x);
        StoreColumns(leaf[3] + 2 * c, y);
    }
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
    CombineFourLeaves<Inverse, false>(leaf, 0, length / 2, quarterRoots);
    CombineFourLeaves<Inverse, true>(leaf, length / 2, length, quarterRoots);
}

template <bool Inverse, class Source, class Sink>
void RadixPairPass(Source source, double* re, double* im, uint32_t count, const double* twiddles, Sink sink) {
    FirstStages<Inverse>(source, re, im, count, count, twiddles);
    uint32_t span = OddOrder(count) ? 32 : 16;
    for (; span < count; span *= 4) Radix4Stage<Inverse>(re, im, count, span, count, twiddles, PlanesSink{});
    Radix4Stage<Inverse>(re, im, count, count, count, twiddles, sink);
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
template void RadixPairPass<false>(DualSource, double*, double*, uint32_t, const double*, ColumnsSink);
template void RadixPairPass<true>(DualSource, double*, double*, uint32_t, const double*, ColumnsSink);
template void RadixPairPass<false>(GatherSource, double*, double*, uint32_t, const double*, PlanesSink);
template void RadixPairPass<true>(GatherSource, double*, double*, uint32_t, const double*, PlanesSink);
template void RadixPairPass<false>(PlanesSource, double*, double*, uint32_t, const double*, PlanesSink);
template void RadixPairPass<true>(PlanesSource, double*, double*, uint32_t, const double*, PlanesSink);
template void CombineLeaves<false>(double*, uint32_t, uint32_t, const double*);
template void CombineLeaves<true>(double*, uint32_t, uint32_t, const double*);
template void RadixSinglePass<false>(GatherSource, double*, uint32_t, const double*, const double*);
template void RadixSinglePass<true>(GatherSource, double*, uint32_t, const double*, const double*);
template void RadixSinglePass<false>(PlanesSource, double*, uint32_t, const double*, const double*);
template void RadixSinglePass<true>(PlanesSource, double*, uint32_t, const double*, const double*);

}  // namespace Prim::FftX87
